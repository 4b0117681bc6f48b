// Extracting the last race lap of a replay of about 100 MB (20 cars, some
// two hours of race) against reading the same file whole with plain read().
// The lap search walks every frame block's header up to the lap, so the
// extraction cannot beat one pass over the file; it should stay close to it
// and hold no more memory than one lap's samples and its read window.
//
// Peak memory is counted by replacing the global allocation functions: the
// highest number of bytes held at once during one extraction and trim, above
// what was held before it. After the runs the program prints the ratio of
// each extraction to the whole-file read.
//
// The replay is generated once into $OSTREVAN_BENCH_DIR (default: a folder
// under the system's temporary folder) and kept for later runs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"

namespace {

std::atomic<size_t> g_held{0};
std::atomic<size_t> g_peak{0};

void* Allocate(size_t size) {
    // The size is kept in front of the block so that delete can count it.
    constexpr size_t kHead = alignof(std::max_align_t);
    auto* raw = static_cast<unsigned char*>(std::malloc(size + kHead));
    if (!raw) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(raw) = size;
    const size_t now = g_held.fetch_add(size) + size;
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return raw + kHead;
}

void Release(void* p) {
    if (!p) return;
    constexpr size_t kHead = alignof(std::max_align_t);
    auto* raw = static_cast<unsigned char*>(p) - kHead;
    g_held.fetch_sub(*reinterpret_cast<size_t*>(raw));
    std::free(raw);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

namespace {

constexpr int kCars = 20;
constexpr int kLaps = 70;

fixture::RacePlan BigRace() {
    fixture::RacePlan p;
    p.lap_length_m = 4000.0;
    p.practice = false;
    p.player = 0;
    p.race_code = 2;
    p.filler_bytes = 16;
    for (int c = 0; c < kCars; ++c) {
        fixture::CarPlan car;
        car.driver.first_name = "Driver" + std::to_string(c);
        car.driver.last_name = "Bench";
        car.driver.slot = static_cast<uint32_t>((c * 7) % kCars);
        car.driver.ai = c != 0;
        car.race_lead_m = 20.0 + c * 8.0;
        for (int k = 0; k <= kLaps; ++k) car.race_speeds.push_back(38.0 + (c % 5) * 0.2 + (k % 3) * 0.3);
        p.cars.push_back(car);
    }
    return p;
}

const std::string& ReplayPath() {
    static const std::string path = [] {
        const char* env = std::getenv("OSTREVAN_BENCH_DIR");
        const std::filesystem::path dir =
            env ? std::filesystem::path(env) : std::filesystem::temp_directory_path() / "ostrevan-bench-laps";
        std::filesystem::create_directories(dir);
        const auto p = dir / "race100.rpy";
        if (!std::filesystem::exists(p)) {
            const fixture::RaceGenerator gen(BigRace());
            fixture::WriteFile(p, fixture::BuildReplay(gen.Spec()));
        }
        return p.string();
    }();
    return path;
}

Drivers& LoadedDrivers() {
    static const std::unique_ptr<Drivers> drivers = [] {
        auto d = std::make_unique<Drivers>();
        if (d->LoadReplay(ReplayPath()) != 0) d.reset();
        return d;
    }();
    return *drivers;
}

void BM_ReadWholeFile(benchmark::State& state) {
    const std::string& path = ReplayPath();
    std::vector<char> buffer(1 << 20);
    int64_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        ssize_t n;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) bytes += n;
        ::close(fd);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

// Argument: the driver index (0 is the player, whose records are of their
// own type; 13 another car, searched in the other cars' records).
void BM_ExtractLastLap(benchmark::State& state) {
    ReplayPath();
    Drivers& drivers = LoadedDrivers();
    const int driver = static_cast<int>(state.range(0));
    const int lap = drivers.race_lap_count[driver];
    size_t peak = 0;
    uint32_t samples = 0;
    for (auto _ : state) {
        const size_t before = g_held.load();
        g_peak.store(before);
        GetRpyInfo info;
        if (info.ExtractLap(drivers, driver, lap, 1) != 0 || info.TrimToLap(1) != 0) {
            state.SkipWithError("the last lap did not extract");
            return;
        }
        samples = info.sample_count;
        peak = std::max(peak, g_peak.load() - before);
        benchmark::DoNotOptimize(info.revs.data());
    }
    state.counters["samples"] = samples;
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / (1 << 20);
}
BENCHMARK(BM_ExtractLastLap)->Arg(0)->Arg(13)->Unit(benchmark::kMillisecond);

// Passes every run to the console and keeps its real time, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // The median of repeated runs when there is one, else the run itself.
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
    void PrintRatios() const {
        const auto read = times_.find("BM_ReadWholeFile");
        if (read == times_.end() || read->second <= 0) return;
        std::printf("\nReplay: %s (%.1f MB)\n", ReplayPath().c_str(),
                    static_cast<double>(std::filesystem::file_size(ReplayPath())) / (1 << 20));
        for (const auto& [name, time] : times_)
            if (name != read->first) std::printf("%s / BM_ReadWholeFile = %.2f\n", name.c_str(), time / read->second);
    }

private:
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ReplayPath();  // generated before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
