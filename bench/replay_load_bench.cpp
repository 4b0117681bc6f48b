// Loading a replay's header and driver table needs only the head and the
// tail of the file. Measured over 500 replays of realistic size (20 drivers,
// practice and race tables, a data section of a few MB) against reading the
// same files whole with plain read().
//
// The replays are generated once into $OSTREVAN_BENCH_DIR (default: a
// folder under the system's temporary folder) and kept for later runs.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "replay/drivers.h"
#include "replay/header.h"
#include "support/replay_fixture.h"

namespace {

constexpr int kReplays = 500;

fixture::ReplaySpec RealisticReplay(int seed) {
    fixture::ReplaySpec s;
    s.track = "nurburgring";
    s.sessions = 2;
    for (uint32_t i = 0; i < 20; ++i) {
        fixture::DriverSpec d;
        d.first_name = "Driver" + std::to_string(i);
        d.last_name = "Number" + std::to_string(seed);
        d.slot = i;
        d.ai = i > 0;
        s.drivers.push_back(d);
        std::vector<uint32_t> laps(12 + i % 5, 90000 + 100 * i);
        s.practice.push_back(fixture::EntryFromLaps(i, 5000 + i, laps));
        s.race.push_back(fixture::EntryFromLaps(i, 3000 + i, laps));
    }
    s.player_first = "Driver0";
    s.player_last = s.drivers[0].last_name;
    s.layout = fixture::TableLayout::kPracticeThenRace;
    // About 3.5 MB: 20 minutes of practice and 20 of race at 36 frames a
    // second, each frame with some 80 bytes of car records.
    s.frames = fixture::SessionFrames(0, 1000, 20 * 60 * 36, 1, 64);
    auto race = fixture::SessionFrames(2, 1000, 20 * 60 * 36, 20 * 60 * 36 + 1, 64);
    s.frames.insert(s.frames.end(), race.begin(), race.end());
    return s;
}

const std::vector<std::string>& Replays() {
    static const std::vector<std::string> paths = [] {
        const char* env = std::getenv("OSTREVAN_BENCH_DIR");
        const std::filesystem::path dir =
            env ? std::filesystem::path(env) : std::filesystem::temp_directory_path() / "ostrevan-bench-replays";
        std::filesystem::create_directories(dir);
        std::vector<std::string> out;
        std::string bytes;
        for (int i = 0; i < kReplays; ++i) {
            const auto p = dir / ("replay" + std::to_string(i) + ".rpy");
            if (!std::filesystem::exists(p)) {
                if (bytes.empty() || i % 50 == 0) bytes = fixture::BuildReplay(RealisticReplay(i));
                fixture::WriteFile(p, bytes);
            }
            out.push_back(p.string());
        }
        return out;
    }();
    return paths;
}

void BM_ReadWholeFiles(benchmark::State& state) {
    const auto& files = Replays();
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& f : files) bytes += bench::ReadWholeFile(f);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadWholeFiles)->Unit(benchmark::kMillisecond);

void BM_HeaderAndDrivers(benchmark::State& state) {
    const auto& files = Replays();
    for (auto _ : state) {
        for (const auto& f : files) {
            Header h;
            auto d = std::make_unique<Drivers>();
            if (h.Load(f) != 0 || d->LoadReplay(f) != 0) {
                state.SkipWithError("a fixture replay did not load");
                return;
            }
            benchmark::DoNotOptimize(d->race_lap_count[19]);
        }
    }
}
BENCHMARK(BM_HeaderAndDrivers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::PrintAgainstRead(reporter, "BM_ReadWholeFiles", {
        {"BM_HeaderAndDrivers", 0, 0},
    });
    benchmark::Shutdown();
    return 0;
}
