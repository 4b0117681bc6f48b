#pragma once
// The twelve kinds of text report, their title lines and the suffixes of
// their export file names.

#include <string_view>

enum ReportKind {
    kReportNone = 0,
    kReportPractice = 1,
    kReportRace = 2,
    kReportLapChart = 3,
    kReportLapByLap = 4,
    kReportComplete = 5,
    kReportMechanical = 6,
    kReportEngineDetection = 7,
    kReportDetailedRace = 8,
    kReportLaptimeVerifier = 9,
    kReportSectorTimes = 10,
    kReportSpeed = 11,
    kReportSeasonEngineMod = 12,
};

// The title line of a kind ("" for kinds without one).
std::string_view ReportTitle(int kind);
// The export file suffix of a kind ("_Practice", "SectorTimes", "" ...).
std::string_view ReportSuffix(int kind);
