#pragma once
// Practice results (report kind 1): one line per driver ordered by best
// valid practice lap, with the gap to the fastest and the laps driven.

#include <string>

struct ReportInput;

inline constexpr const char* kPracticeReportTitle = "Practice Report";

// The whole report text, or the one sentence for a replay without practice.
std::string WritePracticeReport(const ReportInput& in);
