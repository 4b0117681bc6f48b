// The analysis tools over five laps of 3,000 samples (about 83 seconds each
// at 36 samples a second): gear changes, ratings, the traction circle's
// lines over the whole lap and the speed-along-track pieces and
// differences; and one redraw of each window that draws (the traction
// circle's plot and map, the speed track's map). The laps stand in the
// sample simulator's track. Targets: 10 ms per analysis, 16 ms per redraw.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "document/rpy_graph_doc.h"
#include "interaction/batch_interaction.h"
#include "lists_only.h"
#include "replay/get_rpy_info.h"
#include "settings/settings.h"
#include "support/sample_simulator.h"
#include "support/telemetry_lap.h"
#include "tools/gear_change_analysis.h"
#include "tools/lap_ratings.h"
#include "tools/speed_track_model.h"
#include "tools/traction_circle_model.h"
#include "tools/ui/speed_track.h"
#include "tools/ui/traction_circle.h"
#include "track/track.h"

namespace {

constexpr uint32_t kSamples = 3000;

// A lap over `metres` with the channels moving as a driven lap's do, gear
// changes through two samples of neutral.
std::unique_ptr<GetRpyInfo> DrivenLap(int variant, double metres) {
    auto lap = fixture::HandLap(kSamples, metres / kSamples * (1.0 - 0.01 * variant));
    for (size_t i = 0; i < lap->distance.size(); ++i) {
        const double t = i / 36.0 + variant;
        lap->speed[i] = 180 + 80 * std::sin(t / 7.0);
        lap->gear[i] = static_cast<int16_t>(i % 60 < 2 ? 0 : 1 + i / 60 % 5);
        lap->revs[i] = 8000 + 3000 * std::sin(t);
        lap->accel_lat[i] = 1.5 * std::sin(t / 3.0);
        lap->accel_long[i] = std::cos(t / 5.0);
    }
    lap->accel_travel_lat = lap->accel_lat;
    lap->accel_travel_long = lap->accel_long;
    lap->end_distance_step = lap->start_distance_step;
    return lap;
}

struct Fixture {
    Fixture() {
        const auto folder = std::filesystem::temp_directory_path() / "ostrevan-tools-bench";
        const auto replays = fixture::WriteSampleSimulator(folder / "QEL");
        settings.SetQELDirectory((folder / "QEL").string());
        settings.SetDontShowQualReport(1);
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        for (int slot = 0; slot < 5; ++slot) doc->AddLapFromCommandLine(replays.at(2).string(), 1, slot % 3, 2);
        const double length = doc->GetTrack() ? doc->GetTrack()->GetLength() : 5000.0;
        // The loaded laps' telemetry is swapped for the long laps; nothing
        // here draws their driving lines.
        for (int slot = 0; slot < doc->GetLoadedCount(); ++slot) {
            LapSlot& lap = doc->GetSlot(slot);
            lap.telemetry = DrivenLap(slot, length);
            laps.push_back(lap.telemetry.get());
        }
    }
    BatchInteraction ui;
    Settings settings;
    std::unique_ptr<CRpyGraphDoc> doc;
    std::vector<const GetRpyInfo*> laps;
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_GearChangesFiveLaps(benchmark::State& state) {
    for (auto _ : state)
        for (const GetRpyInfo* lap : Shared().laps) benchmark::DoNotOptimize(AnalyseGearChanges(*lap).rows.size());
}
BENCHMARK(BM_GearChangesFiveLaps)->Unit(benchmark::kMillisecond);

void BM_RatingsFiveLaps(benchmark::State& state) {
    for (auto _ : state)
        for (const GetRpyInfo* lap : Shared().laps) benchmark::DoNotOptimize(RateLap(*lap).overall);
}
BENCHMARK(BM_RatingsFiveLaps)->Unit(benchmark::kMillisecond);

void BM_TractionLinesFiveLaps(benchmark::State& state) {
    const auto geometry = TractionGeometry::ForSize(500, 460);
    const int length = static_cast<int>(Shared().doc->GetTrack()->GetLength());
    for (auto _ : state)
        for (const GetRpyInfo* lap : Shared().laps)
            benchmark::DoNotOptimize(TraceLap(*lap, 0, length, length, false, geometry).points.size());
}
BENCHMARK(BM_TractionLinesFiveLaps)->Unit(benchmark::kMillisecond);

void BM_SpeedPiecesFiveLaps(benchmark::State& state) {
    const double piece = Shared().doc->GetTrack()->GetLength() * speed_track::kPieceShare;
    for (auto _ : state) {
        std::vector<std::vector<double>> lists;
        for (const GetRpyInfo* lap : Shared().laps) lists.push_back(*speed_track::PieceSpeeds(*lap, piece, false));
        for (size_t k = 1; k < lists.size(); ++k)
            benchmark::DoNotOptimize(speed_track::Differences(lists[0], lists[k], 1000).data());
    }
}
BENCHMARK(BM_SpeedPiecesFiveLaps)->Unit(benchmark::kMillisecond);

void BM_TractionCircleRedraw(benchmark::State& state) {
    TractionCircle window(*Shared().doc, Shared().ui);
    for (int k = 0; k < 5; ++k) window.LapBox(k)->setChecked(true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(window.RenderPlot(500, 460).constBits());
        benchmark::DoNotOptimize(window.RenderMap(300, 140).constBits());
    }
}
BENCHMARK(BM_TractionCircleRedraw)->Unit(benchmark::kMillisecond);

void BM_SpeedTrackRedraw(benchmark::State& state) {
    SpeedTrack window(*Shared().doc, Shared().ui);
    window.OnChooseLap(1, 0);
    window.OnChooseLap(2, 0);
    for (auto _ : state) benchmark::DoNotOptimize(window.RenderMap(740, 460).constBits());
}
BENCHMARK(BM_SpeedTrackRedraw)->Unit(benchmark::kMillisecond);

void BM_SpeedTrackRecompute(benchmark::State& state) {
    SpeedTrack window(*Shared().doc, Shared().ui);
    window.OnChooseLap(1, 0);
    window.OnChooseLap(2, 0);
    bool manual = false;
    for (auto _ : state) {
        // A scale change recomputes the pieces, the visitor and the legend.
        manual = !manual;
        if (manual)
            window.OnManual();
        else
            window.OnAutomatic();
    }
}
BENCHMARK(BM_SpeedTrackRecompute)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!bench::ListsOnly(argc, argv)) {
        const auto config = std::filesystem::temp_directory_path() / "ostrevan-tools-bench-config";
        std::filesystem::create_directories(config);
        setenv("OSTREVAN_CONFIG_DIR", config.c_str(), 1);
    }
    QApplication app(argc, argv);
    // The windows' icons are in the program's resources, which a static
    // library keeps only when asked for.
    Q_INIT_RESOURCE(ostrevan);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
