#pragma once
// Lap chart (report kind 3): every practice and race lap of every driver
// with its time and the incidents flagged on it.

#include <string>

struct ReportInput;

inline constexpr const char* kLapChartTitle = "Lap Chart";

std::string WriteLapChartReport(const ReportInput& in);
