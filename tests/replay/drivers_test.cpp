#include "replay/drivers.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace {

using fixture::DriverSpec;
using fixture::EntryFromLaps;
using fixture::ReplaySpec;
using fixture::TableLayout;

constexpr uint32_t kInvalid = 0x10000000;
constexpr uint32_t kOffTrack = 0x40000000;
constexpr uint8_t kRaceCode = 2;

DriverSpec Driver(const std::string& first, const std::string& last, uint32_t slot) {
    DriverSpec d;
    d.first_name = first;
    d.last_name = last;
    d.slot = slot;
    return d;
}

// Practice from session clock 1000 ms, then the race (session code 2) from
// 500 ms to 30470 ms; practice and race tables for three drivers.
ReplaySpec PracticeAndRace() {
    ReplaySpec s;
    s.player_index = 0;
    s.player_first = "Jim";
    s.player_last = "Clark";
    DriverSpec clark = Driver("Jim", "Clark", 0);
    clark.country = 13;
    clark.season_offset = 82;
    clark.car_byte = 6;
    clark.car_data55 = 3;
    clark.car_data56 = 4;
    clark.car_data57 = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    clark.engine_index = 5;
    clark.code_byte = 0x21;
    clark.value128 = 128128;
    clark.value140 = 140140;
    DriverSpec hill = Driver("Graham", "Hill", 1);
    hill.country = 29;
    hill.car_byte = 2;
    DriverSpec brabham = Driver("Jack", "Brabham", 2);
    brabham.country = 2;
    brabham.ai = true;
    brabham.season_offset = 84;  // ignored for computer cars
    brabham.car_byte = 1;        // so is the car byte: the engine index names the car
    brabham.engine_index = 6;
    s.drivers = {clark, hill, brabham};

    s.layout = TableLayout::kPracticeThenRace;
    s.practice = {EntryFromLaps(0, 2000, {5000, 6000, 5500}, {0, kInvalid, 0}),
                  EntryFromLaps(1, 500, {6000, 6000})};
    s.race = {EntryFromLaps(0, 3000, {9000, 9000, 9470}, {kInvalid, 0, 0}),
              EntryFromLaps(1, 3100, {9500, 9600}, {kOffTrack, 0}),
              EntryFromLaps(2, 3200, {20000})};
    s.frames = fixture::SessionFrames(0, 1000, 720, 1, 24);
    auto race = fixture::SessionFrames(kRaceCode, 500, 1080, 721, 24);
    s.frames.insert(s.frames.end(), race.begin(), race.end());
    return s;
}

class DriversTest : public ::testing::Test {
protected:
    std::string Write(const ReplaySpec& spec, const std::string& name = "r.rpy") {
        return WriteBytes(fixture::BuildReplay(spec), name);
    }
    std::string WriteBytes(const std::string& bytes, const std::string& name = "r.rpy") {
        const std::string p = dir.File(name);
        fixture::WriteFile(p, bytes);
        return p;
    }
    // Loads into `d`, which the test then inspects.
    int Load(const ReplaySpec& spec) { return d.LoadReplay(Write(spec)); }

    fixture::TempDir dir;
    Drivers d;
};

TEST_F(DriversTest, ReadsTheDriverRecords) {
    ReplaySpec s = PracticeAndRace();
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.driver_count, 3);
    EXPECT_EQ(d.chunk_driver_count, 3);
    EXPECT_EQ(d.first_names[0], "Jim");
    EXPECT_EQ(d.last_names[1], "Hill");
    EXPECT_EQ(d.country_index[0], 13);
    EXPECT_EQ(d.country_codes[0], "GBR");
    EXPECT_EQ(d.country_codes[1], "VEN");
    EXPECT_EQ(d.country_codes[2], "AUS");
    EXPECT_EQ(d.season_code[0], 1967);
    EXPECT_EQ(d.car_index[0], 5);
    EXPECT_EQ(d.car_data_55[0], 2);
    EXPECT_EQ(d.car_data_56[0], 3);
    EXPECT_EQ(d.car_data_values[0], (std::array<uint8_t, 9>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(d.engine_index[0], 5u);
    EXPECT_EQ(d.driver_code[0], 0x21);
    EXPECT_EQ(d.value128[0], 128128u);
    EXPECT_EQ(d.value140[0], 140140u);
    EXPECT_EQ(d.slot[1], 1u);
    EXPECT_EQ(d.ai[0], 0);
    EXPECT_EQ(d.ai[2], 1);
    // A computer car runs the first driver's season, in the car its engine
    // index names.
    EXPECT_EQ(d.season_code[2], 1967);
    EXPECT_EQ(d.car_index[2], 6);
    EXPECT_EQ(d.player_index, 0u);
    EXPECT_EQ(d.player_name_mismatch, 0);
    EXPECT_EQ(d.path, dir.File("r.rpy"));
    EXPECT_TRUE(std::regex_match(d.file_date, std::regex(R"(\d{4} (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d\d)")))
        << d.file_date;
    EXPECT_EQ(d.records[1][12], 'G');
}

TEST_F(DriversTest, ReadsLapTimesAndTheTimingWindow) {
    ReplaySpec s = PracticeAndRace();
    ASSERT_EQ(Load(s), 0);
    const auto layout = fixture::LayoutOf(s);
    EXPECT_EQ(d.data_section_offset, layout.data_section);
    EXPECT_EQ(d.practice_present, 1);
    EXPECT_EQ(d.race_present, 1);
    EXPECT_EQ(d.first_practice_marker, 1000u);
    // The backward scan stops at the race, so the practice window is open.
    EXPECT_EQ(d.last_practice_marker, 0xFFFFFFFFu);
    EXPECT_EQ(d.last_race_marker, 30470u);
    EXPECT_EQ(d.race_session_code, kRaceCode);
    EXPECT_EQ(d.last_frame_number, 720u + 1080u);
    EXPECT_EQ(d.frame_number_read, 1);
    EXPECT_GT(d.frame_bytes_total, 1800u * 8);

    EXPECT_EQ(d.practice_lap_count[0], 3);
    EXPECT_EQ(d.practice_times[0][0], 2000u);
    EXPECT_EQ(d.practice_times[0][1], 5000u);
    EXPECT_EQ(d.practice_times[0][2], kInvalid | 6000u);
    EXPECT_EQ(d.practice_times[0][3], 5500u);
    EXPECT_EQ(d.practice_times[0][4], Drivers::kNoTime);
    // Entry 0 never; an invalid practice lap never; the others lie inside.
    EXPECT_EQ(d.practice_selectable[0][0], 0);
    EXPECT_EQ(d.practice_selectable[0][1], 1);
    EXPECT_EQ(d.practice_selectable[0][2], 0);
    EXPECT_EQ(d.practice_selectable[0][3], 1);
    // Hill's first practice lap began (500 ms) before the recording did.
    EXPECT_EQ(d.practice_selectable[1][1], 0);
    EXPECT_EQ(d.practice_selectable[1][2], 1);
    EXPECT_EQ(d.practice_lap_count[2], 0);

    EXPECT_EQ(d.race_lap_count[0], 3);
    EXPECT_EQ(d.race_times[0][0], 3000u);
    EXPECT_EQ(d.race_times[0][1], kInvalid | 9000u);
    EXPECT_EQ(d.race_times[1][1], kOffTrack | 9500u);
    // The invalid flag does not bar a race lap; a lap that ends exactly at
    // the last marker is not inside.
    EXPECT_EQ(d.race_selectable[0][1], 1);
    EXPECT_EQ(d.race_selectable[0][2], 1);
    EXPECT_EQ(d.race_selectable[0][3], 0);
    EXPECT_EQ(d.race_lap_count[2], 1);
    EXPECT_EQ(d.race_times[2][1], 20000u);
    EXPECT_EQ(d.race_selectable[2][1], 1);
}

TEST_F(DriversTest, EveryTableArrangementLoads) {
    struct Case {
        TableLayout layout;
        int practice_present, race_present;
        int practice_laps, race_laps;  // of driver 0
    } cases[] = {
        {TableLayout::kNone, 0, 0, 0, 0},
        {TableLayout::kPracticeOnly, 1, 0, 3, 0},
        {TableLayout::kPracticeThenRace, 1, 1, 3, 3},
        {TableLayout::kPracticeExtraRace, 1, 1, 3, 3},
        {TableLayout::kEmptyFirstThenRace, 0, 1, 0, 3},
    };
    for (const auto& c : cases) {
        ReplaySpec s = PracticeAndRace();
        s.layout = c.layout;
        if (c.layout == TableLayout::kPracticeOnly) s.frames = fixture::SessionFrames(0, 1000, 720, 1, 24);
        Drivers t;
        ASSERT_EQ(t.LoadReplay(Write(s)), 0) << int(c.layout);
        EXPECT_EQ(t.practice_present, c.practice_present) << int(c.layout);
        EXPECT_EQ(t.race_present, c.race_present) << int(c.layout);
        EXPECT_EQ(t.practice_lap_count[0], c.practice_laps) << int(c.layout);
        EXPECT_EQ(t.race_lap_count[0], c.race_laps) << int(c.layout);
        EXPECT_EQ(t.data_section_offset, fixture::LayoutOf(s).data_section) << int(c.layout);
    }
}

TEST_F(DriversTest, PracticeOnlyReplayKeepsItsPracticeWindow) {
    ReplaySpec s = PracticeAndRace();
    s.layout = TableLayout::kPracticeOnly;
    s.frames = fixture::SessionFrames(0, 1000, 720, 1, 24);
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.first_practice_marker, 1000u);
    EXPECT_EQ(d.last_practice_marker, 20970u);
    // Lap 3 ends at 18500, inside; nothing of the race.
    EXPECT_EQ(d.practice_selectable[0][3], 1);
    EXPECT_EQ(d.race_present, 0);
}

TEST_F(DriversTest, RaceOnlyReplayTakesItsSingleTableAsTheRace) {
    ReplaySpec s = PracticeAndRace();
    s.layout = TableLayout::kRaceOnly;
    s.practice = s.race;
    s.race.clear();
    s.frames = fixture::SessionFrames(kRaceCode, 500, 1080, 1, 24);
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.practice_present, 0);
    EXPECT_EQ(d.race_present, 1);
    EXPECT_EQ(d.first_race_marker, 500u);
    EXPECT_EQ(d.last_race_marker, 30470u);
    EXPECT_EQ(d.race_lap_count[0], 3);
    EXPECT_EQ(d.race_lap_count[1], 2);
    EXPECT_EQ(d.practice_lap_count[0], 0);
    EXPECT_EQ(d.race_times[1][2], 9600u);
    EXPECT_EQ(d.race_selectable[0][1], 1);
    EXPECT_EQ(d.race_selectable[0][3], 0);
    EXPECT_EQ(d.data_section_offset, fixture::LayoutOf(s).data_section);
}

TEST_F(DriversTest, PlayerIndexIsCorrectedByName) {
    ReplaySpec s = PracticeAndRace();
    s.player_first = "Graham";
    s.player_last = "Hill";
    s.player_index = 0;
    s.drivers.push_back(Driver("Graham", "Hill", 3));
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.player_name_mismatch, 1);
    EXPECT_EQ(d.player_index, 3u);  // the last record that matches

    Drivers out_of_range;
    s.player_index = 4000000000u;
    ASSERT_EQ(out_of_range.LoadReplay(Write(s, "far.rpy")), 0);
    EXPECT_EQ(out_of_range.player_index, 3u);

    s.player_first = "Nobody";
    Drivers nobody;
    ASSERT_EQ(nobody.LoadReplay(Write(s, "nobody.rpy")), 0);
    EXPECT_EQ(nobody.player_name_mismatch, 1);
    EXPECT_EQ(nobody.player_index, 4000000000u);
}

TEST_F(DriversTest, CarDataSpecialCases) {
    ReplaySpec s = PracticeAndRace();
    s.drivers[1].not_applicable = true;
    DriverSpec cortina = Driver("Jackie", "Stewart", 3);
    cortina.season_offset = 81;  // 1966
    cortina.car_byte = 2;        // car index 1
    DriverSpec lola = Driver("John", "Surtees", 4);
    lola.season_offset = 81;
    lola.car_byte = 3;
    DriverSpec fifties = Driver("Juan", "Fangio", 5);
    fifties.season_offset = 70;  // 1955
    DriverSpec unknown_country = Driver("No", "Where", 6);
    unknown_country.country = 30;
    DriverSpec zero_country = Driver("Zero", "Land", 7);
    zero_country.country = 0;
    s.drivers.insert(s.drivers.end(), {cortina, lola, fifties, unknown_country, zero_country});
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.season_code[1], 255);
    EXPECT_EQ(d.car_index[1], 255);
    EXPECT_EQ(d.car_data_values[1][8], 255);
    EXPECT_EQ(d.race_lap_count[1], 2);  // keeps his laps
    EXPECT_EQ(d.season_code[3], 66);
    EXPECT_EQ(d.season_code[4], 1966);
    EXPECT_EQ(d.season_code[5], 1955);
    EXPECT_EQ(d.country_codes[6], "");
    EXPECT_EQ(d.country_codes[7], "");
}

TEST_F(DriversTest, TablesAreBoundedByTwentySlotsAndOneHundredFortyNineLaps) {
    ReplaySpec s = PracticeAndRace();
    s.drivers.push_back(Driver("Far", "Slot", 25));
    s.practice.push_back(EntryFromLaps(25, 100, {5000}));
    s.race.push_back(EntryFromLaps(25, 100, {5000}));
    std::vector<uint32_t> many(200, 1000);
    s.race[0] = EntryFromLaps(0, 3000, many);
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.race_lap_count[0], 149);
    EXPECT_EQ(d.race_times[0][149], 1000u);
    EXPECT_EQ(d.practice_lap_count[3], 0);
    EXPECT_EQ(d.race_lap_count[3], 0);
    EXPECT_EQ(d.race_times[3][0], Drivers::kNoTime);
}

// A lone driver who ran on past the table's 149 laps: the laps beyond are
// left out, the replay is not refused.
TEST_F(DriversTest, ALoneDriverPastTheTablesLapsLoadsWith149) {
    for (const size_t laps : {size_t{150}, size_t{300}}) {
        SCOPED_TRACE(laps);
        ReplaySpec s = PracticeAndRace();
        s.drivers.resize(1);
        s.practice = {EntryFromLaps(0, 2000, std::vector<uint32_t>(laps, 5000))};
        s.race = {EntryFromLaps(0, 3000, std::vector<uint32_t>(laps, 9000))};
        Drivers loaded;
        ASSERT_EQ(loaded.LoadReplay(Write(s, "lone" + std::to_string(laps) + ".rpy")), 0);
        EXPECT_EQ(loaded.driver_count, 1);
        EXPECT_EQ(loaded.practice_lap_count[0], 149);
        EXPECT_EQ(loaded.race_lap_count[0], 149);
        EXPECT_EQ(loaded.race_times[0][149], 9000u);
    }
}

TEST_F(DriversTest, ReplayOfThisProgramKeepsNoFrameNumber) {
    ReplaySpec s = PracticeAndRace();
    s.drivers[0].first_name = "ZAVRO";
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.frame_number_read, 1);
    EXPECT_EQ(d.last_frame_number, 0u);
}

TEST_F(DriversTest, MarkerOfClockZeroCountsAsFound) {
    ReplaySpec s = PracticeAndRace();
    s.layout = TableLayout::kRaceOnly;
    s.practice = s.race;
    s.race.clear();
    s.frames = fixture::SessionFrames(kRaceCode, 0, 1080, 1, 0);
    ASSERT_EQ(Load(s), 0);
    EXPECT_EQ(d.first_race_marker, 0u);
    EXPECT_EQ(d.race_present, 1);
}

TEST(DriversParse, OpenFailures) {
    fixture::TempDir dir;
    Drivers d;
    EXPECT_EQ(d.ParseReplayFile(dir.File("missing.rpy")), -1);
    fixture::WriteFile(dir.File("empty.rpy"), "");
    EXPECT_EQ(d.ParseReplayFile(dir.File("empty.rpy")), -2);
    Drivers l;
    EXPECT_EQ(l.LoadReplay(dir.File("missing.rpy")), 3);
    EXPECT_EQ(l.driver_count, -1);
    EXPECT_EQ(l.LoadReplay(dir.File("empty.rpy")), 3);
}

// Damaged files: each must end with failure 3 and a driver count of -1,
// without reading outside the file or looping.
TEST_F(DriversTest, DamagedFilesFailCleanly) {
    struct Case {
        const char* what;
        std::function<void(ReplaySpec&)> damage;
    } cases[] = {
        {"unknown record type after the first marker",
         [](ReplaySpec& s) { s.frames[0].records.push_back(fixture::Record{5, 8, std::string(4, '\0')}); }},
        {"unknown record type in the last block",
         [](ReplaySpec& s) { s.frames.back().records.push_back(fixture::Record{17, 8, std::string(4, '\0')}); }},
        {"record length below its header",
         [](ReplaySpec& s) { s.frames.back().records.push_back(fixture::Record{4, 0, ""}); }},
        {"record running past its block",
         [](ReplaySpec& s) { s.frames.back().records.push_back(fixture::Record{4, 64, std::string(4, '\0')}); }},
        {"more than twenty drivers",
         [](ReplaySpec& s) {
             for (uint32_t i = 3; i < 21; ++i) s.drivers.push_back(Driver("A", "B", i));
         }},
        {"forward block size below 8", [](ReplaySpec& s) { s.frames[0].size_override = 4; }},
        {"last block size below 8", [](ReplaySpec& s) { s.last_block_size = 0; }},
        {"last block size that is not the last block's", [](ReplaySpec& s) { s.last_block_size = 0xFFFF; }},
        {"previous-block size below 8",
         [](ReplaySpec& s) {
             fixture::FrameBlock plain;
             plain.records.push_back(fixture::Filler(4, 8));
             plain.prev_size_override = 0;
             s.frames.push_back(plain);
         }},
        {"previous-block size before the data section",
         [](ReplaySpec& s) {
             fixture::FrameBlock plain;
             plain.records.push_back(fixture::Filler(4, 8));
             plain.prev_size_override = 60000;
             s.frames = {s.frames[0], plain};
         }},
        {"lap entry longer than its table",
         [](ReplaySpec& s) { s.practice[1].length_override = 100000; }},
        {"lap entry shorter than slot and start time", [](ReplaySpec& s) { s.race[0].length_override = 4; }},
    };
    for (const auto& c : cases) {
        ReplaySpec s = PracticeAndRace();
        c.damage(s);
        Drivers t;
        EXPECT_EQ(t.LoadReplay(Write(s)), 3) << c.what;
        EXPECT_EQ(t.driver_count, -1) << c.what;
    }
}

TEST_F(DriversTest, TruncatedFilesNeverCrash) {
    const std::string whole = fixture::BuildReplay(PracticeAndRace());
    const auto layout = fixture::LayoutOf(PracticeAndRace());
    for (size_t len : {size_t{0}, size_t{100}, size_t{296}, size_t{307}, size_t{400}, size_t{layout.data_section},
                       size_t{layout.data_section} + 12, size_t{layout.data_section} + 500, whole.size() - 1}) {
        Drivers t;
        EXPECT_EQ(t.LoadReplay(WriteBytes(whole.substr(0, len))), 3) << len;
    }
}

}  // namespace
