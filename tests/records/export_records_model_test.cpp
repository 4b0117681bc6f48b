// The records model: profile times, the one pass over replays and
// catalogues, rows of season events and other tracks, and the faults of
// the profile and merge rules that are mended.

#include "records/export_records_model.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "records_scenario.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "support/catalogue_fixture.h"
#include "support/ini_fixture.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using records_scenario::Laps;
using records_scenario::WriteReplay;
using records_scenario::WriteText;

namespace {

constexpr uint32_t kNone = BestLapCell::kNoTime;

TEST(ParseIniTime, ReadsSecondsAndTenThousandths) {
    const struct {
        const char* text;
        std::optional<uint32_t> ms;
    } cases[] = {
        {"1 83.1234", 83123u}, {"1 83.1235", 83124u}, {"1 83.5", 83500u},    {"12 83.12", 83120u},
        {"1 81.25", 81250u},   {"1 0.0004", 0u},      {"1 83.12345", 83123u}, {"83.1234", std::nullopt},
        {"1 83", std::nullopt}, {"1 .5", std::nullopt}, {"1 x3.5", std::nullopt}, {"1 99999.0", std::nullopt},
        {"default", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ExportRecordsModel::ParseIniTime(c.text), c.ms) << c.text;
}

TEST(CleanName, CutsCommentsAndTrailingBlanks) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{";Jim", ""}, {"Jim;x", "Jim"}, {"J;im", "J;im"}, {"Clark  ;c", "Clark"}, {"Clark  ", "Clark"}};
    for (const auto& c : cases) EXPECT_EQ(ExportRecordsModel::CleanName(c.in), c.out) << c.in;
}

class RecordsRun : public testing::Test {
protected:
    RecordsRun() {
        records_scenario::Write(dir_.path());
        options_.simulator_folder = dir_.path().string();
    }
    // Index of Jim Clark's folder: folders are in name order.
    ExportRecordsModel::Result Run(int driver = 1) { return model_.Run(driver, options_, ui_); }
    int RowOf(const std::string& directory) const {
        for (int r = 0; r < model_.GetNumTracks(); ++r)
            if (model_.GetTrackDirectory(r) == directory) return r;
        return -1;
    }

    fixture::TempDir dir_;
    ExportRecordsModel::Options options_;
    ExportRecordsModel model_;
    fixture::RecordingInteraction ui_;
};

TEST_F(RecordsRun, RowsAreSeasonEventsThenOtherTracksWithTheirNames) {
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    EXPECT_EQ(model_.GetDriverName(), "Jim Clark");
    EXPECT_EQ(model_.GetNumCars(), 7);
    const struct {
        const char* directory;
        const char* short_name;
        const char* long_name;
    } rows[] = {
        {"monaco", "Monaco", "Grand Prix de Monaco"},
        {"spa", "Spa", "Spa-Francorchamps"},
        {"monza", "Monza", "Autodromo Nazionale"},
        {"imola", "imola", "NotInstalledTrack imola"},
        // Known by eight characters only, so its replay finds no row.
        {"nurburgr", "nurburgr", "NotInstalledTrack nurburgr"},
    };
    ASSERT_EQ(model_.GetNumTracks(), 5);
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(model_.GetTrackDirectory(r), rows[r].directory);
        EXPECT_EQ(model_.GetTrackShortName(r), rows[r].short_name);
        EXPECT_EQ(model_.GetTrackName(r), rows[r].long_name);
    }
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(RecordsRun, TimesComeFromProfileAndReplaysByKindOfSession) {
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    const struct {
        const char* directory;
        int car;
        uint32_t training, practice, race;
    } cells[] = {
        // "[ monaco ]" read through the repair; the replay's 82 s training
        // does not count, replays are not scanned for a track it holds.
        {"monaco", 0, 83123, 83124, kNone},
        {"monaco", 5, kNone, kNone, 83500},
        {"monaco", 4, kNone, kNone, 81250},
        // Two drivers: practice, never training. Invalid and timeless laps skipped.
        {"spa", 1, kNone, 125000, 128000},
        {"spa", 2, kNone, kNone, kNone},  // Graham Hill's car
        {"imola", 3, 95000, kNone, 96000},  // alone: training
        {"nurburgr", 3, kNone, kNone, kNone},
    };
    for (const auto& c : cells) {
        const int row = RowOf(c.directory);
        ASSERT_GE(row, 0) << c.directory;
        EXPECT_EQ(model_.GetTrainingTime(c.car, row), c.training) << c.directory << " car " << c.car;
        EXPECT_EQ(model_.GetPracticeTime(c.car, row), c.practice) << c.directory << " car " << c.car;
        EXPECT_EQ(model_.GetRaceTime(c.car, row), c.race) << c.directory << " car " << c.car;
    }
}

TEST_F(RecordsRun, ScanningReplaysImprovesProfileTimes) {
    options_.scan_replays = true;
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    const int monaco = RowOf("monaco");
    EXPECT_EQ(model_.GetTrainingTime(5, monaco), 82000u);  // alone in the replay: training
    EXPECT_EQ(model_.GetRaceTime(5, monaco), 83500u);
    EXPECT_EQ(model_.GetOverallBestTime(5, monaco), 82000u);
}

TEST_F(RecordsRun, TiesGoToTheLowerCarColumnAndEmptyRowsLeaveTheCar) {
    WriteReplay(dir_.path() / "replay" / "e_imola.rpy", {Laps("Jim", "Clark", 0, 1, {}, {96000})}, "imola", false,
                true);
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    int car = -1;
    EXPECT_EQ(model_.FindBestRace(RowOf("imola"), car), 96000u);
    EXPECT_EQ(car, 1);
    car = 42;
    EXPECT_EQ(model_.FindBestPractice(RowOf("imola"), car), kNone);
    EXPECT_EQ(car, 42);
    EXPECT_EQ(model_.FindBestOverall(RowOf("monaco"), car), 81250u);
    EXPECT_EQ(car, 4);
}

TEST_F(RecordsRun, OnlyTheDriversOwnCarsOfTheSeasonCount) {
    auto unknown_car = Laps("Jim", "Clark", 0, 0, {50000}, {50000});
    unknown_car.driver.not_applicable = true;  // car index 255
    auto beyond_table = Laps("Jim", "Clark", 1, 9, {50000}, {50000});
    auto other_season = Laps("Jim", "Clark", 2, 0, {50000}, {50000});
    other_season.driver.season_offset = 84;  // 1969
    auto other_name = Laps("Jim", "Clarke", 3, 0, {50000}, {50000});
    WriteReplay(dir_.path() / "replay" / "f_monza.rpy", {unknown_car, beyond_table, other_season, other_name},
                "monza");
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    const int monza = RowOf("monza");
    for (int car = 0; car < 7; ++car) EXPECT_EQ(model_.GetOverallBestTime(car, monza), kNone) << car;
}

TEST_F(RecordsRun, CompleteLapsOnlyLeavesOutLapsOutsideTheRecording) {
    // The recording of practice ends at 100 s, inside lap 2 (93 s to 173 s).
    auto spec = fixture::SessionReplay(
        {Laps("Jim", "Clark", 0, 2, {90000, 80000}, {}), Laps("Graham", "Hill", 1, 0, {90000}, {})}, true, false,
        "monza");
    spec.frames[1].records[0] = fixture::Marker(0, 100000);
    WriteText(dir_.path() / "replay" / "g_monza.rpy", fixture::BuildReplay(spec));
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    EXPECT_EQ(model_.GetPracticeTime(2, RowOf("monza")), 80000u);
    options_.complete_laps_only = true;
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    EXPECT_EQ(model_.GetPracticeTime(2, RowOf("monza")), 90000u);
}

TEST_F(RecordsRun, ReplaysInSeveralFoldersAndCataloguesGiveOneRow) {
    const fs::path alt = dir_.path() / "elsewhere";
    WriteReplay(alt / "imola2.RPY", {Laps("Jim", "Clark", 0, 3, {94000}, {})}, "imola", true, false);
    options_.alt_replay_folder = alt.string();
    // A catalogue holding a replay of imola with a faster race.
    const fs::path source = dir_.path() / "cd" / "imola3.rpy";
    WriteReplay(source, {Laps("Jim", "Clark", 0, 3, {}, {93000})}, "imola", false, true);
    Header h;
    ASSERT_EQ(h.Load(source.string()), 0);
    auto d = std::make_unique<Drivers>();
    ASSERT_EQ(d->LoadReplay(source.string()), 0);
    WriteText(dir_.path() / "replay" / "ZAVRO_CDDB" / "cd1.rdb",
              fixture::CatalogueFile(4, "CD1 [CDFS]", 1,
                                     {{"\\imola3.rpy", fixture::HeaderCatalogueRecord(h, 4),
                                       fixture::DriversCatalogueRecord(*d, 4)}}));
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    EXPECT_EQ(model_.GetNumTracks(), 5);
    const int imola = RowOf("imola");
    EXPECT_EQ(model_.GetTrainingTime(3, imola), 94000u);
    EXPECT_EQ(model_.GetRaceTime(3, imola), 93000u);
}

TEST_F(RecordsRun, SeasonTracksAreFoundWithoutRegardToCaseAndNotInComments) {
    WriteText(dir_.path() / "seasons" / "67season.ini",
              fixture::IniText()
                  .Section("Season")
                  .Key("NUMEVENTS", "2")
                  .Section("Event1")
                  .Comment("trackDirectory=imola")
                  .Key("TRACKDIRECTORY", "Monaco")
                  .Section("Event2")
                  .Key("trackDirectory", "  spa")
                  .Build());
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    ASSERT_EQ(model_.GetNumTracks(), 4);
    EXPECT_EQ(model_.GetTrackDirectory(0), "monaco");
    EXPECT_EQ(model_.GetTrackDirectory(1), "spa");
    EXPECT_EQ(model_.GetTrackDirectory(2), "imola");
}

TEST_F(RecordsRun, MissingTrackIniStopsTheEventRowsOnly) {
    fs::remove_all(dir_.path() / "tracks" / "spa");
    ASSERT_EQ(Run(), ExportRecordsModel::Result::kDone);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].rfind("Track.ini or entire track seems to be missing in the tracks directory: spa\n\r", 0),
              0u);
    ASSERT_EQ(model_.GetNumTracks(), 5);
    EXPECT_EQ(model_.GetTrackShortName(0), "Monaco");
    EXPECT_EQ(model_.GetTrackDirectory(1), "");
    EXPECT_EQ(model_.GetTrackDirectory(2), "");
    EXPECT_EQ(model_.GetRaceTime(3, 3), 96000u);  // imola still filled
}

TEST_F(RecordsRun, DriverListAndRunCountTheSameFolders) {
    // A player.ini that is a folder cannot be read: that driver is neither
    // listed nor counted by the run.
    fs::create_directories(dir_.path() / "players" / "Bruce_McLaren" / "player.ini");
    const auto list = ExportRecordsModel::DriverList(options_.simulator_folder);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], "1. Graham Hill");
    EXPECT_EQ(list[1], "2. Jim Clark");
    ASSERT_EQ(Run(1), ExportRecordsModel::Result::kDone);
    EXPECT_EQ(model_.GetDriverName(), "Jim Clark");
    // The profile is read, never copied beside itself.
    EXPECT_FALSE(fs::exists(dir_.path() / "players" / "Jim_Clark" / "player.ini.ZAVRO"));
}

TEST_F(RecordsRun, UnreadableProfileEndsTheRunWithItsMessage) {
    options_.season_code = 1969;  // plac69.ini is missing
    EXPECT_EQ(Run(), ExportRecordsModel::Result::kProfileMissing);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Can't open " + (dir_.path() / "players" / "Jim_Clark" / "plac69.ini").string() +
                                   ", aborting");
    EXPECT_EQ(model_.GetNumTracks(), 0);
}

TEST_F(RecordsRun, ProgressCanCancel) {
    int calls = 0;
    const auto result = model_.Run(1, options_, ui_, [&](int done, int total) {
        EXPECT_LE(done, total);
        return ++calls < 3;
    });
    EXPECT_EQ(result, ExportRecordsModel::Result::kCancelled);
    EXPECT_EQ(model_.GetNumTracks(), 0);
}

}  // namespace
