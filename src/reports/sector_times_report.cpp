#include "reports/sector_times_report.h"

#include <array>
#include <cstdint>

#include "reports/loaded_laps.h"
#include "reports/report_text.h"

using namespace report_text;

std::string WriteSectorTimesReport(const LoadedLaps& laps) {
    std::string text = "SECTOR TIMES\r\n\r\n";
    text += "Lap                   Sector 1  Sector 2  Sector 3  Sector 4   Laptime\r\n";
    // Best of each sector. A sector takes no part when it comes out negative
    // (split times out of order) or when one of its ends is unknown: a split
    // time of 0 was never passed (a lap without car data, or without a
    // track, has none), and a lap time of 0 has no end either.
    std::array<int64_t, 4> best{-1, -1, -1, -1};
    for (const LoadedLap& lap : laps.laps) {
        const int64_t t = lap.LapWord() & 0xFFFFFF;
        const std::array<int64_t, 4> sectors = {lap.split_ms[0], int64_t{lap.split_ms[1]} - lap.split_ms[0],
                                                int64_t{lap.split_ms[2]} - lap.split_ms[1], t - lap.split_ms[2]};
        const std::array<bool, 5> known = {true, lap.split_ms[0] != 0, lap.split_ms[1] != 0, lap.split_ms[2] != 0,
                                           t != 0};
        const std::string first = lap.FirstName();
        std::string line = LeftAlign(first.substr(0, 1) + ". " + lap.LastName(), 20);
        for (size_t s = 0; s < sectors.size(); ++s) {
            line += RightAlign(FormatLapTime(static_cast<uint32_t>(sectors[s])), 10);
            if (known[s] && known[s + 1] && sectors[s] >= 0 && (best[s] < 0 || sectors[s] < best[s]))
                best[s] = sectors[s];
        }
        line += RightAlign(FormatLapTime(static_cast<uint32_t>(t)), 10);
        text += line + "\r\n";
    }
    int64_t sum = 0;
    for (int64_t b : best) sum = b < 0 || sum < 0 ? -1 : sum + b;
    text += "\r\nTheoretically fastest laptime from the above laps combined: ";
    text += sum < 0 ? std::string(kNoTime) : FormatLapTime(static_cast<uint32_t>(sum));
    text += "\r\n\r\nGenerated with Ostrevan\r\n";
    return text;
}
