// The telemetry graph window's work for five laps of 3,000 samples (about
// 83 seconds each at 36 samples a second): building the curves of all 21
// kinds (every wheel of the by-wheel kinds), the time difference of two
// laps, and switching the kind shown in the window, curves rebuilt and the
// plot drawn again. Targets: 20 ms, 2 ms and 16 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "document/rpy_graph_doc.h"
#include "graph/graph_kind.h"
#include "graph/telemetry_curve.h"
#include "graph/time_difference.h"
#include "graph/ui/graph_panel.h"
#include "graph/ui/graph_wnd.h"
#include "graph/ui/new_graph.h"
#include "interaction/batch_interaction.h"
#include "lists_only.h"
#include "replay/drivers.h"
#include "settings/settings.h"
#include "support/replay_fixture.h"
#include "support/telemetry_lap.h"

namespace {

using namespace graph_kind;

constexpr uint32_t kSamples = 3000;

// A lap of a 5 km circuit with the channels moving as a driven lap's do.
std::unique_ptr<GetRpyInfo> DrivenLap(int variant) {
    auto lap = fixture::HandLap(kSamples, 5000.0 / kSamples * (1.0 + 0.01 * variant));
    for (size_t i = 0; i < lap->distance.size(); ++i) {
        const double t = i / 36.0 + variant;
        lap->speed[i] = 180 + 80 * std::sin(t / 7.0);
        lap->gear[i] = static_cast<int16_t>(1 + i / 40 % 5);
        lap->revs[i] = 8000 + 3000 * std::sin(t);
        lap->accel_lat[i] = 1.5 * std::sin(t / 3.0);
        lap->accel_long[i] = std::cos(t / 5.0);
        lap->accel_total[i] = std::hypot(lap->accel_lat[i], lap->accel_long[i]);
        lap->orientation[i] = static_cast<int16_t>(i * 7 % 4096);
        for (auto& wheel : lap->suspension) wheel[i] = static_cast<int32_t>(10 * std::sin(t * 3));
    }
    return lap;
}

void BM_BuildAllKindsFiveLaps(benchmark::State& state) {
    std::vector<std::unique_ptr<GetRpyInfo>> laps;
    for (int v = 0; v < 5; ++v) laps.push_back(DrivenLap(v));
    for (auto _ : state) {
        size_t points = 0;
        for (int kind = 1; kind <= graph_kind::kCount; ++kind)
            for (const auto& lap : laps)
                for (int wheel = 0; wheel < (graph_kind::IsByWheel(kind) ? 4 : 1); ++wheel)
                    points += BuildTelemetryCurve(*lap, kind, wheel, false).points.size();
        benchmark::DoNotOptimize(points);
    }
}
BENCHMARK(BM_BuildAllKindsFiveLaps)->Unit(benchmark::kMillisecond);

void BM_TimeDifferenceTwoLaps(benchmark::State& state) {
    const auto a = DrivenLap(0);
    const auto b = DrivenLap(3);
    TimeDifference diff;
    for (auto _ : state) {
        diff.Compute(*a, *b, 83000, 84000, 0, 350);
        benchmark::DoNotOptimize(diff.GetValues().data());
    }
}
BENCHMARK(BM_TimeDifferenceTwoLaps)->Unit(benchmark::kMicrosecond);

// The window with five ticked laps, switching between two single-curve
// kinds; each step ends with the plot rendered as the screen shows it.
void BM_SwitchKindFiveLaps(benchmark::State& state) {
    BatchInteraction ui;
    Settings settings;
    // A simulator folder, so the document has nothing to complain of.
    const auto simulator = std::filesystem::temp_directory_path() / "ostrevan-graph-bench-sim";
    std::filesystem::create_directories(simulator);
    fixture::WriteFile(simulator / "qel.exe", "MZ");
    settings.SetQELDirectory(simulator.string());
    CRpyGraphDoc doc(settings, ui);
    for (int slot = 0; slot < 5; ++slot) {
        LapSlot& lap = doc.GetSlot(slot);
        lap.drivers = std::make_unique<Drivers>();
        lap.drivers->last_names[0] = "Driver";
        lap.drivers->practice_times[0][1] = 83000 + slot * 100;
        lap.telemetry = DrivenLap(slot);
        lap.lap = 1;
        lap.used = true;
    }
    NewGraph graph(doc);
    graph.resize(1100, 700);
    graph.show();
    QApplication::processEvents();
    for (int slot = 0; slot < 5; ++slot) graph.OnLapCheck(slot, true);
    QApplication::processEvents();
    CGraphPanel* panel = graph.Graph().GetPanel();
    const int kinds[] = {kSpeed, kRpm};
    size_t step = 0;
    for (auto _ : state) {
        graph.SelectKind(kinds[step++ % 2]);
        panel->repaint();
        benchmark::DoNotOptimize(panel->GetCanvas().constBits());
    }
    state.counters["renders"] = panel->GetRenderCount();
}
BENCHMARK(BM_SwitchKindFiveLaps)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The document saves its settings when it goes: into a folder of its own.
    if (!bench::ListsOnly(argc, argv)) {
        const auto config = std::filesystem::temp_directory_path() / "ostrevan-graph-bench";
        std::filesystem::create_directories(config);
        setenv("OSTREVAN_CONFIG_DIR", config.c_str(), 1);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
