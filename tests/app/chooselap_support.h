#pragma once
// Replays for the lap-choice tests: a Grand Prix replay with practice and
// race, and a race-only one, written to a temporary folder and loaded into a
// ChooselapModel.

#include <gtest/gtest.h>

#include <memory>

#include "app/chooselap_model.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "support/session_fixture.h"
#include "support/temp_dir.h"

namespace chooselap_test {

struct LoadedModel {
    fixture::TempDir dir;
    Header header;
    Drivers drivers;
    ChooselapModel model;
};

inline std::unique_ptr<LoadedModel> Load(const fixture::ReplaySpec& spec) {
    auto r = std::make_unique<LoadedModel>();
    const std::string path = r->dir.File("monza.rpy");
    fixture::WriteFile(path, fixture::BuildReplay(spec));
    EXPECT_EQ(r->header.Load(path), 0);
    EXPECT_EQ(r->drivers.LoadReplay(path), 0);
    r->model.Fill(r->header, r->drivers);
    return r;
}

// Clark: human, GBR, Lotus (1967 engine 5), class 3, #7, helmet 0x00C02040;
// practice laps 83.456 s, 85.001 s (invalid) and 84.5 s; race laps 86.2 s,
// 85.9 s (off track and invalid). Maltrevik: AI, practice laps only.
inline fixture::ReplaySpec GrandPrix() {
    fixture::DriverLaps clark(fixture::NamedDriver("Jim", "Clark", 0, 5));
    clark.driver.engine_index = 5;
    clark.driver.code_byte = 3;
    clark.driver.value128 = 7;
    clark.driver.value140 = 0x00C02040;
    clark.driver.country = 13;
    clark.practice_start = 4200;
    clark.practice_laps = {83456, 85001, 84500};
    clark.practice_flags = {0, 0x10000000, 0};
    clark.race_start = 3100;
    clark.race_laps = {86200, 85900};
    clark.race_flags = {0, 0x50000000};
    fixture::DriverLaps alien(fixture::NamedDriver("", "Maltrevik", 1, 4));
    alien.driver.ai = true;
    alien.driver.engine_index = 11;
    alien.driver.value128 = 12;
    alien.driver.country = 30;
    alien.practice_start = 5000;
    alien.practice_laps = {80100, 80050};
    return fixture::SessionReplay({clark, alien}, true, true);
}

inline fixture::ReplaySpec RaceOnly() {
    fixture::DriverLaps hill(fixture::NamedDriver("Graham", "Hill", 3, 1));
    hill.driver.value128 = 14;
    hill.race_start = 2500;
    hill.race_laps = {90000, 89500};
    return fixture::SessionReplay({hill}, false, true);
}

}  // namespace chooselap_test
