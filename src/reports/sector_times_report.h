#pragma once
// Sector times (report kind 10): each loaded lap split at the track's
// split lines, and the theoretically fastest lap of the best sectors.

#include <string>

struct LoadedLaps;

inline constexpr const char* kSectorTimesReportTitle = "Sector Times";

// The whole report text (as the window appends it after what it shows).
std::string WriteSectorTimesReport(const LoadedLaps& laps);
