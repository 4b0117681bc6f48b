#pragma once
// Season, engine and mod facts (report kind 12): for every human driver of
// a replay, the car make and season year, the engine, the engine class, and
// whether the car runs an engine other than the one its season lists.

#include <string>

class Drivers;

inline constexpr const char* kSeasonEngineModReportTitle = "Season/Engine/Mods info";

// The whole report text, heading to footer.
std::string WriteSeasonEngineModReport(const Drivers& drivers);
