// Writing files from loaded laps: the last race lap of a replay of about
// 100 MB saved as a one-lap replay, against reading the source whole with
// plain read() (the writer reads only the head and the lap's blocks, so it
// should stay well under that); five laps of 3,000 samples merged into one
// replay; and a groove file of a 3.7 km lap at 0.5 m steps. After the runs
// the program prints the ratio of the lap save to the whole-file read.
//
// The race replay is the one the lap benchmark uses, generated once into
// $OSTREVAN_BENCH_DIR (default: a folder under the system's temporary
// folder) and kept for later runs.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "lists_only.h"
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/groove_export.h"
#include "document/lap_replay_writer.h"
#include "document/merged_replay_writer.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "settings/atomic_file.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"

namespace {

namespace fs = std::filesystem;

// The lap benchmark's race: 20 cars, 70 laps of 4 km.
fixture::RacePlan BigRace() {
    fixture::RacePlan p;
    p.lap_length_m = 4000.0;
    p.practice = false;
    p.player = 0;
    p.race_code = 2;
    p.filler_bytes = 16;
    for (int c = 0; c < 20; ++c) {
        fixture::CarPlan car;
        car.driver.first_name = "Driver" + std::to_string(c);
        car.driver.last_name = "Bench";
        car.driver.slot = static_cast<uint32_t>((c * 7) % 20);
        car.driver.ai = c != 0;
        car.race_lead_m = 20.0 + c * 8.0;
        for (int k = 0; k <= 70; ++k) car.race_speeds.push_back(38.0 + (c % 5) * 0.2 + (k % 3) * 0.3);
        p.cars.push_back(car);
    }
    return p;
}

fs::path BenchFolder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-laps";
    fs::create_directories(dir);
    return dir;
}

const std::string& ReplayPath() {
    static const std::string path = [] {
        const auto p = BenchFolder() / "race100.rpy";
        if (!fs::exists(p)) {
            const fixture::RaceGenerator gen(BigRace());
            fixture::WriteFile(p, fixture::BuildReplay(gen.Spec()));
        }
        return p.string();
    }();
    return path;
}

void BM_ReadWholeFile(benchmark::State& state) {
    int64_t bytes = 0;
    for (auto _ : state) bytes += bench::ReadWholeFile(ReplayPath());
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

// The last race lap of another car, saved alone (built and written
// atomically, flushed to disk).
void BM_SaveLastLap(benchmark::State& state) {
    Drivers drivers;
    GetRpyInfo lap;
    if (drivers.LoadReplay(ReplayPath()) != 0 ||
        lap.ExtractLap(drivers, 13, drivers.race_lap_count[13], 1) != 0 || lap.TrimToLap(1) != 0) {
        state.SkipWithError("the last lap did not extract");
        return;
    }
    const std::string dest = (BenchFolder() / "saved_lap.rpy").string();
    std::string bytes;
    for (auto _ : state) {
        if (!lap_replay_writer::Build(ReplayPath(), drivers, lap, bytes) || !atomic_file::Write(dest, bytes)) {
            state.SkipWithError("the lap was not written");
            return;
        }
    }
    state.counters["file_KB"] = static_cast<double>(bytes.size()) / 1024;
}
BENCHMARK(BM_SaveLastLap)->Unit(benchmark::kMillisecond);

// A trimmed lap of n samples driven at about 40 m/s with lively channels.
void FillLap(LapSlot& slot, uint32_t n, double step_m, int seed) {
    slot.used = true;
    slot.header = std::make_unique<Header>();
    slot.header->track_folder = "monza";
    slot.drivers = std::make_unique<Drivers>();
    slot.drivers->first_names[0] = "Lap" + std::to_string(seed);
    slot.drivers->last_names[0] = "Bench";
    slot.drivers->practice_times[0][1] = static_cast<uint32_t>(n * 27.78);
    slot.lap = 1;
    auto t = std::make_unique<GetRpyInfo>();
    t->sample_count = n;
    t->trimmed = true;
    const size_t e = n + 2;
    for (auto* v : {&t->distance, &t->lateral_offset, &t->height, &t->fraction, &t->revs, &t->accel_total,
                    &t->speed})
        v->assign(e, 0.0);
    t->pitch.assign(e, 0);
    t->roll.assign(e, 0);
    t->orientation.assign(e, 0);
    t->gear.assign(e, 0);
    t->steering.assign(e, 0);
    for (uint32_t i = 1; i <= n; ++i) {
        const double x = i * 0.01 + seed;
        t->distance[i] = i * step_m;
        t->lateral_offset[i] = 4 * std::sin(x);
        t->height[i] = 0.2 * std::cos(x);
        t->fraction[i] = 0.5 + 0.4 * std::sin(3 * x);
        t->revs[i] = 8000 + 2000 * std::sin(2 * x);
        t->accel_total[i] = 1 + std::sin(5 * x);
        t->speed[i] = 144 + 20 * std::sin(x);
        t->pitch[i] = static_cast<int32_t>(100 * std::sin(x));
        t->roll[i] = static_cast<int32_t>(-100 * std::sin(x));
        t->orientation[i] = static_cast<int16_t>(static_cast<int>(i * 3) % 4096 - 2048);
        t->gear[i] = static_cast<int16_t>(1 + i / 600 % 5);
        t->steering[i] = static_cast<int16_t>(60 * std::sin(4 * x));
    }
    slot.telemetry = std::move(t);
}

void BM_MergeFiveLaps(benchmark::State& state) {
    std::array<LapSlot, 5> slots;
    std::vector<const LapSlot*> laps;
    for (int k = 0; k < 5; ++k) {
        FillLap(slots[static_cast<size_t>(k)], 3000 + 10 * static_cast<uint32_t>(k), 1.1, k);
        laps.push_back(&slots[static_cast<size_t>(k)]);
    }
    const std::string dest = (BenchFolder() / "merged.rpy").string();
    std::string bytes;
    for (auto _ : state) {
        if (!merged_replay_writer::Build(laps, {0, 100, 200, 300, 400}, bytes) || !atomic_file::Write(dest, bytes)) {
            state.SkipWithError("the merged file was not written");
            return;
        }
    }
    state.counters["file_KB"] = static_cast<double>(bytes.size()) / 1024;
}
BENCHMARK(BM_MergeFiveLaps)->Unit(benchmark::kMillisecond);

void BM_GrooveOfLap(benchmark::State& state) {
    LapSlot slot;
    FillLap(slot, 3400, 1.1, 0);  // 3.74 km
    groove_export::Parameters p;
    size_t size = 0;
    for (auto _ : state) {
        const auto text = groove_export::Build(*slot.telemetry, 3700.0, p);
        size = text ? text->size() : 0;
        benchmark::DoNotOptimize(text);
    }
    state.counters["lines"] = 7400;
    state.counters["text_KB"] = static_cast<double>(size) / 1024;
}
BENCHMARK(BM_GrooveOfLap)->Unit(benchmark::kMillisecond);

void PrintRatios(const bench::TimeKeepingReporter& reporter) {
    const double read = reporter.Time("BM_ReadWholeFile");
    const double save = reporter.Time("BM_SaveLastLap");
    if (read <= 0 || save <= 0) return;
    std::printf("\nReplay: %s (%.1f MB)\nBM_SaveLastLap / BM_ReadWholeFile = %.3f\n", ReplayPath().c_str(),
                static_cast<double>(fs::file_size(ReplayPath())) / (1 << 20), save / read);
}

}  // namespace

int main(int argc, char** argv) {
    const bool lists_only = bench::ListsOnly(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!lists_only) ReplayPath();  // generated before any timing
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
