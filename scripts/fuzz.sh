#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer), writes their seed corpora and runs each
# target for the given number of seconds (default 60).
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# FUZZ_JOBS=N runs N targets at once (default 1). New inputs are kept in
# build/fuzz-corpus/<target> for later runs; a crash, leak, timeout or
# sanitizer report leaves its input in build/fuzz-artifacts/ and makes the
# command fail. Logs are in build/fuzz-logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
jobs="${FUZZ_JOBS:-1}"
all=(header_fuzz catalogue_fuzz drivers_fuzz lap_fuzz car_structs_fuzz track_fuzz ini_fuzz registry_text_fuzz
     season_fuzz catalogue_file_fuzz mechanical_fuzz add_lap_fuzz engine_detection_fuzz detailed_race_fuzz
     laptime_verifier_fuzz race_stream_fuzz merge_fuzz bmp_fuzz records_profile_fuzz
     http_reply_fuzz)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

scripts/install-deps.sh
build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DOSTREVAN_SANITIZE=ON -DOSTREVAN_FUZZ=ON -DBUILD_TESTING=OFF > /dev/null
cmake --build "$build" --parallel --target fuzzers

seeds="$PWD/build/fuzz-seeds"
corpus="$PWD/build/fuzz-corpus"
artifacts="$PWD/build/fuzz-artifacts"
logs="$PWD/build/fuzz-logs"
rm -rf "$seeds"
mkdir -p "$corpus" "$artifacts" "$logs"
"$build"/fuzz/make_seeds "$seeds"

# The targets write each input to a file; a memory file system keeps that
# off the disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run() {
    local t="$1" status=0
    mkdir -p "$corpus/$t"
    "$build/fuzz/$t" "$corpus/$t" "$seeds/${t%_fuzz}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$artifacts/$t-" > "$logs/$t.log" 2>&1 || status=$?
    local execs cov
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$t.log" | tail -1)
    cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$logs/$t.log" | tail -1 || true)
    if [ "$status" -ne 0 ]; then
        echo "FAILED $t (exit $status), log $logs/$t.log:"
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$logs/$t.log" | head -20 || true
        return 1
    fi
    echo "ok     $t: ${execs:-?} executions, ${cov:-no coverage line}"
}

for t in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    rm -f "$logs/$t.failed"
    { run "$t" || touch "$logs/$t.failed"; } &
done
wait
failed=0
for t in "${targets[@]}"; do
    if [ -e "$logs/$t.failed" ]; then failed=1; fi
done
exit "$failed"
