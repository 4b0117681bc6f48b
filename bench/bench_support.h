#pragma once
// What the benchmarks share: the plain read() of a file that every
// benchmark is measured against, and a count of the heap bytes held (the
// global allocation functions of a benchmark that calls HeapHeld are
// replaced to keep it).

#include <cstddef>
#include <cstdint>
#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace bench {

// Reads the file whole with read() in 1 MB pieces; the bytes read.
int64_t ReadWholeFile(const std::string& path);

// Heap bytes held now, and the most held since the last ResetHeapPeak.
size_t HeapHeld();
size_t HeapPeak();
// Starts a new peak from what is held now; returns that.
size_t ResetHeapPeak();

// Passes every run to the console and keeps its real time (the median of
// repeated runs when there is one), for ratios printed after the runs.
class TimeKeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // Real time by benchmark name; 0 when the benchmark did not run.
    double Time(const std::string& name) const;
    const std::map<std::string, double>& Times() const { return times_; }

private:
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
};

// A benchmark's figure against the plain read of its file, printed after
// the runs: its time over the read's, and its target when it has one
// (times x read + plus_ms; both benchmarks in milliseconds).
struct AgainstRead {
    std::string name;
    double times = 0;   // 0: no target
    double plus_ms = 0;
};
void PrintAgainstRead(const TimeKeepingReporter& reporter, const std::string& read_name,
                      const std::vector<AgainstRead>& rows);

}  // namespace bench
