// The written replays: a lap saved alone and the loaded laps merged, byte
// by byte where the layout fixes the bytes, and read back through the
// program's own readers (header, driver table, lap extraction) with the
// values that went in.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "document/lap_file_names.h"
#include "document/merged_replay_writer.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/race_generator.h"
#include "support/recording_interaction.h"
#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "track/track.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

uint32_t U32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b.at(at + static_cast<size_t>(i)));
    return v;
}
uint16_t U16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b.at(at)) | static_cast<uint8_t>(b.at(at + 1)) << 8);
}

// Three cars on the stadium circuit (about 1045 m), practice only: laps
// of well over 1025 samples. Car 2's name carries a "/".
fixture::RacePlan Practice(double lap_length) {
    fixture::RacePlan plan;
    plan.lap_length_m = lap_length;
    plan.race = false;
    const char* names[][2] = {{"Jim", "Clark"}, {"Dan", "Gurney"}, {"A/B", "Smith\\Jones"}};
    const std::vector<double> speeds[] = {{30, 30, 31, 30}, {28, 29, 28, 29}, {27, 27, 27, 27}};
    for (int i = 0; i < 3; ++i) {
        fixture::CarPlan car;
        car.driver.first_name = names[i][0];
        car.driver.last_name = names[i][1];
        car.driver.slot = static_cast<uint32_t>(2 * i);
        car.driver.country = static_cast<uint8_t>(11 + i);
        car.driver.engine_index = static_cast<uint32_t>(9 + i);
        car.driver.value128 = 0x1234 + static_cast<uint32_t>(i);
        car.practice_speeds = speeds[i];
        plan.cars.push_back(car);
    }
    return plan;
}

class ReplayWritersTest : public testing::Test {
protected:
    ReplayWritersTest() {
        sim = config.scratch() / "QEL";
        fs::create_directories(sim / "replay");
        fixture::WriteFile(sim / "qel.exe", "MZ");
        fs::create_directories(sim / "tracks" / "fixturering");
        fixture::WriteFile(sim / "tracks" / "fixturering" / "fixturering.trk",
                           fixture::BuildTrackBlock(fixture::StadiumCircuit()));
        settings.SetQELDirectory(sim.string());
        settings.SetDontShowQualReport(1);
        const auto track = Track::Load(sim, "fixturering");
        race = std::make_unique<fixture::RaceGenerator>(Practice(track->GetLength()));
        track->Clear();
        source = sim / "replay" / "stadium.rpy";
        fixture::WriteFile(source, fixture::BuildReplay(race->Spec()));
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
    }

    fixture::ScopedConfigDir config;
    fs::path sim;
    fs::path source;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<fixture::RaceGenerator> race;
    std::unique_ptr<CRpyGraphDoc> doc;
};

TEST_F(ReplayWritersTest, SavedLapCopiesTheLapsBlocksAndPatchesTheLengths) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 1, 2));
    const LapSlot& slot = doc->GetSlot(0);
    const uint64_t d = slot.drivers->data_section_offset;
    const uint64_t s = slot.telemetry->first_block_pos;
    const uint64_t e = slot.telemetry->after_last_pos;
    const fixture::LapTruth& truth = race->Lap(1, 0, 2);

    const fs::path dest = sim / "replay" / "saved";
    ui.paths = {dest.string()};
    ui.answers = {true};
    ui.messages.clear();
    doc->OnSaveReplayLap();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.proposed_names.back(), (sim / "replay" / "Dan_Gur_fixturering_Unknown_").string() +
                                            CRpyGraphDoc::FormatLapTime(truth.lap_ms) + ".rpy");
    const std::string out = ReadAll(dest.string() + ".rpy");
    const std::string in = ReadAll(source);
    ASSERT_EQ(out.size(), d + 12 + (e - s));
    EXPECT_EQ(U32(out, 8), d + (e - s));
    EXPECT_EQ(U32(out, 40), truth.sample_count + 1);
    EXPECT_EQ(U32(out, 44), e - s);
    EXPECT_EQ(U16(out, 48), U16(in, e - U16(out, 48)));  // the size of the block that ends at E
    EXPECT_EQ(U32(out, d + 8), e - s);
    for (size_t i = 0; i < d + 12; ++i) {
        if ((i >= 8 && i < 12) || (i >= 40 && i < 50) || (i >= d + 8 && i < d + 12)) continue;
        ASSERT_EQ(out[i], in[i]) << i;
    }
    EXPECT_EQ(out.substr(d + 12), in.substr(s, e - s));

    struct stat a {}, b {};
    ASSERT_EQ(::stat(source.c_str(), &a), 0);
    ASSERT_EQ(::stat((dest.string() + ".rpy").c_str(), &b), 0);
    EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec);
    EXPECT_EQ(a.st_mtim.tv_nsec, b.st_mtim.tv_nsec);

    // Read back: the same driver table and the same lap.
    Header header;
    ASSERT_EQ(header.Load(dest.string() + ".rpy"), 0);
    EXPECT_EQ(header.recording_length, truth.sample_count + 1);
    EXPECT_EQ(header.track_folder, "fixturering");
    Drivers drivers;
    ASSERT_EQ(drivers.LoadReplay(dest.string() + ".rpy"), 0);
    ASSERT_EQ(drivers.driver_count, 3);
    EXPECT_EQ(drivers.last_names[2], "Smith\\Jones");
    GetRpyInfo lap;
    ASSERT_EQ(lap.ExtractLap(drivers, 1, 2, 0), 0);
    ASSERT_EQ(lap.TrimToLap(1), 0);
    const GetRpyInfo& original = *slot.telemetry;
    ASSERT_EQ(lap.sample_count, original.sample_count);
    for (uint32_t i = 1; i <= lap.sample_count; ++i) {
        ASSERT_EQ(lap.distance_raw[i], original.distance_raw[i]) << i;
        ASSERT_EQ(lap.lateral_raw[i], original.lateral_raw[i]) << i;
        ASSERT_EQ(lap.gear[i], original.gear[i]) << i;
    }
}

TEST_F(ReplayWritersTest, SaveLapRefusalsAndNames) {
    ui.messages.clear();
    doc->OnSaveReplayLap();
    doc->OnMergeAllLaps();
    doc->OnSaveTelemetryText();
    EXPECT_EQ(ui.messages, std::vector<std::string>(3, "No replay file loaded!"));

    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 2, 2));
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 0, 2));
    std::vector<std::string> captions;
    doc->SetSaveLapChooser([&](const std::vector<std::string>& c) {
        captions = c;
        return 0;
    });
    const std::string before = ReadAll(source);
    const fs::path missing_folder = sim / "nothing" / "lap.rpy";
    const struct {
        std::string chosen;
        std::vector<std::string> messages;
        bool asks_date;
    } cases[] = {
        {source.string(), {"Source and destination file cannot be the same file"}, false},
        // The same file under another name is the same file.
        {(sim / "replay" / "." / "stadium.rpy").string(), {"Source and destination file cannot be the same file"}, false},
        {missing_folder.string(), {"Error while saving replay file!"}, false},
        {(sim / "replay" / "UPPER.RPY").string(), {}, true},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        ui.questions.clear();
        ui.paths = {c.chosen};
        ui.answers = {false};
        doc->OnSaveReplayLap();
        EXPECT_EQ(ui.messages, c.messages) << c.chosen;
        EXPECT_EQ(ui.questions.size(), c.asks_date ? 1u : 0u) << c.chosen;
    }
    EXPECT_EQ(ReadAll(source), before);
    EXPECT_TRUE(fs::exists(sim / "replay" / "UPPER.RPY"));
    EXPECT_FALSE(fs::exists(sim / "replay" / "UPPER.RPY.rpy"));
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[1], "Jim Clark " + CRpyGraphDoc::FormatLapTime(race->Lap(0, 0, 2).lap_ms));
    // A name's "/" and "\" cannot lead into another folder.
    const std::string name = fs::path(ui.proposed_names.front()).filename().string();
    EXPECT_EQ(name.rfind("A_B_Smi_fixturering_", 0), 0u) << name;

    // A replay changed since the lap was read is not copied from.
    fixture::WriteFile(source, before.substr(0, doc->GetSlot(0).telemetry->after_last_pos - 1));
    ui.messages.clear();
    ui.paths = {(sim / "replay" / "cut.rpy").string()};
    doc->OnSaveReplayLap();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error while saving replay file!"});
    EXPECT_FALSE(fs::exists(sim / "replay" / "cut.rpy"));
}

TEST(MergedReplay, StartOffsetsInSamples) {
    const struct {
        uint32_t ms;
        int64_t samples;
    } cases[] = {{0, 0}, {13, 0}, {14, 1}, {1000, 36}, {1001, 36}, {75500, 2718}, {UINT32_MAX, 154618823}};
    for (const auto& c : cases) EXPECT_EQ(merged_replay_writer::OffsetSamples(c.ms), c.samples) << c.ms;
}

TEST_F(ReplayWritersTest, MergedFileLayoutAndReadBack) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 1, 2));
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 0, 2));
    const GetRpyInfo& slow = *doc->GetSlot(0).telemetry;
    const GetRpyInfo& fast = *doc->GetSlot(1).telemetry;
    // The file runs until the slower lap has shown its last sample.
    const uint32_t m = slow.sample_count;
    ASSERT_LT(fast.sample_count, slow.sample_count);
    ASSERT_GT(fast.sample_count, 1025u);
    doc->SetMergeParametersDialog([](CRpyGraphDoc&) { return std::array<uint32_t, 5>{0, 0, 0, 0, 0}; });
    const fs::path dest = sim / "replay" / "merged.rpy";
    ui.paths = {(sim / "replay" / "merged").string()};
    ui.messages.clear();
    doc->OnMergeAllLaps();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.proposed_names.back(), (sim / "replay" / "fixturering_ZAVRO_merged.rpy").string());
    const std::string b = ReadAll(dest);
    ASSERT_GT(b.size(), 700u);

    EXPECT_EQ(b.substr(0, 4), "YLPR");
    EXPECT_EQ(U32(b, 8), b.size() - 12);
    EXPECT_EQ(b.substr(12, 4), "DHPR");
    EXPECT_EQ(U32(b, 20), 76u);
    EXPECT_EQ(b.substr(24, 16), std::string("fixturering\0\0\0\0\0", 16));
    EXPECT_EQ(U32(b, 40), m);
    EXPECT_EQ(b.substr(56, 16), std::string("Quandermolvixe\0\0", 16));
    EXPECT_EQ(b.substr(100, 4), "FNKW");
    EXPECT_EQ(b.substr(112, 12), std::string("fixturering\0", 12));
    EXPECT_EQ(b.substr(296, 4), "SLRD");
    EXPECT_EQ(U32(b, 304), 3 * 152u);
    // Driver record 2 (the second lap: Jim Clark).
    const size_t r2 = 308 + 2 * 152;
    EXPECT_EQ(b.substr(r2 + 12, 9), std::string("J merged\0", 9));
    EXPECT_EQ(U32(b, r2 + 48), 11u);
    EXPECT_EQ(U32(b, r2 + 120), 9u % 7);
    EXPECT_EQ(U32(b, r2 + 128), 0x1234u);
    EXPECT_EQ(U32(b, r2 + 136), 2u);
    EXPECT_EQ(U32(b, r2 + 148), 0x20000100u);
    EXPECT_EQ(U32(b, 308 + 148), 0x20010100u);
    const size_t times = 308 + 3 * 152;
    EXPECT_EQ(b.substr(times, 4), "BTPL");
    EXPECT_EQ(b.substr(times + 12 + 24, 4), "ORPL");
    EXPECT_EQ(U32(b, times + 12 + 24 + 12), 2u);
    EXPECT_EQ(U32(b, times + 12 + 24 + 16), 1000u);
    EXPECT_EQ(U32(b, times + 12 + 24 + 20), 1000u + race->Lap(0, 0, 2).lap_ms);
    const size_t data = times + 12 + 48;
    EXPECT_EQ(b.substr(data, 4), "PTPR");
    EXPECT_EQ(U32(b, data + 8), b.size() - data - 12);
    EXPECT_EQ(U32(b, 44), b.size() - data - 12);

    // The blocks: ids, markers, car entries with the lap-table slot.
    size_t pos = data + 12;
    uint16_t previous = 0;
    for (uint32_t f = 1; f <= m; ++f) {
        const uint16_t size = U16(b, pos);
        ASSERT_EQ(U16(b, pos + 2), previous) << f;
        ASSERT_EQ(U32(b, pos + 4), f % 1024) << f;
        const bool marker = (f - 1) % 36 == 0 || f == m;
        ASSERT_EQ(U16(b, pos + 8) == 13, marker) << f;
        const size_t car = pos + 8 + (marker ? 8 : 0);
        ASSERT_EQ(U16(b, car), 3) << f;
        ASSERT_EQ(U16(b, car + 2), 36) << f;
        for (uint32_t k = 0; k < 2; ++k) {
            ASSERT_EQ((U32(b, car + 4 + 16 * k) >> 1) & 0x3FF, f % 1024) << f;
            ASSERT_EQ(U32(b, car + 8 + 16 * k) >> 26, k + 1) << f;
        }
        if (f == 1 || f == 37 || f == 73) {
            EXPECT_EQ(U32(b, pos + 12), ((f - 1) / 36 * 100 + 98) << 8);
        }
        previous = size;
        pos += size;
    }
    EXPECT_EQ(pos, b.size());
    EXPECT_EQ(U16(b, 48), previous);

    // Read back: every lap selectable, extracted with the values packed as
    // the merge packs them, and trimmed again to the lap that went in.
    Header header;
    ASSERT_EQ(header.Load(dest.string()), 0);
    EXPECT_EQ(header.track_folder, "fixturering");
    Drivers drivers;
    ASSERT_EQ(drivers.LoadReplay(dest.string()), 0);
    ASSERT_EQ(drivers.driver_count, 3);
    EXPECT_EQ(drivers.first_names[0], "ZAVRO");
    EXPECT_EQ(drivers.practice_lap_count[0], 0);
    for (int k = 0; k < 2; ++k) {
        const GetRpyInfo& in = k == 0 ? slow : fast;
        SCOPED_TRACE(k);
        EXPECT_EQ(drivers.practice_lap_count[k + 1], 1);
        EXPECT_EQ(drivers.practice_selectable[k + 1][1], 1);
        EXPECT_EQ(Drivers::LapMs(drivers.practice_times[k + 1][1]), race->Lap(k == 0 ? 1 : 0, 0, 2).lap_ms);
        GetRpyInfo lap;
        ASSERT_EQ(lap.ExtractLap(drivers, k + 1, 1, 0), 0);
        ASSERT_GE(lap.sample_count, in.sample_count);
        EXPECT_EQ(lap.missing_count, 0u);
        for (uint32_t s = 1; s <= in.sample_count; ++s) {
            ASSERT_NEAR(lap.distance_raw[s], in.distance[s] * 2000, 1.0) << s;
            ASSERT_EQ(lap.gear[s], in.gear[s]) << s;
            ASSERT_EQ(lap.orientation[s], in.orientation[s]) << s;
            ASSERT_EQ(lap.roll[s], in.roll[s]) << s;
            ASSERT_EQ(lap.pitch[s], in.pitch[s]) << s;
            ASSERT_EQ(lap.steering[s], in.steering[s]) << s;
            ASSERT_EQ(lap.lateral_raw[s],
                      static_cast<int32_t>(std::atan(in.lateral_offset[s] * 0.07535159052137273) * 21464.211218141205))
                << s;
        }
        ASSERT_EQ(lap.TrimToLap(1), 0);
        ASSERT_EQ(lap.sample_count, in.sample_count);
        for (uint32_t s = 1; s <= lap.sample_count; ++s) {
            ASSERT_NEAR(lap.distance[s], in.distance[s], 0.001) << s;
            ASSERT_NEAR(lap.revs[s], in.revs[s], 0.01 * in.revs[s] + 5) << s;
        }
    }
}

// An advantage far longer than a reader looks back for a lap's start: the
// later lap runs in before its first sample, the earlier rolls on after its
// last, and each reads back whole, its car never standing, with the line
// crossed only at its start and at its end.
TEST_F(ReplayWritersTest, MergeAdvantagesRunInAndRollOnAroundTheLaps) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 0, 2));
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 1, 2));
    std::vector<const LapSlot*> laps{&doc->GetSlot(0), &doc->GetSlot(1)};
    std::string bytes;
    // 30 s are 1080 samples: the first lap starts that much after the second.
    const uint32_t o = 1080;
    ASSERT_TRUE(merged_replay_writer::Build(laps, {0, 30000, 0, 0, 0}, bytes));
    const uint32_t late[] = {o, 0};
    EXPECT_EQ(U32(bytes, 40), std::max(laps[0]->telemetry->sample_count + o, laps[1]->telemetry->sample_count));
    const fs::path dest = sim / "replay" / "offset.rpy";
    fixture::WriteFile(dest, bytes);
    Drivers drivers;
    ASSERT_EQ(drivers.LoadReplay(dest.string()), 0);
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const GetRpyInfo& in = *laps[static_cast<size_t>(k)]->telemetry;
        GetRpyInfo lap;
        ASSERT_EQ(lap.ExtractLap(drivers, k + 1, 1, 0), 0);
        int lines = 0;
        for (uint32_t s = 1; s < lap.sample_count; ++s) lines += lap.distance_raw[s + 1] <= lap.distance_raw[s];
        EXPECT_EQ(lines, 2);
        ASSERT_EQ(lap.TrimToLap(1), 0);
        EXPECT_EQ(lap.first_kept_frame, 1 + late[k]);
        ASSERT_EQ(lap.sample_count, in.sample_count);
        for (uint32_t s = 1; s <= lap.sample_count; ++s) ASSERT_NEAR(lap.distance[s], in.distance[s], 0.001) << s;
    }
    // No lap, or advantages too far apart for the lap-time clock: nothing.
    EXPECT_FALSE(merged_replay_writer::Build({}, {}, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(merged_replay_writer::Build(laps, {0, UINT32_MAX, 0, 0, 0}, bytes));
    EXPECT_TRUE(bytes.empty());
}

}  // namespace

namespace {

TEST_F(ReplayWritersTest, FailedWritesAreReportedAndLeaveTheOldFile) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(source.string(), 0, 0, 2));
    const fs::path missing = sim / "nothing";
    doc->SetMergeParametersDialog([](CRpyGraphDoc&) { return std::array<uint32_t, 5>{}; });
    ui.messages.clear();
    ui.paths = {(missing / "m.rpy").string(), (missing / "t.txt").string()};
    doc->OnMergeAllLaps();
    doc->OnSaveTelemetryText();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Only 1 lap loaded, will extract that to a new replay file.",
                                                     "Error while saving replay file!", "Error creating file!"}));
    // A folder standing where the file should go is not replaced.
    fs::create_directories(sim / "taken.txt");
    ui.messages.clear();
    ui.paths = {(sim / "taken.txt").string()};
    doc->OnSaveTelemetryText();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating file!"});
    EXPECT_TRUE(fs::is_directory(sim / "taken.txt"));
}

// A race lap flagged "not valid" and "off the track" stays selectable in the
// merged file's practice session, with the off-track flag kept.
TEST_F(ReplayWritersTest, MergedLapTimeFlagsAsTheReaderExpectsThem) {
    fixture::RacePlan plan = race->plan();
    plan.race = true;
    for (auto& car : plan.cars) car.race_speeds = {30, 30, 30};
    const fixture::RaceGenerator with_race(plan);
    fixture::ReplaySpec spec = with_race.Spec();
    for (auto& entry : spec.race)
        if (entry.slot == 2) entry.words.at(1) |= 0x50000000;
    const fs::path flagged = sim / "replay" / "flagged.rpy";
    fixture::WriteFile(flagged, fixture::BuildReplay(spec));
    ASSERT_TRUE(doc->AddLapFromCommandLine(flagged.string(), 1, 1, 2));
    ASSERT_EQ(lap_file_names::StoredLapWord(doc->GetSlot(0)) >> 24, 0x50u);

    std::string bytes;
    ASSERT_TRUE(merged_replay_writer::Build({&doc->GetSlot(0)}, {}, bytes));
    const fs::path merged = sim / "replay" / "flagged_merged.rpy";
    fixture::WriteFile(merged, bytes);
    Drivers drivers;
    ASSERT_EQ(drivers.LoadReplay(merged.string()), 0);
    EXPECT_EQ(drivers.practice_times[1][1], 0x40000000u | with_race.Lap(1, 1, 2).lap_ms);
    EXPECT_EQ(drivers.practice_selectable[1][1], 1);
    GetRpyInfo lap;
    EXPECT_EQ(lap.ExtractLap(drivers, 1, 1, 0), 0);
}

}  // namespace
