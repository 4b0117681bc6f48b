#include "reports/season_engine_mod_report.h"

#include <algorithm>

#include "replay/drivers.h"
#include "replay/name_tables.h"
#include "reports/report_text.h"

using report_text::LeftAlign;

namespace {

// Season code of drivers whose car record carries no mod listing.
constexpr int kNoListing = 255;
// The 1966 season lists no engine per car that a swap could be judged by.
constexpr int kSeason1966 = 1966;

// The car's own engine byte: F1 cars carry their car index at the position
// of their car index, F2 cars 7 at position 7, F3 cars 8 at position 8.
std::string Comment(const Drivers& d, int i) {
    const int season = d.season_code[i];
    const int car = d.car_index[i];
    const auto& engine = d.car_data_values[i];
    if (season == kNoListing) return "Not using Valmod+, engine not listed";
    if (season == kSeason1966) return " ";
    switch (d.driver_code[i]) {
    case 3:
        // A car index beyond the nine engine bytes has no byte to judge.
        if (car < static_cast<int>(engine.size()) && engine[car] != car)
            return "Swapped Engine, should use " + name_tables::GetEngineName(season, car);
        return {};
    case 2: return engine[7] != 7 ? "Swapped Engine, should use F2" : "";
    case 1: return engine[8] != 8 ? "Swapped Engine, should use F3" : "";
    default: return {};
    }
}

const char* ClassText(int engine_class) {
    switch (engine_class) {
    case 3: return "    F1";
    case 2: return "    F2";
    case 1: return "    F3";
    default: return " Unkn.";
    }
}

}  // namespace

std::string WriteSeasonEngineModReport(const Drivers& d) {
    std::string text = "Name                     Carmake        Year Engine      Class Comment\r\n";
    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    for (int i = 0; i < count; ++i) {
        if (d.ai[i] == 1) continue;
        const int season = d.season_code[i];
        const int car = d.car_index[i];
        text += LeftAlign(d.first_names[i] + " " + d.last_names[i], 25);
        text += name_tables::GetCarModelYear(season, car);
        text += " ";
        text += season == kNoListing ? std::string(11, ' ') : name_tables::GetEngineName(season, car);
        text += ClassText(d.driver_code[i]);
        text += ' ';
        text += Comment(d, i);
        text += "\r\n";
    }
    text += "\r\n(No AI-drivers listed)\r\n";
    text += report_text::kFooter;
    return text;
}
