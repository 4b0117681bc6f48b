#pragma once
// A simulator folder for the benchmarks: qel.exe, the stadium circuit as
// track "monza", and a race of 20 cars on it written by the race generator
// into replay/<file> (kept when it is there already, for later runs).

#include <filesystem>
#include <string>
#include <vector>

#include "support/race_generator.h"

namespace bench {

struct StadiumRace {
    std::string file;           // the replay's file name
    int laps = 0;               // laps of each car's plan
    double speed_mps = 0;       // the slowest car's base speed
    std::vector<fixture::StatusChange> status;  // car status records, if any
};

// Writes the folder and the race into sim; returns sim.
std::filesystem::path WriteStadiumRace(const std::filesystem::path& sim, const StadiumRace& race);

}  // namespace bench
