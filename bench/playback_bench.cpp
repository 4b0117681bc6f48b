// Playback: reading the race stream of a one-hour race of 20 cars against
// reading the same file whole with plain read(), and one playback tick of
// the track-map view (1000 x 1000 pixels, on Qt's offscreen platform) with
// five laps growing their lines, and in race mode with 20 cars. A tick is
// the controller's step plus the repaint it causes (the map follows the
// leader, so the canvas is rebuilt for every tick).
//
// The race runs on the stadium circuit of the test fixtures and is
// generated once into $OSTREVAN_BENCH_DIR (default: a folder under the
// system's temporary folder) and kept for later runs. After the runs the
// program prints the stream's time over the plain read.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "lists_only.h"
#include "stadium_race.h"
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "app/playback_bars.h"
#include "app/playback_controller.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/rpy_graph_view.h"
#include "interaction/batch_interaction.h"
#include "replay/drivers.h"
#include "replay/race_stream.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
constexpr int kCars = 20;

fs::path BenchFolder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-playback";
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

void BM_ReadWholeFile(benchmark::State& state) {
    const std::string path = HourRace();
    for (auto _ : state) benchmark::DoNotOptimize(bench::ReadWholeFile(path));
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);

// Each load follows a plain read of the file, timed on its own, so both
// meet the caches alike (a file read again and again by itself stays in a
// large cache and reads faster than any load that also writes its arrays).
void BM_LoadRaceStream(benchmark::State& state) {
    Drivers drivers;
    if (drivers.LoadReplay(HourRace()) != 0) {
        state.SkipWithError("the race did not load");
        return;
    }
    double read_ms = 0;
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto t0 = std::chrono::steady_clock::now();
        bench::ReadWholeFile(HourRace());
        read_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        state.ResumeTiming();
        RaceStream stream;
        if (stream.Load(drivers) != RaceStream::Result::kLoaded) {
            state.SkipWithError("the race stream did not load");
            return;
        }
        steps = stream.step_count();
        benchmark::DoNotOptimize(steps);
    }
    state.counters["steps"] = steps;
    state.counters["plain_read_ms"] = read_ms / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LoadRaceStream)->Unit(benchmark::kMillisecond);

// The plot settings bar as the ticks see it: every lap ticked, the leader
// followed.
class Bars : public PlaybackBars {
public:
    bool IsLapTicked(int) const override { return true; }
    int GetPlotFocus() const override { return PlaybackController::kPlotFocusLeader; }
    int GetPlotFocusDriver() const override { return 0; }
    void EnterPlaybackLayout() override {}
    void LeavePlaybackLayout() override {}
    void ShowElapsedTime(const std::string&) override {}
    void ShowRealtime(int, const std::string&, const std::string&, const std::string&) override {}
    void ShowSplit(int, int) override {}
    void SetOrientation(int, int) override {}
    void RefreshOrientation() override {}
    void ShowRaceBar(bool) override {}
    void RaceInfoChanged() override {}
};

struct Scene {
    Scene() {
        ::setenv("OSTREVAN_CONFIG_DIR", (BenchFolder() / "config").c_str(), 1);
        settings.SetQELDirectory(Simulator().string());
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        for (int d = 0; d < 5; ++d) doc->AddLapFromCommandLine(HourRace(), 1, d * 3, 3 + d);
        view = std::make_unique<CRpyGraphView>(*doc);
        view->resize(1000, 1000);
        view->show();
        QApplication::processEvents();
        view->Playback().SetBars(&bars);
        view->Playback().SetLapChooser([](const std::vector<std::string>&) { return 0; });
    }
    void Tick() {
        view->Playback().OnTimer();
        view->viewport()->repaint();
    }
    Settings settings;
    BatchInteraction ui;
    Bars bars;
    std::unique_ptr<CRpyGraphDoc> doc;
    std::unique_ptr<CRpyGraphView> view;
};

void BM_LapTick(benchmark::State& state) {
    Scene scene;
    if (scene.doc->GetLoadedCount() != 5) {
        state.SkipWithError("five laps did not load");
        return;
    }
    PlaybackController& playback = scene.view->Playback();
    playback.OnStart();
    for (auto _ : state) {
        if (!playback.playing) {
            state.PauseTiming();
            playback.OnStart();
            state.ResumeTiming();
        }
        scene.Tick();
    }
}
BENCHMARK(BM_LapTick)->Unit(benchmark::kMillisecond);

void BM_RaceTick(benchmark::State& state) {
    Scene scene;
    PlaybackController& playback = scene.view->Playback();
    playback.OnToggleRace();
    if (!playback.race_mode || playback.Race().GetCarCount() != kCars) {
        state.SkipWithError("the race did not load");
        return;
    }
    playback.OnStart();
    // Into the race, where every car is on the track.
    playback.SetPlaybackPosition(36 * 600);
    for (auto _ : state) scene.Tick();
}
BENCHMARK(BM_RaceTick)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Single runs, or with repetitions the median (also when only the
    // aggregates are reported).
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.str();
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && (run.run_type != Run::RT_Iteration || medians_.count(name))) continue;
            if (median) medians_.insert(name);
            times_[name] = run.GetAdjustedRealTime();
            const auto read = run.counters.find("plain_read_ms");
            if (read != run.counters.end()) read_ms_ = read->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        const auto stream = times_.find("BM_LoadRaceStream");
        if (stream == times_.end() || read_ms_ <= 0) return;
        const double ratio = stream->second / read_ms_;
        std::printf("\nRace: %s (%.1f MB)\nBM_LoadRaceStream / plain read = %.2f (target 2x: %s)\n",
                    HourRace().c_str(), static_cast<double>(fs::file_size(HourRace())) / (1 << 20), ratio,
                    ratio <= 2 ? "met" : "missed");
    }

private:
    std::map<std::string, double> times_;
    std::set<std::string> medians_;
    double read_ms_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const bool lists_only = bench::ListsOnly(argc, argv);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!lists_only) HourRace();  // generated before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
