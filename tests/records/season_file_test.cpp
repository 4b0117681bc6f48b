#include "records/season_file.h"

#include <gtest/gtest.h>

#include "support/ini_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

fixture::SeasonEventSpec Event(const std::string& dir, const std::string& name) {
    fixture::SeasonEventSpec e;
    e.track_directory = dir;
    e.name = name;
    e.shortname = name.substr(0, 6);
    return e;
}

class SeasonFileTest : public ::testing::Test {
protected:
    SeasonFile Written(const fixture::SeasonSpec& spec, const std::string& relative = "seasons/67season.ini") {
        fixture::WriteSeasonFile(qel, spec, relative);
        SeasonFile season;
        EXPECT_TRUE(season.Load(SeasonFile::PathIn(qel)));
        return season;
    }
    fixture::TempDir dir;
    fs::path qel = dir.path() / "QEL";
};

TEST_F(SeasonFileTest, ReadsEventsInSeasonOrder) {
    fixture::SeasonSpec spec;
    spec.events = {Event("monaco", "Grand Prix de Monaco"), Event("zandvoort", "Grote Prijs van Nederland"),
                   Event("spa", "Grand Prix de Belgique")};
    spec.events[1].number_of_laps = "90";
    spec.events[1].day = "4";
    spec.events[1].month = "6";
    spec.events[1].starting_grid = "2";
    spec.events[1].extra = {{"weather", "rain"}};
    const SeasonFile season = Written(spec);
    EXPECT_EQ(season.NumEventsText(), "3");
    ASSERT_EQ(season.EventCount(), 3);
    const auto events = season.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].track_directory, "monaco");
    EXPECT_EQ(events[2].name, "Grand Prix de Belgique");
    const SeasonFile::Event& e = events[1];
    EXPECT_EQ(e.name, "Grote Prijs van Nederland");
    EXPECT_EQ(e.short_name, "Grote");  // values are trimmed
    EXPECT_EQ(e.track_directory, "zandvoort");
    EXPECT_EQ(e.number_of_laps, "90");
    EXPECT_EQ(e.day, "4");
    EXPECT_EQ(e.month, "6");
    EXPECT_EQ(e.starting_grid, "2");
    EXPECT_EQ(season.ini().GetString("Event2", "weather", ""), "rain");
}

TEST_F(SeasonFileTest, MissingKeysReadAsDefault) {
    fixture::SeasonSpec spec;
    spec.events = {Event("monza", "Gran Premio d'Italia")};
    spec.events[0].omit = {"shortname", "startingGrid"};
    // numEvents promises more events than there are sections.
    spec.num_events = "2";
    const auto events = Written(spec).Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].short_name, "default");
    EXPECT_EQ(events[0].starting_grid, "default");
    EXPECT_EQ(events[0].day, "10");
    EXPECT_EQ(events[1].track_directory, "default");
    EXPECT_EQ(events[1].name, "default");
}

TEST_F(SeasonFileTest, EventCountIsTheLeadingNumberOfNumEvents) {
    struct Case {
        const char* label;
        std::optional<std::string> text;  // nullopt: key not written
        std::string key;
        std::string read;
        int count;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "numEvents", "default", 0},
        {"written by the organiser", "2", "NumEvents", "2", 2},
        {"blanks around", "  2 ", "NUMEVENTS", "2", 2},
        {"trailing text", "2 events", "numEvents", "2 events", 2},
        {"no digit", "two", "numEvents", "two", 0},
        {"negative", "-3", "numEvents", "-3", 0},
        {"damaged count", "99999999999999999999", "numEvents", "99999999999999999999", SeasonFile::kMaxEvents},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fixture::SeasonSpec spec;
        spec.events = {Event("monaco", "Monaco"), Event("spa", "Spa")};
        spec.omit_num_events = !c.text;
        spec.num_events = c.text;
        spec.num_events_key = c.key;
        spec.separator = " = ";
        const SeasonFile season = Written(spec);
        EXPECT_EQ(season.NumEventsText(), c.read);
        EXPECT_EQ(season.EventCount(), c.count);
        EXPECT_EQ(season.Events().size(), static_cast<size_t>(c.count));
    }
}

TEST_F(SeasonFileTest, FileIsFoundWithoutRegardToCase) {
    fixture::SeasonSpec spec;
    spec.events = {Event("monaco", "Monaco")};
    spec.line_end = "\n";
    const SeasonFile season = Written(spec, "Seasons/67SEASON.INI");
    EXPECT_EQ(SeasonFile::PathIn(qel), qel / "Seasons" / "67SEASON.INI");
    EXPECT_EQ(season.EventCount(), 1);
    EXPECT_EQ(season.GetEvent(1).track_directory, "monaco");
}

TEST_F(SeasonFileTest, MissingFileHasNoEvents) {
    EXPECT_EQ(SeasonFile::PathIn(qel), qel / "seasons" / "67season.ini");
    SeasonFile season;
    EXPECT_FALSE(season.Load(SeasonFile::PathIn(qel)));
    EXPECT_EQ(season.NumEventsText(), "default");
    EXPECT_EQ(season.EventCount(), 0);
    EXPECT_TRUE(season.Events().empty());
}

}  // namespace
