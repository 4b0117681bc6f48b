#pragma once
// Race results (report kind 2): the classification of the race with race
// times, gaps and (optionally) each retired car's official reason, followed
// by the fastest laps, the leaders, laps led, highest climber (from the
// practice grid), on-track laps and lap-time consistency. Everything comes
// from the driver table; the retirement reasons come from the car status
// table of a mechanical scan that the caller has run.

#include <cstddef>
#include <string>

struct CarStatusTable;
struct ReportInput;

inline constexpr const char* kRaceReportTitle = "Race Report";

// The whole report text, or the one sentence for a replay without race data.
// problem_column is the setting RetireInRaceReport: when true the heading
// carries "Problem" and each row whose car slot holds a retirement code in
// status ends with the short reason text. status may be nullptr (no scan has
// run): the column then stays empty for every driver. Nothing is kept
// between calls; in and status are only read.
// layout, when given, is told where two of the tables stand in the text.
struct RaceReportLayout {
    static constexpr size_t kNone = static_cast<size_t>(-1);
    // Offsets in the text of the first character of the "RACE FASTEST LAPS"
    // and the "LAPS LED" heading lines; kNone without race data.
    size_t fastest_laps = kNone;
    size_t laps_led = kNone;
};
std::string WriteRaceReport(const ReportInput& in, bool problem_column, const CarStatusTable* status,
                            RaceReportLayout* layout = nullptr);
