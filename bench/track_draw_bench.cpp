// Drawing the track map as the track-map view will: a fixture track's
// surfaces, centre line and split lines with five driving lines, one lap
// each, into a 1000 x 1000 QImage on the offscreen platform. Target: under
// 8 ms per map.
//
// The laps are sampled as a replay has them, one sample per 1/36 s at
// 38 to 46 m/s, weaving up to 4 m off the centre line, each starting a few
// samples before the line and ending a few after it.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <vector>

#include "support/map_colours.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"
#include "support/track_fixture.h"
#include "track/track.h"
#include "track/track_path_tracer.h"
#include "track/ui/mfc_display.h"

namespace {

struct Sample {
    double distance;
    double lateral;
};

// Distances as a lap's telemetry has them: from just before the line
// (the end of the previous lap) round to just past it.
std::vector<Sample> Lap(double lap_length, int lap) {
    const double step = (38.0 + 2.0 * lap) / 36.0;
    std::vector<Sample> samples;
    for (double d = -3 * step; d < lap_length + 3 * step; d += step) {
        const double weave = 4.0 * std::sin(2 * std::numbers::pi * 3 * d / lap_length + lap);
        samples.push_back({d < 0 ? d + lap_length : d, weave});
    }
    return samples;
}

void DrawMap(benchmark::State& state, const fixture::TrackBlockSpec& block) {
    fixture::TempDir dir;
    const std::string path = dir.File("bench.trk");
    fixture::WriteFile(path, fixture::BuildTrackBlock(block));
    Track track(path);
    track.ComputeSplitLines();

    std::vector<std::vector<Sample>> laps;
    std::vector<TrackPathTracer> tracers;
    for (int i = 0; i < 5; ++i) {
        laps.push_back(Lap(track.GetLength(), i));
        tracers.emplace_back(track, i);
    }

    QImage image(1000, 1000, QImage::Format_RGB32);
    MFCDisplay display(0x000000, 0xFFFFFF);
    size_t segments = 0;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        display.BeginDraw(painter, image.rect(), fixture::kMapColours);
        display.FitToSurfaceBounds(50, 50, 1000, 1000);
        track.DrawSurfaces(display);
        track.DrawSections(display);
        track.DrawSplitLines(display);
        for (size_t i = 0; i < laps.size(); ++i) {
            tracers[i].Reset();
            for (const Sample& s : laps[i]) tracers[i].MoveTo(display, s.distance, s.lateral, false);
            segments += laps[i].size() - 1;
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["segments"] =
        benchmark::Counter(static_cast<double>(segments), benchmark::Counter::kAvgIterations);
    track.Clear();
}

void BM_DrawStadiumWithFiveLaps(benchmark::State& state) {
    DrawMap(state, fixture::StadiumCircuit());
}
BENCHMARK(BM_DrawStadiumWithFiveLaps)->Unit(benchmark::kMillisecond);

void BM_DrawWindingCircuitWithFiveLaps(benchmark::State& state) {
    DrawMap(state, fixture::WindingCircuit());
}
BENCHMARK(BM_DrawWindingCircuitWithFiveLaps)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
