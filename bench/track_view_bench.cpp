// The main window's track map on the offscreen platform, with five laps of
// the sample's driven replay loaded and shown: a full redraw of a 1000 x
// 1000 view, a zoom step and a scroll step at the deepest zoom (each with
// the repaint that follows it), and start-up to the first painted main
// window. Targets: 8 ms, 8 ms, 8 ms and 300 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "lists_only.h"
#include "settings/settings.h"
#include "support/recording_interaction.h"
#include "support/sample_simulator.h"
#include "support/temp_dir.h"

namespace {

struct Loaded {
    Loaded() {
        replays = fixture::WriteSampleSimulator(dir.path() / "QEL");
        ::setenv("OSTREVAN_CONFIG_DIR", (dir.path() / "config").c_str(), 1);
        settings.SetQELDirectory((dir.path() / "QEL").string());
    }
    // A document with five laps and a main window showing them all.
    void Open() {
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        const std::string replay = replays.at(2).string();
        for (const auto& [driver, lap] : {std::pair{0, 2}, {1, 2}, {2, 2}, {0, 3}, {1, 3}})
            doc->AddLapFromCommandLine(replay, 0, driver, lap);
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->show();
        for (int k = 0; k < CRpyGraphDoc::kCapacity; ++k) frame->Run(CMainFrame::kToggleLap1 + k);
        // The map area itself 1000 x 1000.
        CRpyGraphView& view = frame->View();
        frame->resize(frame->size() + QSize(1000, 1000) - view.viewport()->size());
        QApplication::processEvents();
    }
    void Close() {
        frame.reset();
        doc.reset();
    }

    fixture::TempDir dir;
    std::vector<std::filesystem::path> replays;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

Loaded& Sample() {
    static Loaded loaded;
    return loaded;
}

void Repaint(CRpyGraphView& view) { view.viewport()->repaint(); }

void BM_RedrawMap(benchmark::State& state) {
    Loaded& l = Sample();
    l.Open();
    CRpyGraphView& view = l.frame->View();
    for (auto _ : state) {
        l.doc->redraw = true;
        Repaint(view);
    }
    state.counters["pixels"] = view.viewport()->width() * view.viewport()->height();
    l.Close();
}
BENCHMARK(BM_RedrawMap)->Unit(benchmark::kMillisecond);

void BM_ZoomStepAtDeepestZoom(benchmark::State& state) {
    Loaded& l = Sample();
    l.Open();
    CRpyGraphView& view = l.frame->View();
    for (int i = 0; i < 200; ++i) view.ZoomInBy(nullptr, 1.25);
    bool in = false;
    for (auto _ : state) {
        in = !in;
        if (in)
            view.ZoomOutBy(nullptr, 1.25);
        else
            view.ZoomInBy(nullptr, 1.25);
        Repaint(view);
    }
    state.counters["zoom"] = view.Zoom().GetZoomFactor();
    l.Close();
}
BENCHMARK(BM_ZoomStepAtDeepestZoom)->Unit(benchmark::kMillisecond);

void BM_ScrollStepAtDeepestZoom(benchmark::State& state) {
    Loaded& l = Sample();
    l.Open();
    CRpyGraphView& view = l.frame->View();
    for (int i = 0; i < 200; ++i) view.ZoomInBy(nullptr, 1.25);
    int direction = 1;
    for (auto _ : state) {
        direction = direction == 4 ? 2 : 4;
        view.ScrollByStep(direction, 8);
        Repaint(view);
    }
    l.Close();
}
BENCHMARK(BM_ScrollStepAtDeepestZoom)->Unit(benchmark::kMillisecond);

// From nothing to the main window painted with five laps loaded.
void BM_StartUpToFirstPaint(benchmark::State& state) {
    Loaded& l = Sample();
    for (auto _ : state) {
        l.Open();
        Repaint(l.frame->View());
        state.PauseTiming();
        l.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bool lists_only = bench::ListsOnly(argc, argv);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!lists_only) Sample();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
