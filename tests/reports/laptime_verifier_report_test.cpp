// The online laptime verifier on generated races whose markers come once a
// second, as the simulator writes them: clean laps, where both methods give
// the official time, and a lap with a clock correction and a clock smash.

#include "reports/laptime_verifier_report.h"

#include <gtest/gtest.h>

#include <cmath>

#include "golden.h"
#include "report_scenarios.h"
#include "reports/loaded_laps.h"
#include "support/race_generator.h"
#include "support/temp_dir.h"

namespace {

constexpr double kLap = 400.0;

fixture::CarPlan Car(const char* first, const char* last, uint32_t slot, double speed) {
    fixture::CarPlan c;
    c.driver.first_name = first;
    c.driver.last_name = last;
    c.driver.slot = slot;
    // One speed throughout: the distance step around each crossing of the
    // line is the speed the car crossed it at.
    c.practice_speeds.assign(3, speed);
    c.race_speeds.assign(5, speed);
    return c;
}

fixture::RacePlan OnlineRace() {
    fixture::RacePlan plan;
    plan.lap_length_m = kLap;
    plan.player = 0;
    plan.marker_every = 36;
    plan.plain_first_every = 0;
    plan.filler_bytes = 12;
    plan.cars = {Car("Jim", "Clark", 0, 45), Car("Graham", "Hill", 3, 41), Car("Jack", "Brabham", 1, 43)};
    // Clark's third race lap runs from about frame 650 to 970.
    plan.race_clock_shifts = {{750, -20}};
    plan.race_extra_frames = {{850}};
    return plan;
}

class LaptimeVerifier : public ::testing::Test {
protected:
    void Load(const fixture::RacePlan& plan, const std::string& name) {
        race = std::make_unique<fixture::RaceGenerator>(plan);
        replay = report_scenarios::WriteAndLoad(race->Spec(), dir.File(name));
        laps.track_length_m = kLap;
        laps.laps.clear();
        for (auto [driver, session, lap] : {std::tuple{0, 1, 2}, {1, 1, 1}, {2, 0, 2}, {0, 0, 1}, {0, 1, 3}}) {
            LoadedLap l;
            l.header = &replay->header;
            l.drivers = replay->drivers.get();
            l.driver = driver;
            l.session = session;
            l.lap = lap;
            laps.laps.push_back(l);
        }
    }
    fixture::TempDir dir;
    std::unique_ptr<fixture::RaceGenerator> race;
    std::unique_ptr<report_scenarios::Loaded> replay;
    LoadedLaps laps;
};

TEST_F(LaptimeVerifier, BothMethodsAgreeOnCleanLaps) {
    for (uint8_t unit : {uint8_t{0}, uint8_t{0x40}}) {
        auto plan = OnlineRace();
        plan.distance_unit = unit;
        Load(plan, unit ? "coarse.rpy" : "fine.rpy");
        for (size_t n = 0; n < laps.laps.size(); ++n) {
            const LoadedLap& lap = laps.laps[n];
            const auto r = LaptimeVerifierReport::VerifyLap(lap, kLap);
            const int official = static_cast<int>(lap.LapWord() & 0xFFFFFF);
            EXPECT_NEAR(r.method_a_ms, official, 1) << "lap " << n << " unit " << int{unit};
            if (n < 4) {
                EXPECT_EQ(r.corrections, 0) << n;
                EXPECT_EQ(r.smashes, 0) << n;
                EXPECT_EQ(r.method_b_offset, 0.0) << n;
            } else {
                // 980 ms between two markers, and 37 blocks between two.
                EXPECT_EQ(r.corrections, 1);
                EXPECT_EQ(r.smashes, 1);
                EXPECT_NEAR(r.method_b_offset, 20 + 27.78, 0.01);
            }
        }
    }
    std::string grown;
    const std::string text = LaptimeVerifierReport::Write(laps, [&](const std::string& piece) { grown += piece; });
    EXPECT_EQ(grown, text);
    ExpectGolden("laptime_verifier.txt", text);
}

TEST_F(LaptimeVerifier, LapsThatCannotBeMeasured) {
    // Brabham stops after his fourth race lap; the table is given a fifth
    // lap in which he stands: his distance does not change, no speed to
    // measure by.
    auto plan = OnlineRace();
    const uint32_t offset = fixture::RaceGenerator(plan).practice_blocks();
    plan.cars[2].race_stop_tick = fixture::RaceGenerator(plan).Lap(2, 1, 4).after_end_block - offset + 1;
    Load(plan, "standing.rpy");
    Drivers& d = *replay->drivers;
    d.race_lap_count[2] = 5;
    d.race_times[2][5] = 9000;
    LoadedLap lap = laps.laps[2];
    lap.session = 1;
    lap.lap = 5;
    const auto standing = LaptimeVerifierReport::VerifyLap(lap, kLap);
    EXPECT_EQ(standing.method_a_ms, 0);
    EXPECT_EQ(standing.corrections, 0);

    d.path = dir.File("gone.rpy");
    const auto gone = LaptimeVerifierReport::VerifyLap(laps.laps[0], kLap);
    EXPECT_EQ(gone.method_a_ms, 0);
    EXPECT_EQ(gone.smashes, 0);
}

TEST_F(LaptimeVerifier, DamageInsideTheLapKeepsTheClockFigures) {
    auto plan = OnlineRace();
    fixture::RaceGenerator gen(plan);
    auto spec = gen.Spec();
    const auto& t = gen.Lap(0, 1, 3);
    // An unknown record after the correction, before the lap's end.
    spec.frames[gen.practice_blocks() + 800].records.push_back(fixture::Record{7, 8, std::string(4, '\0')});
    replay = report_scenarios::WriteAndLoad(spec, dir.File("bad.rpy"));
    LoadedLap lap;
    lap.drivers = replay->drivers.get();
    lap.driver = 0;
    lap.session = 1;
    lap.lap = 3;
    ASSERT_GT(t.end_block, gen.practice_blocks() + 801);
    const auto r = LaptimeVerifierReport::VerifyLap(lap, kLap);
    EXPECT_EQ(r.method_a_ms, 0);
}

TEST_F(LaptimeVerifier, AStartWhereTheCarIsNotShortOfTheLineGoesBackToItsApproach) {
    // With a line 100 m short of the replay's own, each lap's first
    // counting marker but Hill's finds the car past the line; only an
    // earlier block has it short of the line, and the start goes back to
    // the counting marker before that block. Method A then measures to
    // that line.
    Load(OnlineRace(), "short_line.rpy");
    const struct {
        int method_a_ms, corrections, smashes;
        double method_b_offset;
    } expected[] = {{8888, 0, 0, 0}, {9758, 0, 0, 0}, {9324, 0, 0, 0}, {8888, 0, 0, 0}, {8888, 1, 1, 20 + 27.78}};
    for (size_t n = 0; n < laps.laps.size(); ++n) {
        const auto r = LaptimeVerifierReport::VerifyLap(laps.laps[n], kLap - 100);
        EXPECT_EQ(r.method_a_ms, expected[n].method_a_ms) << n;
        EXPECT_EQ(r.corrections, expected[n].corrections) << n;
        EXPECT_EQ(r.smashes, expected[n].smashes) << n;
        EXPECT_NEAR(r.method_b_offset, expected[n].method_b_offset, 0.01) << n;
    }
}

}  // namespace
