// Extracting the last race lap of a replay of about 100 MB (20 cars, some
// two hours of race) against reading the same file whole with plain read(),
// and adding that lap to the document as -loadrpy does (extraction, trim,
// lap-time check and derived channels) from a race of the same size on the
// stadium circuit.
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

#include "document/rpy_graph_doc.h"
#include "bench_support.h"
#include "lists_only.h"
#include "interaction/batch_interaction.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "settings/settings.h"
#include "track/track.h"


namespace {

constexpr int kCars = 20;
constexpr int kLaps = 70;

fixture::RacePlan BigRace(double lap_length = 4000.0, int laps = kLaps, double speed = 38.0) {
    fixture::RacePlan p;
    p.lap_length_m = lap_length;
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
        for (int k = 0; k <= laps; ++k) car.race_speeds.push_back(speed + (c % 5) * 0.2 + (k % 3) * 0.3);
        p.cars.push_back(car);
    }
    return p;
}

std::filesystem::path BenchFolder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const std::filesystem::path dir =
        env ? std::filesystem::path(env) : std::filesystem::temp_directory_path() / "ostrevan-bench-laps";
    std::filesystem::create_directories(dir);
    return dir;
}

const std::string& ReplayPath() {
    static const std::string path = [] {
        const auto p = BenchFolder() / "race100.rpy";
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
    int64_t bytes = 0;
    for (auto _ : state) bytes += bench::ReadWholeFile(ReplayPath());
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
        const size_t before = bench::ResetHeapPeak();
        GetRpyInfo info;
        if (info.ExtractLap(drivers, driver, lap, 1) != 0 || info.TrimToLap(1) != 0) {
            state.SkipWithError("the last lap did not extract");
            return;
        }
        samples = info.sample_count;
        peak = std::max(peak, bench::HeapPeak() - before);
        benchmark::DoNotOptimize(info.revs.data());
    }
    state.counters["samples"] = samples;
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / (1 << 20);
}
BENCHMARK(BM_ExtractLastLap)->Arg(0)->Arg(13)->Unit(benchmark::kMillisecond);

// A simulator folder with the stadium circuit and a race on it of about the
// same size: 140 laps of the short circuit at a slower pace.
const std::filesystem::path& StadiumFolder() {
    static const std::filesystem::path folder = [] {
        const auto sim = BenchFolder() / "stadium-sim";
        const auto track = sim / "tracks" / "fixturering" / "fixturering.trk";
        const auto replay = sim / "replay" / "stadium100.rpy";
        if (!std::filesystem::exists(replay)) {
            std::filesystem::create_directories(track.parent_path());
            std::filesystem::create_directories(replay.parent_path());
            fixture::WriteFile(sim / "qel.exe", "MZ");
            fixture::WriteFile(track, fixture::BuildTrackBlock(fixture::StadiumCircuit()));
            const auto loaded = Track::Load(sim, "fixturering");
            const fixture::RaceGenerator gen(BigRace(loaded->GetLength(), 140, 19.0));
            loaded->Clear();
            fixture::WriteFile(replay, fixture::BuildReplay(gen.Spec()));
        }
        return sim;
    }();
    return folder;
}

void BM_ReadStadiumRace(benchmark::State& state) {
    const std::string path = (StadiumFolder() / "replay" / "stadium100.rpy").string();
    for (auto _ : state) benchmark::DoNotOptimize(bench::ReadWholeFile(path));
}
BENCHMARK(BM_ReadStadiumRace)->Unit(benchmark::kMillisecond);

// The document adds the last race lap of the player (0) or another car (13).
void BM_AddLastLap(benchmark::State& state) {
    const std::string path = (StadiumFolder() / "replay" / "stadium100.rpy").string();
    ::setenv("OSTREVAN_CONFIG_DIR", (BenchFolder() / "config").c_str(), 1);
    Drivers drivers;
    if (drivers.LoadReplay(path) != 0) {
        state.SkipWithError("the stadium race did not load");
        return;
    }
    const int driver = static_cast<int>(state.range(0));
    const int lap = drivers.race_lap_count[driver];
    Settings settings;
    settings.SetQELDirectory(StadiumFolder().string());
    BatchInteraction ui;
    size_t peak = 0;
    for (auto _ : state) {
        // Making the document reads the settings and dropping it saves them:
        // neither is part of the add.
        state.PauseTiming();
        auto doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        state.ResumeTiming();
        const size_t before = bench::ResetHeapPeak();
        if (!doc->AddLapFromCommandLine(path, 1, driver, lap)) {
            state.SkipWithError("the last lap was not added");
            return;
        }
        peak = std::max(peak, bench::HeapPeak() - before);
        benchmark::DoNotOptimize(doc->GetSlot(0).telemetry->speed.data());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / (1 << 20);
}
BENCHMARK(BM_AddLastLap)->Arg(0)->Arg(13)->Unit(benchmark::kMillisecond);

void PrintRatios(const bench::TimeKeepingReporter& reporter) {
    const double read = reporter.Time("BM_ReadWholeFile");
    const double read_stadium = reporter.Time("BM_ReadStadiumRace");
    if (read <= 0) return;
    std::printf("\nReplay: %s (%.1f MB)\n", ReplayPath().c_str(),
                static_cast<double>(std::filesystem::file_size(ReplayPath())) / (1 << 20));
    for (const auto& [name, time] : reporter.Times()) {
        if (name.rfind("BM_Read", 0) == 0) continue;
        if (name.rfind("BM_AddLastLap", 0) == 0 && read_stadium > 0)
            std::printf("%s / BM_ReadStadiumRace = %.2f\n", name.c_str(), time / read_stadium);
        else
            std::printf("%s / BM_ReadWholeFile = %.2f\n", name.c_str(), time / read);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool lists_only = bench::ListsOnly(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!lists_only) {
        ReplayPath();  // generated before any timing
        StadiumFolder();
    }
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
