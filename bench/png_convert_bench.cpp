// The report site's PNG conversion on the largest graphical race report:
// 20 drivers over 149 laps, 2936 x 410 pixels, saved as the 8-bit bitmap
// the chart is, and the same picture as a 24-bit bitmap. Times encoding
// alone (target: under 60 ms) and the whole conversion (read, encode,
// atomic write, backup; target: at least 25 Mpixel/s), against reading the
// bitmap's bytes with plain read().

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "controls/dib_section_lite.h"
#include "lists_only.h"
#include "replay/drivers.h"
#include "reports/bmp_image.h"
#include "reports/bmp_to_png.h"
#include "reports/png_status_line.h"
#include "reports/ui/graphical_race_report.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace {

fixture::TempDir* g_dir = nullptr;

// A race of 20 cars over 149 laps whose order changes every few laps.
Drivers LongRace() {
    Drivers d;
    d.driver_count = 20;
    d.race_present = 1;
    d.practice_present = 0;
    for (int i = 0; i < 20; ++i) {
        d.first_names[i] = "Driver";
        d.last_names[i] = std::string("Number") + std::to_string(i);
        d.race_lap_count[i] = 149 - (i % 5 == 4 ? i : 0);
        d.race_times[i][0] = 1000 + 10 * static_cast<uint32_t>(i);
        for (int k = 1; k <= 149; ++k)
            d.race_times[i][k] = 60000 + static_cast<uint32_t>((i * 37 + k * 11) % 97) * 40 + 300 * static_cast<uint32_t>(i);
    }
    return d;
}

// Writes the chart as 8-bit (its own depth) and 24-bit bitmaps once.
const std::string& ChartBmp(int bits) {
    static std::string paths[2];
    std::string& path = paths[bits == 24];
    if (!path.empty()) return path;
    fixture::RecordingInteraction ui;
    const Drivers drivers = LongRace();
    GraphicalRaceReport report(ui);
    report.SetReplay(nullptr, &drivers, nullptr);
    report.BuildChart();
    path = g_dir->File(bits == 24 ? "chart24.bmp" : "chart8.bmp");
    if (bits == 8) {
        report.Chart().SaveBmp(path);
    } else {
        CDIBSectionLite copy;
        copy.SetBitmap(report.Chart().GetImage().convertToFormat(QImage::Format_RGB888));
        copy.SaveBmp(path);
    }
    return path;
}

void BM_EncodeLargestChart(benchmark::State& state) {
    const std::string& bmp = ChartBmp(static_cast<int>(state.range(0)));
    std::ostringstream err;
    PngStatusLine status(err);
    BmpImage image;
    if (image.Read(bmp) != BmpImage::Result::kRead) {
        state.SkipWithError("bitmap not read");
        return;
    }
    std::string png;
    for (auto _ : state) {
        if (!bmp_to_png::EncodePng(image, bmp + ".png", status, png)) state.SkipWithError("encode failed");
        err.str("");
    }
    state.counters["width"] = image.width;
    state.counters["height"] = image.height;
    state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_EncodeLargestChart)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

void BM_ConvertLargestChart(benchmark::State& state) {
    const std::string& bmp = ChartBmp(static_cast<int>(state.range(0)));
    std::ostringstream err;
    PngStatusLine status(err);
    const std::string png = bmp_to_png::PngPathFor(bmp);
    int64_t pixels = 0;
    for (auto _ : state) {
        if (bmp_to_png::ConvertBmpToPng(bmp, status) != 0) state.SkipWithError("conversion failed");
        state.PauseTiming();
        // Only the first backup is kept, so every round does the same work.
        std::filesystem::remove(png + ".000");
        err.str("");
        state.ResumeTiming();
        pixels += 2936 * 410;
    }
    state.counters["Mpixel_per_s"] = benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConvertLargestChart)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

// The bitmap's bytes with a plain read(), for the ratio.
void BM_PlainReadOfTheBitmap(benchmark::State& state) {
    const std::string& bmp = ChartBmp(static_cast<int>(state.range(0)));
    std::vector<char> buffer(std::filesystem::file_size(bmp));
    for (auto _ : state) {
        const int fd = ::open(bmp.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
}
BENCHMARK(BM_PlainReadOfTheBitmap)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bool lists_only = bench::ListsOnly(argc, argv);
    QApplication app(argc, argv);
    std::optional<fixture::TempDir> dir;
    if (!lists_only) g_dir = &dir.emplace();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
