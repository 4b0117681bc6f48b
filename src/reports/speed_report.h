#pragma once
// Speed (report kind 11): each loaded lap's top speed in each quarter of
// the track, its overall top and lowest speed, its average and its time.

#include <string>

struct LoadedLaps;

inline constexpr const char* kSpeedReportTitle = "Speed Report";
// km/h to mph, as this report converts.
inline constexpr double kSpeedReportMph = 0.6213722922;

// The whole report text. Speeds in km/h, or mph when the laps' MPH
// setting is on.
std::string WriteSpeedReport(const LoadedLaps& laps);
