// The unattended report site (-reportsite) of a one-hour race of 20 cars,
// its chart images and track map drawn offscreen and converted to PNG,
// against reading the same replay with plain read(). The target: under one
// second, and at most three times the plain read plus 500 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "app/ui/report_site_mode.h"
#include "bench_support.h"
#include "lists_only.h"
#include "stadium_race.h"
#include "interaction/batch_interaction.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

fs::path BenchFolder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-site";
    fs::create_directories(dir);
    return dir;
}

// A simulator folder with the stadium circuit as "monza" and an hour of
// racing on it: 20 cars at about 40 m/s for some 135 laps.
const fs::path& Simulator() {
    static const fs::path folder = bench::WriteStadiumRace(BenchFolder() / "sim", {"hour.rpy", 135, 39.0, {}});
    return folder;
}

std::string HourRace() { return (Simulator() / "replay" / "hour.rpy").string(); }

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_ReadWholeFile(benchmark::State& state) {
    const std::string path = HourRace();
    for (auto _ : state) benchmark::DoNotOptimize(bench::ReadWholeFile(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

void BM_ReportSiteMode(benchmark::State& state) {
    const std::string path = HourRace();
    double read_ms = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        bench::ReadWholeFile(path);
        read_ms = std::min(read_ms, Ms(std::chrono::steady_clock::now() - t0));
    }
    Settings settings;
    settings.SetQELDirectory(Simulator().string());
    const std::string out = (BenchFolder() / "sites").string();
    fs::create_directories(out);
    const CommandLine command = ParseCommandLine({"ostrevan", "-reportsite", "--" + path, "--" + out});
    std::ostringstream quiet;
    BatchInteraction ui(&quiet);
    std::ostringstream printed;
    int status = 0;
    double site_ms = 0;
    for (auto _ : state) {
        // Each run starts afresh: backups of earlier images would pile up.
        fs::remove_all(fs::path(out) / "hour");
        const auto t0 = std::chrono::steady_clock::now();
        status |= RunReportSite(command, settings, ui, printed);
        site_ms = Ms(std::chrono::steady_clock::now() - t0);
    }
    if (status != 0) state.SkipWithError(("the site was not written: " + quiet.str()).c_str());
    state.counters["read_ms"] = read_ms;
    state.counters["site_ms"] = site_ms;
    state.counters["target_ms"] = std::min(1000.0, 3 * read_ms + 500);
}
BENCHMARK(BM_ReportSiteMode)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    const bool lists_only = bench::ListsOnly(argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!lists_only) ::setenv("OSTREVAN_CONFIG_DIR", (BenchFolder() / "config").c_str(), 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!lists_only) HourRace();  // generated before any timing
    bench::TimeKeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::PrintAgainstRead(reporter, "BM_ReadWholeFile", {{"BM_ReportSiteMode", 3, 500}});
    benchmark::Shutdown();
    return 0;
}
