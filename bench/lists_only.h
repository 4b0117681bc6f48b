#pragma once
// Whether a benchmark program was only asked for the names of its
// benchmarks (--benchmark_list_tests): such a run must make no input files
// and start nothing, so each program asks this before it prepares anything.

namespace bench {

// True when the arguments, read as Google Benchmark reads them, ask only for
// the list: --benchmark_list_tests alone or with a true value (=true, =1,
// =yes...), the last one on the line counting, and BENCHMARK_LIST_TESTS in
// the environment when none is given. Call it before benchmark::Initialize,
// which takes the flags out of argv.
bool ListsOnly(int argc, char** argv);

}  // namespace bench
