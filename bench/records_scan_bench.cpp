// The records scan reads every replay's header and driver table once for
// all tracks. Measured over 2,000 replays of about 7 MB in a simulator
// folder, files cached, against reading the same bytes (the header, the
// 64 KB window after it and the 64 KB window at the end of each file, as
// the driver table reader takes them) with plain read().
//
// The replays are generated once into $OSTREVAN_BENCH_DIR (default: a
// folder under the system's temporary folder) and kept. Only the first and
// last 256 KB of each file are written; the rest is a hole, since nothing
// in a records scan reads the middle of a data section.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "records/export_records_model.h"
#include "support/ini_fixture.h"
#include "support/recording_interaction.h"
#include "support/replay_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr int kReplays = 2000;
constexpr size_t kWritten = 256 * 1024;
constexpr size_t kWindow = 64 * 1024;
const char* const kTracks[] = {"monaco", "spa", "monza", "nurburgring", "imola", "zandvoort", "rouen", "kyalami"};

fixture::ReplaySpec RealisticReplay(int seed) {
    fixture::ReplaySpec s;
    s.track = kTracks[seed % 8];
    s.sessions = 2;
    for (uint32_t i = 0; i < 20; ++i) {
        fixture::DriverSpec d;
        d.first_name = "Driver" + std::to_string(i);
        d.last_name = "Number" + std::to_string(i % 3);
        d.slot = i;
        d.car_byte = static_cast<uint8_t>(1 + i % 7);
        d.ai = i > 0;
        s.drivers.push_back(d);
        std::vector<uint32_t> laps(12 + i % 5, 90000 + 100 * i + static_cast<uint32_t>(seed));
        s.practice.push_back(fixture::EntryFromLaps(i, 5000 + i, laps));
        s.race.push_back(fixture::EntryFromLaps(i, 3000 + i, laps));
    }
    s.player_first = "Driver0";
    s.player_last = "Number0";
    s.layout = fixture::TableLayout::kPracticeThenRace;
    // About 7 MB: 18 minutes of practice and 18 of race at 36 frames a
    // second, each frame of 88 bytes with its marker and car records.
    const uint32_t ticks = 18 * 60 * 36;
    s.frames = fixture::SessionFrames(0, 1000, ticks, 1, 64);
    auto race = fixture::SessionFrames(2, 1000, ticks, ticks + 1, 64);
    s.frames.insert(s.frames.end(), race.begin(), race.end());
    return s;
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

const fs::path& Simulator() {
    static const fs::path folder = [] {
        const char* env = std::getenv("OSTREVAN_BENCH_DIR");
        const fs::path dir =
            (env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-replays") / "records-simulator";
        WriteText(dir / "qel.exe", "MZ");
        WriteText(dir / "players" / "Driver0" / "player.ini",
                  "[Personal Information]\r\nfirstName=Driver0\r\nlastName=Number0\r\n");
        fixture::SeasonSpec season;
        for (int k = 0; k < 4; ++k) {
            fixture::SeasonEventSpec e;
            e.track_directory = kTracks[k];
            season.events.push_back(e);
        }
        fixture::WriteSeasonFile(dir, season);
        for (const char* t : kTracks)
            WriteText(dir / "tracks" / t / "track.ini", std::string("[Track]\r\ntrack_name_short=") + t +
                                                            "\r\ntrack_name=Grand Prix\r\n");
        fs::create_directories(dir / "replay");
        std::vector<std::string> variants(std::size(kTracks));
        for (int i = 0; i < kReplays; ++i) {
            const fs::path p = dir / "replay" / ("replay" + std::to_string(i) + ".rpy");
            if (fs::exists(p)) continue;
            std::string& bytes = variants[static_cast<size_t>(i) % variants.size()];
            if (bytes.empty()) bytes = fixture::BuildReplay(RealisticReplay(i));
            const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0) std::abort();
            const size_t n = std::min(kWritten, bytes.size());
            if (::pwrite(fd, bytes.data(), n, 0) != static_cast<ssize_t>(n) ||
                ::pwrite(fd, bytes.data() + bytes.size() - n, n, static_cast<off_t>(bytes.size() - n)) !=
                    static_cast<ssize_t>(n))
                std::abort();
            ::close(fd);
        }
        return dir;
    }();
    return folder;
}

void BM_RecordsScan(benchmark::State& state) {
    ExportRecordsModel::Options options;
    options.simulator_folder = Simulator().string();
    fixture::RecordingInteraction ui;
    ExportRecordsModel model;
    for (auto _ : state) {
        if (model.Run(0, options, ui) != ExportRecordsModel::Result::kDone) state.SkipWithError("run failed");
        benchmark::DoNotOptimize(model.GetNumTracks());
    }
    state.SetItemsProcessed(state.iterations() * kReplays);
    state.counters["rows"] = model.GetNumTracks();
}
BENCHMARK(BM_RecordsScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bytes the scan takes of each replay, read with plain read(): the
// header (its own open), then the window after the header and the window
// at the end of the file.
void BM_PlainReadSameBytes(benchmark::State& state) {
    std::vector<std::string> files;
    for (int i = 0; i < kReplays; ++i)
        files.push_back((Simulator() / "replay" / ("replay" + std::to_string(i) + ".rpy")).string());
    std::vector<char> buffer(kWindow);
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& f : files) {
            int fd = ::open(f.c_str(), O_RDONLY);
            bytes += ::read(fd, buffer.data(), 296);
            ::close(fd);
            fd = ::open(f.c_str(), O_RDONLY);
            const off_t size = ::lseek(fd, 0, SEEK_END);
            ::lseek(fd, 308, SEEK_SET);
            bytes += ::read(fd, buffer.data(), kWindow);
            ::lseek(fd, size - static_cast<off_t>(kWindow), SEEK_SET);
            bytes += ::read(fd, buffer.data(), kWindow);
            ::close(fd);
        }
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * kReplays);
}
BENCHMARK(BM_PlainReadSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
