#include "reports/speed_report.h"

#include <algorithm>
#include <charconv>

#include "replay/get_rpy_info.h"
#include "replay/name_tables.h"
#include "replay/drivers.h"
#include "reports/loaded_laps.h"
#include "reports/report_text.h"

using namespace report_text;

namespace {

// Fixed-point text whatever the process's locale.
std::string Fixed(double value, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

struct LapSpeeds {
    double sector[4] = {};
    double overall = 0;
    double lowest = 0;
    double average = 0;
};

LapSpeeds Measure(const LoadedLap& lap, double length) {
    LapSpeeds out;
    const GetRpyInfo* info = lap.info;
    // Samples 0 and 1 lie before the lap's start line.
    size_t last = 0;
    if (info)
        last = std::min<size_t>({info->sample_count, info->speed.empty() ? 0 : info->speed.size() - 1,
                                 info->distance.empty() ? 0 : info->distance.size() - 1});
    double lowest = 1000.0;
    bool any = false;
    size_t i = 2;
    auto take = [&](size_t k, double& top) {
        top = std::max(top, info->speed[k]);
        lowest = std::min(lowest, info->speed[k]);
        any = true;
    };
    const double marks[3] = {0.25 * length, 0.5 * length, 0.75 * length};
    for (int s = 0; s < 3; ++s) {
        if (i > last || info->distance[i] >= marks[s]) continue;
        while (i <= last) {
            take(i, out.sector[s]);
            ++i;
            if (i > last || info->distance[i] >= marks[s]) break;
        }
    }
    for (; i <= last; ++i) take(i, out.sector[3]);
    out.overall = *std::max_element(out.sector, out.sector + 4);
    // A lap without scanned samples has no lowest speed.
    out.lowest = any ? lowest : 0.0;
    const double t = (lap.LapWord() & 0xFFFFFF) * 0.001;
    out.average = t > 0 ? length / t * 3.6 : 0.0;
    return out;
}

}  // namespace

std::string WriteSpeedReport(const LoadedLaps& laps) {
    std::string text = "SPEED REPORT\r\n\r\n";
    text += "                       ___________Topspeeds___________\r\n";
    text += "Driver (car)           Sect1 Sect2 Sect3 Sect4 Overall Lowest Average   Laptime\r\n";
    const double factor = laps.mph ? kSpeedReportMph : 1.0;
    for (const LoadedLap& lap : laps.laps) {
        const LapSpeeds v = Measure(lap, laps.track_length_m);
        std::string car;
        if (lap.drivers && lap.driver >= 0 && lap.driver < Drivers::kMaxDrivers)
            car = name_tables::GetCarName(lap.drivers->season_code[lap.driver], lap.drivers->car_index[lap.driver]);
        std::string line = LeftAlign(lap.FirstName().substr(0, 1) + ". " + lap.LastName() + "(" + car.substr(0, 3) + ")", 23);
        for (int s = 0; s < 4; ++s) line += RightAlign(Fixed(v.sector[s] * factor, 1), 5) + " ";
        line += RightAlign(Fixed(v.overall * factor, 2), 7) + " ";
        line += RightAlign(Fixed(v.lowest * factor, 2), 6) + " ";
        line += RightAlign(Fixed(v.average * factor, 3), 7);
        line += RightAlign(FormatLapTime(lap.LapWord()), 10);
        text += line + "\r\n";
    }
    text += "\r\n\r\nGenerated with Ostrevan\r\n";
    return text;
}
