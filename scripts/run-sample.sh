#!/usr/bin/env bash
# Installs what is missing, builds Ostrevan, writes the sample simulator
# folder's files and starts Ostrevan on it with two laps of its driven replay
# loaded. Without a display it runs the unattended report export on the
# sample's Grand Prix replay instead, into a new folder under
# build/sample-reports/ (those of earlier runs stay).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/release
# The sample writer is built beside the tests: on, even when an install
# build in the same folder turned them off.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON > /dev/null
cmake --build "$build" --parallel --target ostrevan sample_simulator

sample="$PWD/build/sample-simulator"
# The sample's own files are written again; what else the folder holds (a
# lap saved into its replay folder, where the save dialogs start) stays.
# Keep the program's settings beside the sample, away from the user's own,
# and point them at the sample folder.
export OSTREVAN_CONFIG_DIR="$PWD/build/sample-config"
"$build"/tests/support/sample_simulator "$sample" --configure > /dev/null

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    # Arguments after the mode word carry a two-character prefix: two laps
    # (practice lap 2 of the first and of the second driver).
    replay="$sample/replay/monza_driven.rpy"
    echo "Starting Ostrevan with two laps of $replay (tick them on the Plot Settings bar to see their lines)"
    exec "$build"/src/app/ostrevan -loadrpy --2 "--$replay" --0 --0 --2 "--$replay" --0 --1 --2
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the report export instead."
stamp=$(date +%Y-%m-%d_%H-%M-%S)
reports="$PWD/build/sample-reports/$stamp"
n=1
while [ -e "$reports" ]; do
    reports="$PWD/build/sample-reports/${stamp}_$n"
    n=$((n + 1))
done
mkdir -p "$reports"
"$build"/src/app/ostrevan -expreports "--$sample/replay/monza_gp.rpy" "--$reports/" -mech
echo "Reports of $sample/replay/monza_gp.rpy written to $reports/"
