// The mechanical scan over a replay whose data section carries status
// records of every kind the commentary tells of.

#include "reports/mechanical_report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "replay/data_section_walker.h"
#include "golden.h"
#include "report_scenarios.h"
#include "support/race_generator.h"
#include "support/temp_dir.h"

namespace {

using namespace report_scenarios;
using fixture::FrameBlock;
using fixture::Record;

constexpr uint8_t kRace = 2;

FrameBlock At(uint8_t session, uint32_t clock_ms, std::vector<Record> more = {}) {
    FrameBlock b;
    b.records.push_back(fixture::Marker(session, clock_ms));
    b.records.insert(b.records.end(), more.begin(), more.end());
    return b;
}

fixture::ReplaySpec MechanicalRace() {
    using fixture::DriverLaps;
    DriverLaps a{fixture::NamedDriver("Jim", "Clark", 0, 5)};
    a.practice_start = 1000;
    a.practice_laps = {90000};
    a.race_start = 2000;
    a.race_laps = {60000, 60000};
    DriverLaps b{fixture::NamedDriver("Graham", "Hill", 1, 1)};
    b.race_start = 2100;
    b.race_laps = {61000};
    DriverLaps c{fixture::NamedDriver("Jack", "Brabham", 2, 0)};
    c.race_start = 2200;
    c.race_laps = {62000, 61000};
    auto s = fixture::SessionReplay({a, b, c}, true, true, "monza");

    FrameBlock no_marker;  // status records of blocks without a marker first are not read
    no_marker.records.push_back(fixture::CarStatus(1, {{12, 9}}));
    s.frames = {
        At(0, 10),
        At(0, 20000, {fixture::CarStatus(0, {{9, 3}})}),  // practice: before race data, not reported
        At(kRace, 10),
        no_marker,
        At(kRace, 5000, {fixture::CarStatus(0, {{9, 0x0D}}), fixture::CarStatus(1, {{12, 5}})}),
        At(kRace, 30000, {fixture::CarStatus(0, {{9, 0x2D}}), fixture::CarStatus(1, {{12, 6}})}),
        At(kRace, 65000, {fixture::CarStatus(1, {{12, 6}, {13, 84}, {14, 16}})}),
        At(kRace, 70000, {fixture::CarStatus(0, {})}),
        At(kRace, 80000, {fixture::CarStatus(2, {{7, 0x40}, {14, 1}})}),
        At(kRace, 90000, {fixture::CarStatus(2, {{7, 0x40}, {14, 17}})}),
        At(kRace, 95000, {fixture::CarStatus(2, {{7, 0x40}, {14, 17}, {11, 0xC0}, {12, 63}})}),
        At(kRace, 130000),
        At(kRace, 140000),
    };
    return s;
}

class MechanicalScanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseUtc(); }
    fixture::TempDir dir;
};

TEST_F(MechanicalScanTest, TellsEveryKindOfChange) {
    auto r = WriteAndLoad(MechanicalRace(), dir.File("mech.rpy"));
    MechanicalScan scan;
    std::string grown;
    const std::string text = scan.Scan(r->input, false, [&](const std::string& piece) { grown += piece; });
    EXPECT_EQ(grown, text);
    ExpectGolden("mech_mechanical.txt", text);
    EXPECT_EQ(scan.status().RetirementCode(1), 84);
    EXPECT_EQ(scan.status().RetirementCode(0), 0);
    EXPECT_EQ(scan.status().cars[2][12], 63);

    // The short reasons of the race results' problem column.
    const std::string short_text = scan.Scan(r->input, true);
    EXPECT_NE(short_text.find("Official retirement reason is: Oil Press\r\n"), std::string::npos);
}

// Two cars retiring in turn with every official code, and an unknown one,
// each retirement cleared again (Shift-R) before the next.
fixture::ReplaySpec EveryRetirement() {
    auto s = MechanicalRace();
    const int codes[] = {0,  4,  8,  12, 16, 20, 24, 28, 32, 36, 40,  44,  48,  56,  60,
                         64, 68, 72, 76, 80, 84, 88, 92, 96, 100, 104, 108, 116, 112};
    s.frames = {At(kRace, 10)};
    uint32_t clock = 1000;
    int car = 0;
    for (int code : codes) {
        s.frames.push_back(At(kRace, clock, {fixture::CarStatus(car, {{13, static_cast<uint8_t>(code)}})}));
        s.frames.push_back(At(kRace, clock + 500, {fixture::CarStatus(car, {})}));
        clock += 1000;
        car = 1 - car;
    }
    return s;
}

TEST_F(MechanicalScanTest, EveryRetirementCode) {
    auto r = WriteAndLoad(EveryRetirement(), dir.File("retire.rpy"));
    MechanicalScan scan;
    const std::string text = scan.Scan(r->input);
    ExpectGolden("mech_retirements.txt", text);
}

// A race driven by the race generator, with status records in its frames
// (as changes and, now and then, as filler) and markers past the finish.
TEST_F(MechanicalScanTest, GeneratedRaceTellsTroubleAndTheLeadersLaps) {
    fixture::RacePlan plan;
    plan.lap_length_m = 400.0;
    plan.player = 1;
    auto car = [](const char* first, const char* last, uint32_t slot, std::vector<double> race) {
        fixture::CarPlan c;
        c.driver.first_name = first;
        c.driver.last_name = last;
        c.driver.slot = slot;
        c.practice_speeds = {40, 45, 44};
        c.race_speeds = std::move(race);
        return c;
    };
    plan.cars = {car("Graham", "Hill", 4, {38, 46, 47}), car("Jim", "Clark", 0, {40, 48, 49, 50}),
                 car("Jack", "Brabham", 2, {37, 43, 44})};
    plan.filler_bytes = 96;
    plan.status = {{100, 2, 9, 0x01}, {200, 2, 12, 10}, {250, 2, 13, 56}, {250, 2, 14, 16}, {300, 0, 11, 0x30}};
    fixture::RaceGenerator race(plan);
    auto r = WriteAndLoad(race.Spec(), dir.File("generated.rpy"));
    MechanicalScan scan;
    const std::string text = scan.Scan(r->input);
    for (const char* line : {"Race data found - beginning detection.", "Leader of the race starts lap 1\r\n",
                             "Leader of the race starts lap 3\r\n", "The winner of the race crosses the finish line.",
                             "Jack Brabham - spotters reporting:\r\nminor problems with left front tire.\r\n",
                             "the car has an engine problem.\r\n",
                             "Jack Brabham retires!\r\nOfficial retirement reason is: Fuel Leak\r\n"
                             "the car slows down and stops.\r\n",
                             "Graham Hill - spotters reporting:\r\nsevere problems with left rear suspension.\r\n",
                             "End of replay file found - stopping detection."})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find("Shift-R"), std::string::npos);
    EXPECT_EQ(text.find("starts lap 4"), std::string::npos);
    EXPECT_EQ(scan.status().RetirementCode(2), 56);
    EXPECT_EQ(scan.status().RetirementCode(4), 0);
}

TEST(RetirementReasons, ShortFormsFitTheProblemColumn) {
    EXPECT_EQ(GetRetirementReasonText(84, false), "Official retirement reason is: Oil Pressure");
    EXPECT_EQ(GetRetirementReasonText(84, true), "Official retirement reason is: Oil Press");
    EXPECT_EQ(RetirementReason(60, true), "Fuel Injec");
    EXPECT_EQ(RetirementReason(108, true), "Retired");
    EXPECT_EQ(RetirementReason(112, true), "Unknown");
    EXPECT_EQ(RetirementReason(112, false),
              "Unknown! If you know the failure QEL reported\r\nfor this driver, please contact us.\r\nUnknown code is :112");
    // Code 0 means not retired and never reaches the column.
    for (int code = 1; code < 256; ++code) EXPECT_LE(RetirementReason(code, true).size(), 10u) << code;
}

TEST_F(MechanicalScanTest, NoRaceData) {
    auto r = WriteAndLoad(PracticeOnly(), dir.File("p.rpy"));
    MechanicalScan scan;
    EXPECT_EQ(scan.Scan(r->input), "This replay file does not contain race data.");
}

TEST_F(MechanicalScanTest, DamagedDataSectionsEndWithANotice) {
    struct Case {
        const char* what;
        std::function<void(fixture::ReplaySpec&)> damage;
    } cases[] = {
        {"car slot outside the table",
         [](fixture::ReplaySpec& s) { s.frames[6].records.push_back(fixture::CarStatus(25, {{9, 1}})); }},
        {"status record shorter than 16 bytes",
         [](fixture::ReplaySpec& s) { s.frames[6].records.push_back(Record{10, 8, std::string(4, '\0')}); }},
        {"unknown record type", [](fixture::ReplaySpec& s) { s.frames[6].records.push_back(Record{7, 8, std::string(4, '\0')}); }},
        {"record length below 4", [](fixture::ReplaySpec& s) { s.frames[6].records.push_back(Record{4, 0, ""}); }},
        {"block size below 8", [](fixture::ReplaySpec& s) { s.frames[7].size_override = 0; }},
    };
    for (const auto& c : cases) {
        auto spec = MechanicalRace();
        c.damage(spec);
        fixture::TempDir d;
        // The driver table reads only the first and last blocks, so it loads.
        auto r = WriteAndLoad(spec, d.File("bad.rpy"));
        MechanicalScan scan;
        const std::string text = scan.Scan(r->input);
        EXPECT_NE(text.find("\r\nThe replay file is damaged - stopping detection.\r\n"), std::string::npos) << c.what;
        EXPECT_EQ(text.find("End of replay file found"), std::string::npos) << c.what;
    }
}

TEST_F(MechanicalScanTest, ARaceWithoutLapsStillScans) {
    using fixture::DriverLaps;
    DriverLaps a{fixture::NamedDriver("Jim", "Clark", 0, 5)};
    a.race_start = 2000;
    auto spec = fixture::SessionReplay({a}, false, true);
    auto r = WriteAndLoad(spec, dir.File("nolaps.rpy"));
    MechanicalScan scan;
    const std::string text = scan.Scan(r->input);
    EXPECT_NE(text.find("Replay file starts "), std::string::npos);
    EXPECT_NE(text.find("End of replay file found"), std::string::npos);
}

TEST(DataSectionWalker, OccupiedFollowsEachTypesRule) {
    EXPECT_EQ(DataSectionWalker::Occupied(1, 32), 32u);
    EXPECT_EQ(DataSectionWalker::Occupied(8, 10), 12u);
    EXPECT_EQ(DataSectionWalker::Occupied(9, 9), 12u);
    EXPECT_EQ(DataSectionWalker::Occupied(14, 8), 8u);
    EXPECT_EQ(DataSectionWalker::Occupied(10, 20), 20u);
    EXPECT_EQ(DataSectionWalker::Occupied(5, 8), 0u);
    EXPECT_FALSE(DataSectionWalker::Known(0));
    EXPECT_FALSE(DataSectionWalker::Known(7));
    EXPECT_FALSE(DataSectionWalker::Known(17));
}

TEST(DataSectionWalker, EndsAtTheEndOfTheFile) {
    fixture::TempDir dir;
    auto spec = MechanicalRace();
    std::string bytes = fixture::BuildReplay(spec);
    const auto layout = fixture::LayoutOf(spec);
    bytes.resize(bytes.size() - 10);  // the last block is cut
    fixture::WriteFile(dir.File("cut.rpy"), bytes);
    DataSectionWalker walker;
    int markers = 0;
    const auto end = walker.Walk(
        dir.File("cut.rpy"), layout.data_section,
        [](const DataSectionWalker::Block&) { return DataSectionWalker::BlockAction::kRecords; },
        [&](const DataSectionWalker::Block&, const DataSectionWalker::Record& r) {
            markers += r.type == 13;
            return true;
        });
    EXPECT_EQ(end, DataSectionWalker::End::kPastEndOfFile);
    // Every block opens with a marker but one; the last block is cut.
    EXPECT_EQ(markers, static_cast<int>(spec.frames.size()) - 2);
    EXPECT_EQ(walker.Walk(dir.File("none.rpy"), 0, nullptr, nullptr), DataSectionWalker::End::kCannotOpen);
}

}  // namespace
