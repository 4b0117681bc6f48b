// The race results report: checked-in texts for the session replays
// (OSTREVAN_UPDATE_GOLDEN=1 rewrites them; read every change before
// keeping it), the problem column, and driver tables whose counts or laps
// lie outside what a race normally holds.

#include "reports/race_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "golden.h"
#include "report_scenarios.h"
#include "reports/car_status.h"
#include "support/temp_dir.h"

namespace {

using namespace report_scenarios;


// The rows of the results table: the lines after the column heading, up to
// the first blank line.
std::vector<std::string> ResultRows(const std::string& text) {
    std::vector<std::string> rows;
    size_t pos = text.find("Pos No Driver");
    pos = text.find("\r\n", pos) + 2;
    for (size_t end; (end = text.find("\r\n", pos)) != std::string::npos && end != pos; pos = end + 2)
        rows.push_back(text.substr(pos, end - pos));
    return rows;
}

constexpr const char* kHeading = "Pos No Driver                          Team     Nat Laps   Race Time       Diff";

class RaceReport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseUtc(); }
    fixture::TempDir dir;
};

TEST_F(RaceReport, MatchesGoldenTexts) {
    auto both = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    ExpectGolden("both_race.txt", WriteRaceReport(both->input, false, nullptr));

    // No practice: the climber table gives way to its notice.
    auto race = WriteAndLoad(RaceOnly(), dir.File("spa.rpy"));
    ExpectGolden("race_race.txt", WriteRaceReport(race->input, false, nullptr));
}

TEST_F(RaceReport, ProblemColumnShowsShortReasonsBySlot) {
    auto r = WriteAndLoad(ChangingLeads(), dir.File("nurburgring.rpy"));
    CarStatusTable status;
    auto retire = [&status](int slot, uint8_t code) { status.cars[slot][CarStatusTable::kRetirementByte] = code; };
    retire(2, 16);   // Brabham: "Engine"
    retire(3, 60);   // Hulme: "Fuel Injec"
    retire(4, 84);   // Surtees: "Oil Press", never a cut "l Pressure"
    retire(5, 112);  // Stewart: a code missing from the table, "Unknown" on one line
    retire(7, 104);  // no driver's slot: Rindt is driver 7 but his slot is 25
    retire(19, 48);
    ExpectGolden("leads_race_problems.txt", WriteRaceReport(r->input, true, &status));
}

TEST_F(RaceReport, ProblemColumnStaysEmptyWithoutAScan) {
    auto r = WriteAndLoad(ChangingLeads(), dir.File("nurburgring.rpy"));
    std::string without = WriteRaceReport(r->input, false, nullptr);
    const std::string with = WriteRaceReport(r->input, true, nullptr);
    EXPECT_EQ(without.find("Problem"), std::string::npos);
    // Only the heading differs.
    without.replace(without.find(kHeading), std::string(kHeading).size(), std::string(kHeading) + "    Problem");
    EXPECT_EQ(with, without);
}

TEST_F(RaceReport, NoRaceDataGivesOneSentence) {
    auto r = WriteAndLoad(PracticeOnly(), dir.File("zandvoort.rpy"));
    CarStatusTable status;
    EXPECT_EQ(WriteRaceReport(r->input, true, &status), "This replay file does not contain race data.");
}

TEST_F(RaceReport, RaceWithoutACompletedLap) {
    fixture::DriverLaps a{fixture::NamedDriver("John", "Surtees", 0, 4)};
    a.race_start = 2000;
    fixture::DriverLaps b{fixture::NamedDriver("Lorenzo", "Bandini", 1, 4)};
    b.race_start = 1500;
    fixture::DriverLaps c{fixture::NamedDriver("Richie", "Ginther", 2, 6)};
    auto r = WriteAndLoad(fixture::SessionReplay({a, b, c}, false, true, "spa"), dir.File("spa.rpy"));
    const std::string text = WriteRaceReport(r->input, false, nullptr);

    EXPECT_NE(text.find("RACE RESULTS (After 0 laps)\r\n"), std::string::npos);
    const auto rows = ResultRows(text);
    ASSERT_EQ(rows.size(), 3u);
    // Ordered by start time alone; with no lap run there is no gap to give.
    EXPECT_EQ(rows[0].substr(7, 15), "Lorenzo Bandini");
    EXPECT_EQ(rows[0].substr(57), "  0m00.000s            ");
    EXPECT_EQ(rows[1].substr(57), "  0m00.000s    No time ");
    EXPECT_EQ(rows[2].substr(57), "DidNotStart    No time ");
    EXPECT_NE(text.find("\r\nNumber of lead changes: 0\r\nNumber of leaders: 0\r\n"), std::string::npos);
    EXPECT_EQ(text.find("-1"), std::string::npos);
}

TEST_F(RaceReport, CountsBeyondTheTablesAreBounded) {
    auto r = WriteAndLoad(ChangingLeads(), dir.File("nurburgring.rpy"));
    Drivers& d = *r->drivers;
    d.driver_count = 30;
    d.race_lap_count[0] = 1000;
    d.race_lap_count[1] = -5;
    d.practice_lap_count[2] = 400;
    d.practice_lap_count[3] = -1;
    d.slot[4] = 0xFFFFFFFF;
    CarStatusTable status;
    status.cars[4][CarStatusTable::kRetirementByte] = 84;
    const std::string text = WriteRaceReport(r->input, true, &status);

    EXPECT_NE(text.find("RACE RESULTS (After 149 laps)\r\n"), std::string::npos);
    const auto rows = ResultRows(text);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0].substr(7, 9), "Jim Clark");
    EXPECT_EQ(rows[0].substr(52, 4), " 149");
    EXPECT_EQ(text.find("Oil Press"), std::string::npos);
}

}  // namespace
