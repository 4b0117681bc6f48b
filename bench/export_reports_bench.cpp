// The unattended export of all reports with the mechanical report, on a
// one-hour race of 20 cars (about 50 MB), against reading the same file
// with plain read(). The mechanical scan runs once for the whole export.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        ssize_t n;
        int64_t total = 0;
        while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) total += n;
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
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

}  // namespace

BENCHMARK_MAIN();
