#pragma once
// Helpers shared by the lap telemetry tests: a replay written to a temporary
// folder with its driver table loaded, and small plans for the race
// generator.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "replay/drivers.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace telemetry_test {

// A replay file and its loaded driver table.
struct LoadedReplay {
    fixture::TempDir dir;
    std::string path;
    std::unique_ptr<Drivers> drivers = std::make_unique<Drivers>();
};

inline std::unique_ptr<LoadedReplay> Load(const fixture::ReplaySpec& spec) {
    auto r = std::make_unique<LoadedReplay>();
    r->path = r->dir.File("lap.rpy");
    fixture::WriteFile(r->path, fixture::BuildReplay(spec));
    EXPECT_EQ(r->drivers->LoadReplay(r->path), 0) << "the fixture replay does not load";
    return r;
}

inline fixture::CarPlan Car(const std::string& first, const std::string& last, uint32_t slot,
                            std::vector<double> practice, std::vector<double> race) {
    fixture::CarPlan c;
    c.driver.first_name = first;
    c.driver.last_name = last;
    c.driver.slot = slot;
    c.practice_speeds = std::move(practice);
    c.race_speeds = std::move(race);
    return c;
}

// Three cars on a 400 m lap, laps of 8 to 11 s; the player is the second
// record, and lap-table slots differ from record indexes.
inline fixture::RacePlan SmallRace() {
    fixture::RacePlan p;
    p.lap_length_m = 400.0;
    p.player = 1;
    p.cars = {Car("Graham", "Hill", 4, {40, 45, 42, 44}, {38, 46, 47}),
              Car("Jim", "Clark", 0, {42, 47, 48}, {40, 48, 49, 50}),
              Car("Jack", "Brabham", 2, {36, 40, 41}, {37, 43, 44})};
    return p;
}

// Index of the first record of `type` in a block; -1 when there is none.
inline int FindRecord(const fixture::FrameBlock& block, uint16_t type) {
    for (size_t i = 0; i < block.records.size(); ++i)
        if (block.records[i].type == type) return static_cast<int>(i);
    return -1;
}

}  // namespace telemetry_test
