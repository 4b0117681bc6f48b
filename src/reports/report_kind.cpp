#include "reports/report_kind.h"

namespace {

struct KindText {
    std::string_view title;
    std::string_view suffix;
};

constexpr KindText kKinds[] = {
    {"", ""},
    {"Practice Report", "_Practice"},
    {"Race Report", "_Race"},
    {"Lap Chart", "_LapChart"},
    {"Lap By Lap report", "_LapByLap"},
    {"Complete Report", "_Complete"},
    {"Mechanical report", "_Mechanical"},
    {"", "_EngineDetection"},
    {"Detailed Race Report", "_DetailedRace"},
    {"Online Laptime Verifier", "LaptimeVerify"},
    {"Sector Times", "SectorTimes"},
    {"Speed Report", "Speed"},
    {"Season/Engine/Mods info", ""},
};

}  // namespace

std::string_view ReportTitle(int kind) { return kind >= 0 && kind <= 12 ? kKinds[kind].title : ""; }

std::string_view ReportSuffix(int kind) { return kind >= 0 && kind <= 12 ? kKinds[kind].suffix : ""; }
