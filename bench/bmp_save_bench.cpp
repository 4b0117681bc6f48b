// Saving the track map as a 4-bit bitmap file as the bitmap export will: the
// winding fixture circuit's surfaces and centre line drawn once into a
// 768 x 768 section with the map palette, then converted to 4 bits and
// written atomically per iteration, against writing the same number of
// bytes to a file with plain write(), without and with the flush to disk
// that the atomic write makes. Target: under 5 ms of processor time per
// save; the rest of the wall time is the file system's flush.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/dib_pixels.h"
#include "controls/dib_section_lite.h"
#include "support/map_colours.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"
#include "support/track_fixture.h"
#include "track/track.h"
#include "track/ui/mfc_display.h"

namespace {

constexpr int kSize = 768;

void DrawMap(CDIBSectionLite& dib, const std::string& track_path) {
    Track track(track_path);
    MFCDisplay display(0x000000, 0xFFFFFF);
    QPainter* painter = dib.SelectIntoMemoryDC();
    display.BeginDraw(*painter, QRect(0, 0, kSize, kSize), fixture::kMapColours);
    display.FitToSurfaceBounds(5, 5, kSize, kSize);
    track.DrawSurfaces(display);
    track.DrawSections(display);
    dib.ReleaseMemoryDC();
    track.Clear();
}

void BM_SaveTrackMapBmp(benchmark::State& state) {
    fixture::TempDir dir;
    const std::string track_path = dir.File("bench.trk");
    fixture::WriteFile(track_path, fixture::BuildTrackBlock(fixture::WindingCircuit()));
    bmp_file::BitmapInfoHeader header;
    header.biWidth = kSize;
    header.biHeight = kSize;
    header.biBitCount = 4;
    std::vector<uint32_t> palette{0xFFFFFF};
    for (int i = 0; i < 15; ++i) palette.push_back(dib_pixels::RgbQuadOf(fixture::kMapColours[i]));
    CDIBSectionLite dib;
    if (!dib.CreateFromBitmapInfo(header, palette)) {
        state.SkipWithError("no section");
        return;
    }
    DrawMap(dib, track_path);
    const std::filesystem::path out = dir.path() / "map.bmp";
    for (auto _ : state) {
        if (!dib.SaveBmp(out)) state.SkipWithError("save failed");
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
}
BENCHMARK(BM_SaveTrackMapBmp)->Unit(benchmark::kMillisecond);

// The same number of bytes with a plain write(), for the ratio; argument 1
// flushes the file to disk as well.
void BM_PlainWriteOfTheSameBytes(benchmark::State& state) {
    fixture::TempDir dir;
    const std::string bytes(118 + kSize * kSize / 2, 'x');
    const std::string path = dir.File("plain.bin");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        if (state.range(0) != 0) ::fsync(fd);
        ::close(fd);
    }
}
BENCHMARK(BM_PlainWriteOfTheSameBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
