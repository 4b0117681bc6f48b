#!/usr/bin/env bash
# Installs what is missing, builds Ostrevan, writes the sample simulator
# folder and runs the unattended report export on one of its replays.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --parallel --target ostrevan sample_simulator

sample="$PWD/build/sample-simulator"
reports="$PWD/build/sample-reports"
rm -rf "$sample" "$reports"
mkdir -p "$reports"
"$build"/tests/support/sample_simulator "$sample" > /dev/null
# Keep the program's settings beside the sample, away from the user's own.
export OSTREVAN_CONFIG_DIR="$PWD/build/sample-config"

# Arguments after the mode word carry a two-character prefix.
"$build"/src/app/ostrevan -expreports "--$sample/replay/monza_gp.rpy" "--$reports/" -mech
echo "Reports of $sample/replay/monza_gp.rpy written to $reports/"
