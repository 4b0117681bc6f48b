// The lap finder's scan over 2,000 replays of one track (20 drivers, a
// practice and a race table each, a small data section) against reading
// the bytes that hold the header and the driver and lap tables (the file's
// head up to its data section, and the last 64 KiB where the session's last
// timing markers are found) with plain read(); and filtering and sorting
// about 110,000 rows of an earlier scan, which must touch no file. The scan
// reads replays on up to four threads; the plain read and the readers'
// own benchmark use one.
//
// The replays are generated once into $OSTREVAN_BENCH_DIR (default: a
// folder under the system's temporary folder) and kept for later runs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "interaction/batch_interaction.h"
#include "records/lap_finder_model.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "support/fake_media_drives.h"
#include "support/replay_fixture.h"

namespace {

namespace fs = std::filesystem;
constexpr int kReplays = 2000;
constexpr int kSmallSet = 400;

fixture::ReplaySpec Replay(int seed) {
    fixture::ReplaySpec s;
    s.track = "nurburg";
    for (uint32_t i = 0; i < 20; ++i) {
        fixture::DriverSpec d;
        d.first_name = "Driver" + std::to_string((i * 7 + static_cast<uint32_t>(seed)) % 20);
        d.last_name = "Number" + std::to_string(seed);
        d.slot = i;
        d.ai = i > 0;
        d.car_byte = static_cast<uint8_t>(1 + (i + static_cast<uint32_t>(seed)) % 7);
        s.drivers.push_back(d);
        std::vector<uint32_t> laps(12 + i % 5);
        for (size_t k = 0; k < laps.size(); ++k) laps[k] = 90000 + 37 * ((k * 13 + i * 7 + static_cast<size_t>(seed)) % 500);
        s.practice.push_back(fixture::EntryFromLaps(i, 5000 + i, laps));
        s.race.push_back(fixture::EntryFromLaps(i, 3000 + i, laps));
    }
    s.player_first = s.drivers[0].first_name;
    s.player_last = s.drivers[0].last_name;
    s.layout = fixture::TableLayout::kPracticeThenRace;
    s.frames = fixture::SessionFrames(0, 1000, 800, 1, 64);
    auto race = fixture::SessionFrames(2, 1000, 800, 801, 64);
    s.frames.insert(s.frames.end(), race.begin(), race.end());
    return s;
}

struct Corpus {
    fs::path all;    // simulator folder with kReplays replays
    fs::path small;  // simulator folder with the first kSmallSet of them
    std::vector<std::pair<std::string, uint32_t>> files;  // path, data-section offset
};

const Corpus& Files() {
    static const Corpus corpus = [] {
        const char* env = std::getenv("OSTREVAN_BENCH_DIR");
        const fs::path base = (env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-replays") / "finder";
        Corpus c{base / "all", base / "small", {}};
        fs::create_directories(c.all / "replay");
        fs::create_directories(c.small / "replay");
        std::string bytes;
        uint32_t data_offset = 0;
        for (int i = 0; i < kReplays; ++i) {
            fs::path p = c.all / "replay" / "r";
            p += std::to_string(i);
            p += ".rpy";
            if (bytes.empty() || i % 100 == 0) {
                const fixture::ReplaySpec spec = Replay(i);
                bytes = fixture::BuildReplay(spec);
                data_offset = fixture::LayoutOf(spec).data_section;
            }
            if (!fs::exists(p)) fixture::WriteFile(p, bytes);
            const fs::path q = c.small / "replay" / p.filename();
            if (i < kSmallSet && !fs::exists(q)) fs::copy_file(p, q);
            c.files.emplace_back(p.string(), data_offset);
        }
        return c;
    }();
    return corpus;
}

void BM_PlainReadOfHeadsAndTails(benchmark::State& state) {
    const Corpus& c = Files();
    std::vector<char> buffer(1 << 16);
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& [path, data_offset] : c.files) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            size_t left = data_offset;
            ssize_t n;
            while (left > 0 && (n = ::read(fd, buffer.data(), std::min(left, buffer.size()))) > 0) {
                left -= static_cast<size_t>(n);
                bytes += n;
            }
            const off_t size = ::lseek(fd, 0, SEEK_END);
            ::lseek(fd, std::max<off_t>(data_offset, size - static_cast<off_t>(buffer.size())), SEEK_SET);
            while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) bytes += n;
            ::close(fd);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_PlainReadOfHeadsAndTails)->Unit(benchmark::kMillisecond);

// What the scan spends in the replay readers alone.
void BM_HeaderAndDriverReaders(benchmark::State& state) {
    const Corpus& c = Files();
    Header h;
    Drivers d;
    for (auto _ : state) {
        for (const auto& [path, data_offset] : c.files)
            if (h.Load(path) != 0 || d.LoadReplay(path) != 0) state.SkipWithError("a replay did not load");
        benchmark::DoNotOptimize(d.race_lap_count[19]);
    }
}
BENCHMARK(BM_HeaderAndDriverReaders)->Unit(benchmark::kMillisecond);

void BM_FirstScan(benchmark::State& state) {
    const Corpus& c = Files();
    fixture::FakeMediaDrives media;
    std::ostream discard(nullptr);
    BatchInteraction ui(&discard);
    for (auto _ : state) {
        LapFinderModel model({c.all.string(), {}, false}, media, ui);
        model.Scan("nurburg");
        if (model.FolderReplayCount() != kReplays) state.SkipWithError("replays were not read");
        benchmark::DoNotOptimize(model.RowCount());
    }
}
BENCHMARK(BM_FirstScan)->Unit(benchmark::kMillisecond);

void BM_FilterAndSort(benchmark::State& state) {
    const Corpus& c = Files();
    fixture::FakeMediaDrives media;
    std::ostream discard(nullptr);
    BatchInteraction ui(&discard);
    LapFinderModel model({c.small.string(), {}, false}, media, ui);
    model.Scan("nurburg");
    // No file may be touched from here on.
    fs::rename(c.small / "replay", c.small / "moved");
    for (auto _ : state) {
        model.SetFilter(LapFinderModel::Filter::kAllLaps, 0);
        model.Sort(LapFinderModel::kByDriver);
        model.Sort(LapFinderModel::kByLaptime);
        model.Sort(LapFinderModel::kByReplayFile);
        model.SetFilter(LapFinderModel::Filter::kNoAILaps, 1);
        model.Sort(LapFinderModel::kByTeam);
        benchmark::DoNotOptimize(model.RowCount());
    }
    fs::rename(c.small / "moved", c.small / "replay");
    model.SetFilter(LapFinderModel::Filter::kAllLaps, 0);
    state.counters["rows"] = model.RowCount();
}
BENCHMARK(BM_FilterAndSort)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
