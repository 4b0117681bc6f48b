#include "records/lap_finder_model.h"

#include <gtest/gtest.h>

#include "replay/drivers.h"
#include "replay/header.h"
#include "support/catalogue_fixture.h"
#include "support/fake_media_drives.h"
#include "support/recording_interaction.h"
#include "support/session_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Model = LapFinderModel;

class LapFinderTest : public ::testing::Test {
protected:
    fs::path WriteReplay(const fs::path& path, const std::vector<fixture::DriverLaps>& drivers,
                         const std::string& track = "monza") {
        fs::create_directories(path.parent_path());
        fixture::WriteFile(path, fixture::BuildReplay(fixture::SessionReplay(drivers, true, true, track)));
        return path;
    }
    fixture::DriverLaps Driver(const std::string& first, const std::string& last, uint32_t slot,
                               std::vector<uint32_t> practice, std::vector<uint32_t> race, bool ai = false) {
        fixture::DriverLaps d{fixture::NamedDriver(first, last, slot)};
        d.driver.ai = ai;
        d.practice_start = 2000;
        d.practice_laps = std::move(practice);
        d.race_start = 2500;
        d.race_laps = std::move(race);
        return d;
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int r = 0; r < model.RowCount(); ++r) texts.push_back(model.Text(r, column));
        return texts;
    }
    fixture::TempDir dir;
    fs::path qel = dir.path() / "QEL";
    fs::path alt = dir.path() / "alt";
    fixture::FakeMediaDrives media;
    fixture::RecordingInteraction ui;
    Model model{{qel.string(), alt.string(), false}, media, ui};
};

TEST_F(LapFinderTest, OneDriverReplayListsPracticeAsTrainingThenRaceInLapOrder) {
    WriteReplay(qel / "replay" / "solo.rpy", {Driver("Jim", "Clark", 0, {95200, 93100}, {98000, 93500})});
    WriteReplay(qel / "replay" / "other.rpy", {Driver("Jim", "Clark", 0, {90000}, {90000})}, "spa");
    fs::create_directories(qel / "replay" / "ZAVRO_CDDB");
    fixture::WriteFile(qel / "replay" / "broken.rpy", "not a replay");
    model.Scan("monza");
    EXPECT_EQ(Column(Model::kSession), (std::vector<std::string>{"Training", "Training", "Race", "Race"}));
    EXPECT_EQ(Column(Model::kLapTime), (std::vector<std::string>{"1m 35.200s", "1m 33.100s", "1m 38.000s", "1m 33.500s"}));
    EXPECT_EQ(model.Text(0, Model::kDriverName), "Jim Clark");
    EXPECT_EQ(model.Text(0, Model::kReplayFile), "solo.rpy");
    EXPECT_EQ(model.Label(0), "NA");
    EXPECT_EQ(model.RowCountText(), "4");
    EXPECT_EQ(model.StatusText(), "Total number of replay files scanned was 3, out of which 0 were taken from "
                                  "Replay CD databases.");
    ASSERT_EQ(model.Damaged().size(), 1u);
    // A filter change works on what the scan read: nothing is read or
    // reported again.
    fs::remove(qel / "replay" / "solo.rpy");
    model.SetFilter(Model::Filter::kAllLaps, 0);
    EXPECT_EQ(model.RowCount(), 4);
    EXPECT_EQ(model.TableText().substr(0, model.TableText().find('\n') + 1), "Driver Name\tLap time\tTeam\tClass\tSession\tFiledate\tReplay file\n");
}

TEST_F(LapFinderTest, FiltersAndTypedSortsOverOneScan) {
    WriteReplay(qel / "replay" / "gp.rpy", {Driver("Jim", "Clark", 0, {600000}, {59000}),
                                            Driver("jack", "Brabham", 1, {599000}, {61000}, true),
                                            Driver("Graham", "Hill", 2, {}, {95000})});
    model.Scan("monza");
    EXPECT_EQ(model.RowCount(), 2) << "only the local driver's laps at first";
    model.SetFilter(Model::Filter::kNoAILaps, 0);
    EXPECT_EQ(model.RowCount(), 3);
    model.SetFilter(Model::Filter::kAllLaps, 0);
    ASSERT_EQ(model.RowCount(), 5);
    ASSERT_TRUE(model.Sort(Model::kByLaptime));
    EXPECT_FALSE(model.Sort(Model::kByLaptime)) << "the same sort twice sorts once";
    // Times compare as times: 9m 59.000s comes before 10m 00.000s.
    EXPECT_EQ(Column(Model::kLapTime), (std::vector<std::string>{"0m 59.000s", "1m 01.000s", "1m 35.000s",
                                                                  "9m 59.000s", "10m 00.000s"}));
    ASSERT_TRUE(model.Sort(Model::kByDriver));
    EXPECT_EQ(model.Text(0, Model::kDriverName), "Graham Hill");
    EXPECT_EQ(model.Text(1, Model::kDriverName), "jack Brabham") << "names compare without regard to case";
    EXPECT_EQ(model.Text(1, Model::kLapTime), "1m 01.000s") << "equal names keep their order";
    EXPECT_EQ(Model::SortForColumn(7), Model::kUnsorted);
    model.SetFilter(Model::Filter::kAllLaps, 2);  // 1969 only
    EXPECT_EQ(model.RowCount(), 0);
}

TEST_F(LapFinderTest, AFolderOfManyReplaysListsThemInFileOrder) {
    // Enough replays for several read batches, with damaged files and
    // other tracks among them.
    std::vector<std::string> expected, damaged;
    for (int i = 0; i < 100; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "r%03d.rpy", i);
        if (i % 7 == 3) {
            fixture::WriteFile(qel / "replay" / name, "damaged");
            damaged.push_back((qel / "replay" / name).string());
        } else if (i % 5 == 1) {
            WriteReplay(qel / "replay" / name, {Driver("Jim", "Clark", 0, {90000}, {})}, "spa");
        } else {
            WriteReplay(qel / "replay" / name, {Driver("Jim", "Clark", 0, {90000 + 10u * i}, {})});
            expected.push_back(name);
        }
    }
    model.Scan("monza");
    EXPECT_EQ(Column(Model::kReplayFile), expected);
    EXPECT_EQ(model.Damaged(), damaged);
    EXPECT_EQ(model.Text(5, Model::kReplayFile), "r008.rpy");
    EXPECT_EQ(model.Text(5, Model::kLapTime), "1m 30.080s") << "each row keeps its own replay's lap";
}

TEST_F(LapFinderTest, TooManyLapsOrNoneSelectedLoadNothing) {
    WriteReplay(qel / "replay" / "solo.rpy", {Driver("Jim", "Clark", 0, {95200, 93100}, {98000, 93500})});
    model.Scan("monza");
    int added = 0;
    auto add = [&](const std::string&, int, int, int) { return ++added > 0; };
    EXPECT_FALSE(model.OnOK({0, 1, 2}, 3, 5, add));
    EXPECT_FALSE(model.OnOK({}, 0, 5, add));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Too many laps selected!", "Choose a lap to view!"}));
    EXPECT_EQ(ui.titles[1], "No lap choosen!");
    EXPECT_EQ(added, 0);
}

TEST_F(LapFinderTest, RowsLoadFromTheFolderTheyWereFoundIn) {
    WriteReplay(qel / "replay" / "same.rpy", {Driver("Jim", "Clark", 0, {95200}, {})}, "spa");
    WriteReplay(alt / "same.rpy", {Driver("Jim", "Clark", 0, {95200, 93100}, {98000})});
    model.Scan("monza");
    ASSERT_EQ(model.RowCount(), 3);
    std::vector<std::tuple<std::string, int, int, int>> laps;
    ASSERT_TRUE(model.OnOK({1, 2}, 0, 5, [&](const std::string& p, int s, int d, int l) {
        laps.emplace_back(p, s, d, l);
        return true;
    }));
    const std::string path = (alt / "same.rpy").string();
    EXPECT_EQ(laps, (std::vector<std::tuple<std::string, int, int, int>>{{path, 0, 0, 2}, {path, 1, 0, 1}}));
}

TEST_F(LapFinderTest, TheCDIsAskedForOnlyWhenItsLabelChanges) {
    const fs::path replay = WriteReplay(dir.path() / "cd.rpy", {Driver("Jim", "Clark", 0, {95200, 93100}, {})});
    Header h;
    Drivers d;
    ASSERT_EQ(h.Load(replay.string()), 0);
    ASSERT_EQ(d.LoadReplay(replay.string()), 0);
    const fixture::CatalogueRecordSpec record{"races\\CD.RPY", fixture::HeaderCatalogueRecord(h, 4),
                                              fixture::DriversCatalogueRecord(d, 4)};
    fs::create_directories(qel / "replay" / "ZAVRO_CDDB");
    fixture::WriteFile(qel / "replay" / "ZAVRO_CDDB" / "cd:one.rdb",
                       fixture::CatalogueFile(4, "GP67 [CDFS]", 1, {record}));
    WriteReplay(qel / "replay" / "disk.rpy", {Driver("Jim", "Clark", 0, {91000}, {})});
    model.Scan("monza");
    ASSERT_EQ(model.RowCount(), 3);
    ASSERT_EQ(model.Text(1, Model::kReplayFile), "cd:one:races\\CD.RPY");
    EXPECT_EQ(model.Label(1), "GP67 [CDFS]");
    EXPECT_EQ(model.CatalogueRecordCount(), 1);

    const fs::path root = dir.path() / "media";
    fs::create_directories(root / "races");
    fixture::WriteFile(root / "races" / "cd.rpy", "x");
    std::string path;
    ui.answers = {true, false};
    EXPECT_FALSE(model.ResolveLapFile(1, path)) << "no drive holds the CD";
    EXPECT_EQ(ui.questions, (std::vector<std::string>{
                                "The replay file races\\CD.RPY is stored on the CD cd:one.\r\n(Actual CD label is "
                                "GP67 [CDFS])\r\nThis CD must be inserted now to load the replay.\r\n\r\nDo you "
                                "want to continue?",
                                "Can't find the CD with label: GP67 [CDFS]! Try again?"}));
    media.Add(root.string(), MediaDrives::Kind::kOptical, "GP67", "CDFS");
    ui.questions.clear();
    ui.answers = {true};
    ASSERT_TRUE(model.ResolveLapFile(1, path));
    EXPECT_EQ(path, (root / "races" / "cd.rpy").string());
    EXPECT_EQ(ui.questions.size(), 1u);
    ASSERT_TRUE(model.ResolveLapFile(2, path));
    EXPECT_EQ(ui.questions.size(), 1u) << "the label confirmed last is not asked for again";
    ASSERT_TRUE(model.ResolveLapFile(0, path));
    ui.answers = {true};
    ASSERT_TRUE(model.ResolveLapFile(1, path));
    EXPECT_EQ(ui.questions.size(), 2u) << "after a row from disk the CD is asked for again";
}

}  // namespace
