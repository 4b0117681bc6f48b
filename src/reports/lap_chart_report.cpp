#include "reports/lap_chart_report.h"

#include <algorithm>

#include "replay/drivers.h"
#include "replay/name_tables.h"
#include "reports/report_input.h"
#include "reports/report_text.h"

using namespace report_text;

namespace {

// " [Off the track, Invalid lap]" and the like; empty without flags. Race
// laps spell their invalid item with a leading space, as the simulator's
// players have always seen it.
std::string Incidents(uint32_t word, bool race) {
    uint32_t flags = word & 0xFF000000u;
    if (flags == 0) return {};
    std::vector<std::string> items;
    if (flags & Drivers::kOffTrackFlag) items.push_back("Off the track");
    if (flags & Drivers::kInvalidLapFlag) items.push_back(race ? " Invalid lap" : "Invalid lap");
    flags &= ~(Drivers::kOffTrackFlag | Drivers::kInvalidLapFlag);
    if (flags) items.push_back("Unknown incident");
    std::string out = " [";
    for (size_t k = 0; k < items.size(); ++k) out += (k ? ", " : "") + items[k];
    return out + "]";
}

std::string LapLine(int n, uint32_t word, bool race) {
    return "Lap " + std::to_string(n) + ": " + FormatLapTime(word) + Incidents(word, race) + "\r\n";
}

}  // namespace

std::string WriteLapChartReport(const ReportInput& in) {
    const Drivers& d = *in.drivers;
    std::string text = TrackLine(*in.header, in.file_time);
    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    for (int i = 0; i < count; ++i) {
        text += "\r\n\r\nDriver: " + d.first_names[i] + " " + d.last_names[i] + " - " +
                name_tables::GetCarShortName(d.season_code[i], d.car_index[i]) + "\r\n";
        const int practice = std::clamp(d.practice_lap_count[i], 0, Drivers::kMaxLaps);
        if (practice == 0) {
            text += "\r\nNo practice laps\r\n";
        } else {
            text += "\r\nPractice laps\r\n";
            for (int n = 1; n <= practice; ++n) text += LapLine(n, d.practice_times[i][n], false);
        }
        const int race = std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps);
        if (race == 0) {
            text += "\r\nNo race laps\r\n";
        } else {
            text += "\r\nRace laps\r\n";
            for (int n = 0; n <= race; ++n) text += LapLine(n, d.race_times[i][n], true);
        }
    }
    text += "\r\n\r\n";
    text += kFooter;
    return text;
}
