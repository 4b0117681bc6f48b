#include "records/track_organiser_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "settings/ini_file.h"
#include "support/ini_fixture.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Model = TrackOrganiserModel;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class TrackOrganiserTest : public ::testing::Test {
protected:
    fs::path Write(int events) {
        fixture::SeasonSpec spec;
        for (int k = 1; k <= events; ++k) {
            fixture::SeasonEventSpec e;
            e.track_directory = "track" + std::to_string(k);
            e.name = "Event number " + std::to_string(k);
            spec.events.push_back(e);
        }
        spec.events[0].extra = {{"weather", "rain"}};
        spec.events[1].omit = {"day"};
        spec.events[1].name = std::string(150, 'N');
        return fixture::WriteSeasonFile(qel, spec);
    }
    IniFile Reread() {
        IniFile ini;
        EXPECT_TRUE(ini.Load(qel / "seasons" / "67season.ini"));
        return ini;
    }
    fixture::TempDir dir;
    fs::path qel = dir.path() / "QEL";
    fixture::RecordingInteraction ui;
    Model model{qel.string(), ui};
};

TEST_F(TrackOrganiserTest, TwelveEventsCutToTenDeleteTheLastSectionsAndKeepABackup) {
    const fs::path file = Write(12);
    const std::string before = Slurp(file);
    model.LoadSeason();
    ASSERT_EQ(model.RowCount(), 12);
    EXPECT_EQ(model.CountText(), "12");
    ui.answers = {true, true};
    model.OnRemove({11});
    model.OnRemove({10});
    EXPECT_EQ(model.CountText(), "10");
    EXPECT_TRUE(model.ChangesNotExported());
    ASSERT_TRUE(model.ExportSeason());
    EXPECT_EQ(ui.messages.back(),
              "New track order saved.\r\nA backup of your previous '67season.ini'\r\nhas been saved as '67season.old'.");
    IniFile ini = Reread();
    EXPECT_EQ(ini.GetString("Season", "numEvents", "?"), "10");
    EXPECT_FALSE(ini.Find("Event11", "name"));
    EXPECT_FALSE(ini.Find("Event12", "name"));
    EXPECT_EQ(ini.GetString("Event10", "trackDirectory", "?"), "track10");
    EXPECT_EQ(Slurp(qel / "seasons" / "67season.old"), before);
    EXPECT_TRUE(model.OnCancel()) << "nothing left to ask about";
    EXPECT_EQ(ui.questions.size(), 2u);
}

TEST_F(TrackOrganiserTest, ReorderedEventsTakeTheirWholeSectionAlong) {
    Write(3);
    model.LoadSeason();
    EXPECT_EQ(model.CellText(1, Model::kDay), "default");
    EXPECT_EQ(model.CellText(1, Model::kName).size(), 150u) << "long values are kept whole";
    EXPECT_EQ(model.MoveRows({0}, 3), 2);
    EXPECT_TRUE(model.RowsMoved());
    EXPECT_EQ(model.CellText(0, Model::kTrackDir), "track2");
    ui.answers = {false};
    EXPECT_FALSE(model.OnCancel()) << "closing after a move asks";
    ASSERT_TRUE(model.ExportSeason());
    IniFile ini = Reread();
    EXPECT_EQ(ini.GetString("Event3", "trackDirectory", "?"), "track1");
    EXPECT_EQ(ini.GetString("Event3", "weather", "?"), "rain") << "unknown keys move with their event";
    EXPECT_FALSE(ini.Find("Event1", "weather"));
    EXPECT_EQ(ini.GetString("Event1", "name", "?"), std::string(150, 'N'));
    EXPECT_FALSE(ini.Find("Event1", "day")) << "a missing key is not written as \"default\"";
    EXPECT_TRUE(model.OnCancel());
}

TEST_F(TrackOrganiserTest, EditAndAddKeepMissingKeysMissingUnlessChanged) {
    Write(2);
    model.LoadSeason();
    model.OnEdit({}, {});
    model.OnEdit({0, 1}, {});
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Choose a track to edit!", "Select only ONE track when editing!"}));
    EXPECT_EQ(ui.titles[0], "No track choosen!");
    model.OnEdit({1}, [](Model::Cells& c) {
        c[Model::kLaps] = "12";
        return true;
    });
    ui.answers = {true};
    model.OnAdd([](Model::Cells& c) {
        c = {"Long", "Short", "newdir", "40", "7", "3", "1"};
        return true;
    });
    EXPECT_EQ(model.CountText(), "3");
    ASSERT_TRUE(model.ExportSeason());
    IniFile ini = Reread();
    EXPECT_EQ(ini.GetString("Event2", "numberOfLaps", "?"), "12");
    EXPECT_FALSE(ini.Find("Event2", "day"));
    EXPECT_EQ(ini.GetString("Event3", "trackDirectory", "?"), "newdir");
    EXPECT_EQ(ini.GetString("Event3", "month", "?"), "7");
    EXPECT_EQ(ini.GetString("Season", "numEvents", "?"), "3");
}

TEST_F(TrackOrganiserTest, MissingSeasonShowsDefaultAndExportWritesANewFile) {
    model.LoadSeason();
    EXPECT_EQ(model.RowCount(), 0);
    EXPECT_EQ(model.CountText(), "default");
    fs::create_directories(qel / "seasons");
    ASSERT_TRUE(model.ExportSeason());
    EXPECT_EQ(Reread().GetString("Season", "NumEvents", "?"), "0");
    EXPECT_FALSE(fs::exists(qel / "seasons" / "67season.old"));
}

TEST_F(TrackOrganiserTest, AFailedBackupIsReportedAndTheSeasonStaysAsItWas) {
    const fs::path file = Write(3);
    const std::string before = Slurp(file);
    fs::create_directories(qel / "seasons" / "67season.old");
    model.LoadSeason();
    ui.answers = {true};
    model.OnRemove({0});
    EXPECT_FALSE(model.ExportSeason());
    EXPECT_NE(ui.messages.back().find("Could not save the backup"), std::string::npos);
    EXPECT_EQ(Slurp(file), before);
    EXPECT_TRUE(model.ChangesNotExported());
}

TEST_F(TrackOrganiserTest, TheSimulatorsLimitIsFlaggedNotEnforced) {
    Write(65);
    model.LoadSeason();
    EXPECT_EQ(model.RowCount(), 65);
    EXPECT_TRUE(model.OverSimulatorLimit());
    ui.answers = {true};
    model.OnRemove({64});
    EXPECT_FALSE(model.OverSimulatorLimit());
}

TEST(TrackOrganiserDates, MonthsAndDaysTheCalendarHas) {
    const struct {
        const char* month;
        const char* day;
        const char* problem;
    } cases[] = {
        {"6", "30", ""},
        {"2", "29", ""},
        {"12", "31", ""},
        {"", "", ""},
        {"default", "default", ""},
        {"13", "1", "Month must be a number from 1 to 12."},
        {"0", "1", "Month must be a number from 1 to 12."},
        {"June", "1", "Month must be a number from 1 to 12."},
        {"6 ", "1", "Month must be a number from 1 to 12."},
        {"6", "31", "Day must be a number from 1 to 30."},
        {"2", "30", "Day must be a number from 1 to 29."},
        {"", "32", "Day must be a number from 1 to 31."},
        {"1", "-1", "Day must be a number from 1 to 31."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrackOrganiserModel::DateProblem(c.month, c.day), c.problem) << c.month << "/" << c.day;

    // A part left as the season file gave it is not judged; a typed day is
    // judged by the month when the month is a month.
    struct Kept {
        const char* month;
        const char* day;
        bool month_typed, day_typed;
        const char* problem;
    } kept[] = {
        {" 6", "0", false, false, ""},
        {"0", "31", false, true, ""},
        {"13", "1", false, true, ""},
        {"2", "30", false, true, "Day must be a number from 1 to 29."},
        {" 6", "40", false, true, "Day must be a number from 1 to 31."},
        {"6", "0", true, false, ""},
        {"13", "0", true, false, "Month must be a number from 1 to 12."},
    };
    for (const auto& c : kept)
        EXPECT_EQ(TrackOrganiserModel::DateProblem(c.month, c.day, c.month_typed, c.day_typed), c.problem)
            << c.month << "/" << c.day;
}

}  // namespace
