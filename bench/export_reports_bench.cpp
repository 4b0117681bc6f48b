// The unattended export of all reports with the mechanical report, on a
// one-hour race of 20 cars (about 50 MB), against reading the same file
// with plain read(). The mechanical scan runs once for the whole export.
//
// The flood export: a data section of 20 MiB full of status records makes a
// mechanical report of some hundreds of megabytes. Its counters give the
// peak of memory held on the heap during the export against the size of the
// text written (peak_over_text), counted by the allocation functions below.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/report_files.h"
#include "reports/report_input.h"
#include "reports/report_text.h"
#include "support/session_fixture.h"


namespace {

namespace fs = std::filesystem;

fs::path Folder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-replays";
    fs::create_directories(dir);
    return dir;
}

const std::string& OneHourRace() {
    static const std::string path = [] {
        const fs::path p = Folder() / "one_hour_race.rpy";
        if (fs::exists(p)) return p.string();
        std::vector<fixture::DriverLaps> field;
        for (uint32_t i = 0; i < 20; ++i) {
            fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, i % 7)};
            d.practice_start = 1000;
            d.practice_laps.assign(10, 90000 + 100 * i);
            d.race_start = 2000 + 50 * i;
            d.race_laps.assign(38, 94000 + 37 * i);
            field.push_back(d);
        }
        auto spec = fixture::SessionReplay(field, true, true, "nurburgring");
        // One block per tick for an hour: a marker, a frame number and
        // about 360 bytes of car records; now and then a car's status.
        spec.frames = fixture::SessionFrames(2, 0, 3600 * 36, 1, 360);
        for (size_t tick = 500; tick < spec.frames.size(); tick += 2000)
            spec.frames[tick].records.push_back(
                fixture::CarStatus(static_cast<int>(tick / 2000) % 20, {{9, static_cast<uint8_t>(1 + (tick / 2000) % 3)}}));
        fixture::WriteFile(p, fixture::BuildReplay(spec));
        return p.string();
    }();
    return path;
}

void BM_ReadWholeFile(benchmark::State& state) {
    const std::string& file = OneHourRace();
    for (auto _ : state) benchmark::DoNotOptimize(bench::ReadWholeFile(file));
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

void BM_ExportReportsMech(benchmark::State& state) {
    const std::string& file = OneHourRace();
    const fs::path out = Folder() / "export";
    fs::create_directories(out);
    for (auto _ : state) {
        Header header;
        auto drivers = std::make_unique<Drivers>();
        if (header.Load(file) != 0 || drivers->LoadReplay(file) != 0) {
            state.SkipWithError("the fixture replay does not load");
            return;
        }
        ReportInput in;
        in.header = &header;
        in.drivers = drivers.get();
        in.file_time = report_text::FileTimeText(file);
        in.retire_in_race_report = true;
        const auto result = report_files::ExportAllReports(in, out.string() + "/", true);
        if (!result.ok()) {
            state.SkipWithError("the export failed");
            return;
        }
    }
}
BENCHMARK(BM_ExportReportsMech)->Unit(benchmark::kMillisecond);

// Twenty cars whose status changes in every record: blocks of a race marker
// and 3,000 status records each, 20 MiB in all.
const std::string& StatusFlood() {
    static const std::string path = [] {
        const fs::path p = Folder() / "status_flood.rpy";
        if (fs::exists(p)) return p.string();
        std::vector<fixture::DriverLaps> field;
        for (uint32_t i = 0; i < 20; ++i) {
            fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, i % 7)};
            d.race_start = 2000;
            d.race_laps.assign(10, 90000);
            field.push_back(d);
        }
        auto spec = fixture::SessionReplay(field, false, true, "nurburgring");
        spec.frames.clear();
        uint64_t bytes = 0;
        for (uint32_t block = 0; bytes < (20u << 20); ++block) {
            fixture::FrameBlock b;
            b.records.push_back(fixture::Marker(2, 1000 + block * 28));
            for (int r = 0; r < 3000; ++r) {
                const uint8_t v = static_cast<uint8_t>(1 + (block + r / 20) % 2 * 2);  // 1 and 3 in turn
                b.records.push_back(fixture::CarStatus(r % 20, {{9, v}, {11, v}, {12, v}, {13, 84 + v}}));
            }
            bytes += 8 + 8 + 3000 * 20;
            spec.frames.push_back(std::move(b));
        }
        fixture::WriteFile(p, fixture::BuildReplay(spec));
        return p.string();
    }();
    return path;
}

void BM_FloodExportMemory(benchmark::State& state) {
    const std::string& file = StatusFlood();
    const fs::path out = Folder() / "flood-export";
    fs::create_directories(out);
    Header header;
    auto drivers = std::make_unique<Drivers>();
    if (header.Load(file) != 0 || drivers->LoadReplay(file) != 0) {
        state.SkipWithError("the flood replay does not load");
        return;
    }
    ReportInput in;
    in.header = &header;
    in.drivers = drivers.get();
    in.file_time = report_text::FileTimeText(file);
    in.retire_in_race_report = true;
    size_t before = 0, peak = 0;
    for (auto _ : state) {
        before = bench::ResetHeapPeak();
        const auto result = report_files::ExportAllReports(in, out.string() + "/", true);
        peak = std::max(peak, bench::HeapPeak() - before);
        if (!result.ok()) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    const double text = static_cast<double>(fs::file_size(out / "status_flood_Mechanical.txt"));
    state.counters["data_MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    state.counters["text_MB"] = text / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak_over_text"] = static_cast<double>(peak) / text;
}
BENCHMARK(BM_FloodExportMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::PrintAgainstRead(reporter, "BM_ReadWholeFile", {
        {"BM_ExportReportsMech", 2, 0},
    });
    benchmark::Shutdown();
    return 0;
}
