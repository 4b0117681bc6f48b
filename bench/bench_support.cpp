#include "bench_support.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace bench {

namespace {

std::atomic<size_t> g_held{0};
std::atomic<size_t> g_peak{0};

void* Counted(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const size_t held = g_held += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
    }
    return p;
}

void Uncounted(void* p) {
    if (!p) return;
    g_held -= malloc_usable_size(p);
    std::free(p);
}

}  // namespace

int64_t ReadWholeFile(const std::string& path) {
    static thread_local std::vector<char> buffer(1 << 20);
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    int64_t bytes = 0;
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) bytes += n;
    ::close(fd);
    return bytes;
}

void TimeKeepingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const std::string name = run.run_name.str();
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
            times_[name] = run.GetAdjustedRealTime();
            medians_.insert(name);
        } else if (run.run_type == Run::RT_Iteration && !medians_.count(name)) {
            times_[name] = run.GetAdjustedRealTime();
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

double TimeKeepingReporter::Time(const std::string& name) const {
    const auto it = times_.find(name);
    return it == times_.end() ? 0.0 : it->second;
}

void PrintAgainstRead(const TimeKeepingReporter& reporter, const std::string& read_name,
                      const std::vector<AgainstRead>& rows) {
    const double read = reporter.Time(read_name);
    if (read <= 0) return;
    std::printf("\nAgainst %s (%.2f ms):\n", read_name.c_str(), read);
    for (const AgainstRead& row : rows) {
        const double time = reporter.Time(row.name);
        if (time <= 0) continue;
        std::printf("  %-32s %9.2f ms %7.2fx", row.name.c_str(), time, time / read);
        if (row.times > 0) {
            const double target = row.times * read + row.plus_ms;
            if (row.plus_ms > 0)
                std::printf("   target %gx + %g ms = %.2f ms: %s", row.times, row.plus_ms, target,
                            time <= target ? "met" : "missed");
            else
                std::printf("   target %gx = %.2f ms: %s", row.times, target, time <= target ? "met" : "missed");
        }
        std::printf("\n");
    }
}

size_t HeapHeld() { return g_held.load(); }
size_t HeapPeak() { return g_peak.load(); }

size_t ResetHeapPeak() {
    const size_t now = g_held.load();
    g_peak.store(now);
    return now;
}

}  // namespace bench

void* operator new(size_t size) { return bench::Counted(size); }
void* operator new[](size_t size) { return bench::Counted(size); }
void operator delete(void* p) noexcept { bench::Uncounted(p); }
void operator delete[](void* p) noexcept { bench::Uncounted(p); }
void operator delete(void* p, size_t) noexcept { bench::Uncounted(p); }
void operator delete[](void* p, size_t) noexcept { bench::Uncounted(p); }
