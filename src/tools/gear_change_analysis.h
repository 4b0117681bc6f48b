#pragma once
// The gear changes of one lap: every change from one engaged gear through
// neutral to the next, with its distance, revs, rev change, speed change and
// duration, and the lap's statistics (changes, time in neutral while
// shifting up and down, per new gear 2 to 6 the average revs, revs dropped
// and speed dropped of its upshifts, and how many upshifts were
// speedshifts: the revs kept rising while no gear was engaged).
//
// A neutral run at the start of the lap is no change. A neutral run that
// reaches the last sample has no following gear: it is not listed, and no
// test reads past the last sample.

#include <array>
#include <string>
#include <vector>

class GetRpyInfo;

struct GearChangeRow {
    // Texts of the list's six columns: "3: 2->3", metre, revs, revs change,
    // speed change, duration (".250").
    std::array<std::string, 6> columns;
};

struct GearChangeStats {
    int changes = 0;
    std::string upshift_neutral;    // "0.500s (0.125s)"
    std::string downshift_neutral;
    std::string speedshift_text;    // "Out of 7 upshifts, 1 was a speedshift."
    // Rows "1->2" to "5->6" (keyed by the gear engaged after the shift):
    // empty texts for a gear never shifted into.
    std::array<std::string, 5> avg_revs;
    std::array<std::string, 5> avg_revs_dropped;
    std::array<std::string, 5> avg_speed_dropped;
};

struct GearChangeResult {
    std::vector<GearChangeRow> rows;
    GearChangeStats stats;
    int upshifts = 0;
    int downshifts = 0;
    int speedshifts = 0;
};

// The list headings, in column order.
extern const std::array<const char*, 6> kGearChangeHeadings;

// Analyses the lap's samples 1 to sample_count (channels gear, revs,
// distance and speed). A lap without samples gives no rows and zero
// statistics.
GearChangeResult AnalyseGearChanges(const GetRpyInfo& lap);

// A shift's duration of `ticks` samples as "1.000" or ".250".
std::string FormatShiftDuration(unsigned ticks);
// Time in neutral: "%.3fs (%.3fs)" of the total and the mean per shift;
// without a shift the mean reads "-".
std::string FormatNeutralTime(int ticks, int shifts);
