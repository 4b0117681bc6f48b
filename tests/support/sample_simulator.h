#pragma once
// A small simulator folder for trying the program out: qel.exe, two tracks,
// replays of practice and race (with mechanical trouble in the race), the
// season file and a driver profile, all laid out by the fixture writers.

#include <filesystem>
#include <vector>

namespace fixture {

// Writes the folder (creating it) and returns the replays it holds.
std::vector<std::filesystem::path> WriteSampleSimulator(const std::filesystem::path& folder);

}  // namespace fixture
