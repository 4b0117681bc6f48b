#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them. Extra arguments go to
# the benchmark programs (for example --benchmark_filter=...).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREVAN_BENCH=ON -DBUILD_TESTING=ON
cmake --build "$build" --parallel
for b in "$build"/bench/*_bench; do
    "$b" "$@"
done
