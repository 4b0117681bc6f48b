// Drawing a telemetry graph as the graph window will: rulers, grid and
// curves of 20,000 points each (a long lap at 36 samples a second) into a
// 1000 x 600 QImage on the offscreen platform. Targets: five curves under
// 10 ms, twenty under 30 ms, a panning step (range moved, rulers and plot
// drawn again) under 33 ms. Loading five such curves point by point with
// the "Points" bar shown and following every point under 100 ms (the
// list makes no row texts until rows show); frozen, the list costs
// nothing per point.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "graph/ui/graph_picture.h"
#include "graph/ui/graph_wnd.h"

namespace {

constexpr int kPoints = 20000;
constexpr uint32_t kColours[] = {0x0000FF, 0xFF0000, 0x007F00, 0xFF00FF, 0x007F7F};

// Speed-like curves over a 5 km lap: slow corners, fast straights and
// the jitter of real samples.
std::unique_ptr<CGraphWnd> MakeGraph(int curves) {
    auto graph = std::make_unique<CGraphWnd>(32, 0);
    graph->ShowPointsBar(2 + 4);
    graph->resize(1000, 600);
    graph->LayOut();
    graph->SetAxisLabel("Meter", "Meter", 0, 1, false);
    graph->SetAxisLabel("Speed", "km/h", 0, 0, false);
    graph->SetPanelFlags(4 + 8, false);
    for (int c = 0; c < curves; ++c) {
        const int g = graph->AddGraph(kColours[c % 5], "lap", false);
        for (int i = 0; i < kPoints; ++i) {
            const double d = i * 0.25;
            const double speed = 160 + 90 * std::sin(d / 400.0 + c * 0.1) + 15 * std::sin(d / 23.0) +
                                 3 * std::sin(i * 1.7 + c);
            graph->AddPoint(g, d, speed, false);
        }
    }
    graph->SetRange(0, kPoints * 0.25, 0, 300, false);
    return graph;
}

QImage MakeImage() {
    QImage image(1000, 600, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);  // 96 dots per inch, as on screen
    image.setDotsPerMeterY(3780);
    return image;
}

void Redraw(benchmark::State& state, int curves) {
    const auto graph = MakeGraph(curves);
    QImage image = MakeImage();
    for (auto _ : state) {
        QPainter painter(&image);
        graph->DrawToDC(painter, image.rect());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = curves * kPoints;
}

void BM_FullRedrawFiveCurves(benchmark::State& state) { Redraw(state, 5); }
BENCHMARK(BM_FullRedrawFiveCurves)->Unit(benchmark::kMillisecond);

void BM_FullRedrawTwentyCurves(benchmark::State& state) { Redraw(state, 20); }
BENCHMARK(BM_FullRedrawTwentyCurves)->Unit(benchmark::kMillisecond);

// One step of a Shift-drag over five curves zoomed to a quarter of the
// lap: the range moves by 8 pixels, then rulers and plot are drawn anew.
void BM_PanStepFiveCurves(benchmark::State& state) {
    const auto graph = MakeGraph(5);
    QImage image = MakeImage();
    double x0 = 1000;
    for (auto _ : state) {
        const double width = kPoints * 0.25 / 4;
        x0 += width * 8 / 1000;
        if (x0 > kPoints * 0.25 - width) x0 = 0;
        graph->SetRange(x0, x0 + width, 50, 250, true);
        QPainter painter(&image);
        graph->DrawToDC(painter, image.rect());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PanStepFiveCurves)->Unit(benchmark::kMillisecond);

// Five curves of 20,000 points added one by one, as the telemetry graph
// window adds them, with the "Points" bar shown and live or frozen.
void Load(benchmark::State& state, bool live) {
    for (auto _ : state) {
        CGraphWnd graph(32, 0);
        graph.resize(1000, 600);
        graph.ShowPointsBar(live ? 1 + 8 : 1 + 4);
        graph.show();
        QApplication::processEvents();
        for (int c = 0; c < 5; ++c) {
            const int g = graph.AddGraph(kColours[c], "lap", false);
            for (int i = 0; i < kPoints; ++i) graph.AddPoint(g, i * 0.25, 160 + 90 * std::sin(i / 1600.0), false);
        }
        QApplication::processEvents();
    }
    state.counters["points"] = 5 * kPoints;
}

void BM_LoadFiveCurvesListLive(benchmark::State& state) { Load(state, true); }
BENCHMARK(BM_LoadFiveCurvesListLive)->Unit(benchmark::kMillisecond);

void BM_LoadFiveCurvesListFrozen(benchmark::State& state) { Load(state, false); }
BENCHMARK(BM_LoadFiveCurvesListFrozen)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
