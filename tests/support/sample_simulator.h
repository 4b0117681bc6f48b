#pragma once
// A small simulator folder for trying the program out: qel.exe, two tracks,
// replays of practice and race (with mechanical trouble in the race), the
// season file and a driver profile, all laid out by the fixture writers.

#include <filesystem>
#include <vector>

namespace fixture {

// Writes the sample's files into the folder (creating it), each replacing
// the one an earlier run wrote, and returns the replays it holds. Nothing
// else in the folder is touched: files the user saved there stay.
std::vector<std::filesystem::path> WriteSampleSimulator(const std::filesystem::path& folder);

}  // namespace fixture
