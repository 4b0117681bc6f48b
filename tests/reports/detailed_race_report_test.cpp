// The detailed race on a generated race staged so that every detection
// fires: start signals, the grid, overtakes under acceleration and under
// braking, of a stationary and of a retired car, the leader's laps, a
// disconnection and its reversal, a retirement, parc ferme, a Shift-R and
// a mechanical change.

#include "reports/detailed_race_report.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "report_scenarios.h"
#include "reports/mechanical_report.h"
#include "support/car_record_packer.h"
#include "support/race_generator.h"
#include "support/temp_dir.h"

namespace {

constexpr double kLap = 400.0;

fixture::CarPlan Car(const char* first, const char* last, uint32_t slot, double lead, std::vector<double> race) {
    fixture::CarPlan c;
    c.driver.first_name = first;
    c.driver.last_name = last;
    c.driver.slot = slot;
    c.practice_speeds = {40, 45};
    c.race_speeds = std::move(race);
    c.race_lead_m = lead;
    return c;
}

// Race frames below; race-only, so block = frame + 1.
fixture::RacePlan StagedRace() {
    fixture::RacePlan plan;
    plan.lap_length_m = kLap;
    plan.practice = false;
    plan.player = 0;
    plan.tail_ticks = 200;
    plan.cars = {
        // Crosses the line just behind Hill and leaves him standing on a
        // faster first lap: an overtake under acceleration. Wins, stops
        // and resets the car.
        Car("Jim", "Clark", 0, 60.0, {40, 60, 47, 45}),
        // Slow first lap; stops after the finish and leaves: parc ferme.
        Car("Graham", "Hill", 1, 59.5, {40, 25, 48, 47}),
        // Slower after the line, yet faster than Hulme: under braking.
        // Disconnected after the finish, back a second later.
        Car("Jack", "Brabham", 2, 62.0, {40, 35, 44, 42}),
        Car("Denny", "Hulme", 3, 61.5, {40, 10, 41, 40}),
        // One quick lap, stops and leaves: retires.
        Car("John", "Surtees", 4, 40.0, {40, 50}),
    };
    plan.cars[0].race_stop_tick = 1000;
    plan.cars[0].race_reset_tick = 1040;
    plan.cars[1].race_stop_tick = 1300;
    plan.cars[1].absent = {{1350, 5000}};
    plan.cars[2].absent = {{1160, 1190}};
    plan.cars[4].race_stop_tick = 340;
    plan.cars[4].absent = {{500, 5000}};
    // Each pair in one block: a start signal record of any code in between
    // (as the filler records have) would break the pair.
    plan.start_signals = {{2, 12}, {2, 32}, {8, 1056}, {8, 40}};
    plan.status = {{300, 2, 12, 5}};
    plan.filler_bytes = 16;
    return plan;
}

class DetailedRaceReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { report_scenarios::UseUtc(); }
    fixture::TempDir dir;
};

TEST_F(DetailedRaceReportTest, EveryDetectionOfAStagedRace) {
    fixture::RaceGenerator race(StagedRace());
    auto r = report_scenarios::WriteAndLoad(race.Spec(), dir.File("staged.rpy"));
    ASSERT_FALSE(DetailedRaceReport::Refused(*r->drivers));
    MechanicalScan scan;
    std::string grown;
    const std::string text =
        DetailedRaceReport::Write(r->input, kLap, scan, [&](const std::string& piece) { grown += piece; });
    EXPECT_EQ(grown, text);
    ExpectGolden("detailed_race.txt", text);
    for (const char* line :
         {"The starter raises the green flag...", "The starter drops the green flag!", "All drivers on grid",
          "Jim Clark overtakes Graham Hill for position 2 under acceleration.",
          "Jack Brabham overtakes Denny Hulme for position 4 under braking.",
          "overtakes the stationary John Surtees", "overtakes the retired John Surtees",
          "John Surtees retires.", "Graham Hill drives into parc ferme.",
          "Jack Brabham gets disconnected while racing in position",
          "The disconnected Jack Brabham resurrects, didn't disco after all.",
          "Jim Clark makes a Shift-R? (detection method B)", "Leader of the race starts lap 3",
          "The winner of the race crosses the finish line.", "All drivers have crossed the finish line.",
          "Jack Brabham - spotters reporting:\r\nthe car has an engine problem.", "Jim Clark - 1\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(DetailedRaceReportTest, CoarseDistancesRankAlike) {
    auto plan = StagedRace();
    fixture::RaceGenerator fine(plan);
    plan.distance_unit = 0x40;
    fixture::RaceGenerator coarse(plan);
    auto a = report_scenarios::WriteAndLoad(fine.Spec(), dir.File("fine.rpy"));
    auto b = report_scenarios::WriteAndLoad(coarse.Spec(), dir.File("coarse.rpy"));
    MechanicalScan scan;
    const std::string fine_text = DetailedRaceReport::Write(a->input, kLap, scan);
    const std::string coarse_text = DetailedRaceReport::Write(b->input, kLap, scan);
    // The coarse unit rounds distances 4 times coarser: the same events,
    // give or take a block.
    for (const char* line : {"Jim Clark overtakes Graham Hill for position 2", "John Surtees retires.",
                             "Jim Clark makes a Shift-R?", "Graham Hill drives into parc ferme."})
        EXPECT_NE(coarse_text.find(line), std::string::npos) << line;
    EXPECT_EQ(coarse_text.find("the stationary Jim Clark"), std::string::npos);
    EXPECT_NE(fine_text.find("the stationary John Surtees"), std::string::npos);
}

TEST_F(DetailedRaceReportTest, RefusalsAndTableBounds) {
    fixture::RaceGenerator race(StagedRace());
    auto r = report_scenarios::WriteAndLoad(race.Spec(), dir.File("bounds.rpy"));
    Drivers& d = *r->drivers;
    d.player_index = 1;
    EXPECT_TRUE(DetailedRaceReport::Refused(d));
    d.player_index = 0;
    // Lap counts at the table's end and record ids outside the car slots.
    d.race_lap_count[3] = 149;
    d.slot[4] = 20;
    d.slot[2] = 63;
    MechanicalScan scan;
    const std::string text = DetailedRaceReport::Write(r->input, kLap, scan);
    EXPECT_NE(text.find("End of replay file found"), std::string::npos);
    // Without a track length nothing is divided by it.
    EXPECT_NE(DetailedRaceReport::Write(r->input, 0.0, scan).find("End of replay file found"), std::string::npos);
    d.path = dir.File("gone.rpy");
    EXPECT_TRUE(DetailedRaceReport::Write(r->input, kLap, scan)
                    .ends_with("\r\nSearching for race data...\r\n\r\nError opening file!\r\n"));

    auto late = StagedRace();
    late.race_clock_ms = 5000;
    fixture::RaceGenerator late_race(late);
    auto l = report_scenarios::WriteAndLoad(late_race.Spec(), dir.File("late.rpy"));
    EXPECT_NE(DetailedRaceReport::Write(l->input, kLap, scan)
                  .find("the race.\r\n\r\nNOTE! This replay does not cover the start of the race.\r\n"),
              std::string::npos);

    auto practice = report_scenarios::WriteAndLoad(report_scenarios::PracticeOnly(), dir.File("p.rpy"));
    EXPECT_EQ(DetailedRaceReport::Write(practice->input, kLap, scan), "This replay file does not contain race data.");
}

// Three cars on a 100 m lap, scripted block by block (distances in 1/2000
// m): Brabham stands one block and passes the slow Stewart as he moves off;
// Clark crosses the line before his lap time says so, and both pass him.
TEST_F(DetailedRaceReportTest, ScriptedOvertakesAtAStandstillAndAtTheLine) {
    std::vector<fixture::DriverLaps> field;
    for (auto [first, last, slot] : {std::tuple{"Jim", "Clark", 0u}, {"Jack", "Brabham", 1u}, {"Jackie", "Stewart", 2u}}) {
        fixture::DriverLaps d{fixture::NamedDriver(first, last, slot)};
        d.race_start = 50;
        d.race_laps = {10000, 10000};
        field.push_back(d);
    }
    auto spec = fixture::SessionReplay(field, false, true);
    const uint32_t distances[][3] = {{150000, 140000, 145000}, {160000, 150000, 155000}, {170000, 150000, 160000},
                                     {180000, 165000, 160500}, {190000, 180000, 161000}, {5000, 195000, 161500},
                                     {15000, 198000, 162000},  {25000, 199000, 162500}};
    spec.frames.clear();
    uint32_t clock = 100;
    for (const auto& d : distances) {
        fixture::FrameBlock b;
        b.records.push_back(fixture::Marker(2, clock));
        fixture::PlayerCarFields a;
        a.distance = d[0];
        a.gear_field = 3;
        b.records.push_back({1, 32, fixture::CarRecordPacker::PlayerCar(a)});
        fixture::Record others{3, 36, {}};
        for (uint32_t car = 1; car < 3; ++car) {
            fixture::OtherCarFields o;
            o.distance = d[car];
            o.slot = car;
            o.gear_field = 3;
            others.payload += fixture::CarRecordPacker::OtherCar(o);
        }
        b.records.push_back(others);
        // A status record of a slot outside the table names no car.
        if (clock == 300) b.records.push_back(fixture::CarStatus(25, {{9, 1}}));
        spec.frames.push_back(b);
        clock += 100;
    }
    auto r = report_scenarios::WriteAndLoad(spec, dir.File("scripted.rpy"));
    MechanicalScan scan;
    const std::string text = DetailedRaceReport::Write(r->input, 100.0, scan);
    EXPECT_NE(text.find("00.500s\r\nJack Brabham overtakes Jackie Stewart for position 2 under acceleration.\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("00.700s\r\nJack Brabham overtakes Jim Clark for position 1.\r\n"), std::string::npos);
    EXPECT_NE(text.find("Jackie Stewart overtakes Jim Clark for position 2.\r\n"), std::string::npos);
    EXPECT_EQ(text.find("stationary"), std::string::npos);
    EXPECT_EQ(text.find("damaged"), std::string::npos);
    EXPECT_NE(text.find("End of replay file found"), std::string::npos);
}

}  // namespace
