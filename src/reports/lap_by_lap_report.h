#pragma once
// Lap by lap (report kind 4): the race told as a story in plain sentences,
// from the driver table alone: non-starters, the pole sitter, then per lap
// who went off, who overtook whom, lead changes, retirements and the
// fastest lap, and the finish with the gaps to second and third.

#include <string>

struct ReportInput;

inline constexpr const char* kLapByLapTitle = "Lap By Lap report";

std::string WriteLapByLapReport(const ReportInput& in);
