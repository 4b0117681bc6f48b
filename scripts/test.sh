#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREVAN_SANITIZE=ON
cmake --build "$build" --parallel
# Every window's picture is checked for content and kept here.
export OSTREVAN_SCREENSHOT_DIR="$PWD/build/screenshots"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

# Every fuzz target briefly from its seeds, so a reader that crashes on a
# valid file or a known damaged one fails the run.
scripts/fuzz.sh 15
