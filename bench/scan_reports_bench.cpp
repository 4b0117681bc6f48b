// The reports that walk a replay's data section (engine detection,
// detailed race, laptime verifier of one lap) and the other new report
// writers, on a one-hour race of 20 cars written by the race generator
// (every block with the player's car record and the other 19 cars),
// against reading the same file with plain read(). The target for each
// walk: at most twice the plain read plus 100 ms.

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
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "reports/detailed_race_report.h"
#include "reports/engine_detection_report.h"
#include "reports/laptime_verifier_report.h"
#include "reports/loaded_laps.h"
#include "reports/mechanical_report.h"
#include "reports/report_input.h"
#include "reports/season_engine_mod_report.h"
#include "reports/sector_times_report.h"
#include "reports/speed_report.h"
#include "support/race_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr double kLapM = 5000.0;

fs::path Folder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-replays";
    fs::create_directories(dir);
    return dir;
}

const std::string& OneHourGeneratedRace() {
    static const std::string path = [] {
        const fs::path p = Folder() / "one_hour_generated_race.rpy";
        if (fs::exists(p)) return p.string();
        fixture::RacePlan plan;
        plan.lap_length_m = kLapM;
        plan.practice = false;
        plan.marker_every = 36;
        plan.plain_first_every = 0;
        plan.filler_bytes = 32;
        for (uint32_t i = 0; i < 20; ++i) {
            fixture::CarPlan c;
            c.driver.first_name = "Driver";
            c.driver.last_name = "Number" + std::to_string(i);
            c.driver.slot = i;
            c.driver.car_byte = static_cast<uint8_t>(i % 7 + 1);
            c.practice_speeds = {50, 50};
            // About 38 laps of 95 s to 100 s.
            c.race_speeds.assign(38, 50.0 + 0.1 * i);
            c.race_speeds[0] = 40;
            c.race_lead_m = 20.0 + 8.0 * i;
            c.rev_limit_rpm = 8800 + 100 * (i % 7);
            plan.cars.push_back(c);
        }
        plan.tail_ticks = 36 * 30;
        fixture::RaceGenerator race(plan);
        fixture::WriteFile(p, fixture::BuildReplay(race.Spec()));
        return p.string();
    }();
    return path;
}

struct Loaded {
    Header header;
    std::unique_ptr<Drivers> drivers = std::make_unique<Drivers>();
    ReportInput in;
    bool ok = false;
};

std::unique_ptr<Loaded> Load() {
    auto l = std::make_unique<Loaded>();
    const std::string& file = OneHourGeneratedRace();
    l->ok = l->header.Load(file) == 0 && l->drivers->LoadReplay(file) == 0;
    l->in.header = &l->header;
    l->in.drivers = l->drivers.get();
    return l;
}

void BM_ReadWholeFile(benchmark::State& state) {
    const std::string& file = OneHourGeneratedRace();
    for (auto _ : state) benchmark::DoNotOptimize(bench::ReadWholeFile(file));
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

void BM_EngineDetection(benchmark::State& state) {
    auto l = Load();
    if (!l->ok) return state.SkipWithError("the fixture replay does not load");
    for (auto _ : state) benchmark::DoNotOptimize(EngineDetectionReport::Write(*l->drivers));
}
BENCHMARK(BM_EngineDetection)->Unit(benchmark::kMillisecond);

void BM_DetailedRace(benchmark::State& state) {
    auto l = Load();
    if (!l->ok) return state.SkipWithError("the fixture replay does not load");
    MechanicalScan scan;
    for (auto _ : state) benchmark::DoNotOptimize(DetailedRaceReport::Write(l->in, kLapM, scan));
}
BENCHMARK(BM_DetailedRace)->Unit(benchmark::kMillisecond);

LoadedLaps OneLap(const Loaded& l, int driver) {
    LoadedLaps laps;
    laps.track_length_m = kLapM;
    LoadedLap lap;
    lap.header = &l.header;
    lap.drivers = l.drivers.get();
    lap.driver = driver;
    lap.session = 1;
    lap.lap = 30;
    laps.laps.push_back(lap);
    return laps;
}

void BM_LaptimeVerifierOneLap(benchmark::State& state) {
    auto l = Load();
    if (!l->ok) return state.SkipWithError("the fixture replay does not load");
    const LoadedLaps laps = OneLap(*l, static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(LaptimeVerifierReport::Write(laps));
}
BENCHMARK(BM_LaptimeVerifierOneLap)->Arg(0)->Arg(7)->Unit(benchmark::kMillisecond);

// Five loaded laps of the one replay: still one walk.
void BM_LaptimeVerifierFiveLaps(benchmark::State& state) {
    auto l = Load();
    if (!l->ok) return state.SkipWithError("the fixture replay does not load");
    LoadedLaps laps;
    laps.track_length_m = kLapM;
    for (int driver : {0, 3, 7, 12, 19}) laps.laps.push_back(OneLap(*l, driver).laps[0]);
    for (auto _ : state) benchmark::DoNotOptimize(LaptimeVerifierReport::Write(laps));
}
BENCHMARK(BM_LaptimeVerifierFiveLaps)->Unit(benchmark::kMillisecond);

// The writers that read no file: the season facts of the driver table, and
// sector times and speeds of five extracted laps.
void BM_TableAndLapReports(benchmark::State& state) {
    auto l = Load();
    if (!l->ok) return state.SkipWithError("the fixture replay does not load");
    std::vector<std::unique_ptr<GetRpyInfo>> infos;
    LoadedLaps laps;
    laps.track_length_m = kLapM;
    for (int driver = 0; driver < 5; ++driver) {
        auto info = std::make_unique<GetRpyInfo>();
        if (info->ExtractLap(*l->drivers, driver, 20, 1) != 0 || info->TrimToLap(1) != 0)
            return state.SkipWithError("the lap does not extract");
        LoadedLap lap = OneLap(*l, driver).laps[0];
        lap.lap = 20;
        lap.info = info.get();
        lap.split_ms = {20000, 45000, 70000};
        laps.laps.push_back(lap);
        infos.push_back(std::move(info));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteSeasonEngineModReport(*l->drivers));
        benchmark::DoNotOptimize(WriteSectorTimesReport(laps));
        benchmark::DoNotOptimize(WriteSpeedReport(laps));
    }
}
BENCHMARK(BM_TableAndLapReports)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::PrintAgainstRead(reporter, "BM_ReadWholeFile", {
        {"BM_EngineDetection", 2, 100},
        {"BM_DetailedRace", 2, 100},
        {"BM_LaptimeVerifierOneLap/0", 2, 100},
        {"BM_LaptimeVerifierOneLap/7", 2, 100},
        {"BM_LaptimeVerifierFiveLaps", 2, 100},
    });
    benchmark::Shutdown();
    return 0;
}
