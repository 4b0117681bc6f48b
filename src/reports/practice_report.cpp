#include "reports/practice_report.h"

#include <algorithm>

#include "replay/drivers.h"
#include "replay/name_tables.h"
#include "reports/report_input.h"
#include "reports/report_text.h"

using namespace report_text;

std::string WritePracticeReport(const ReportInput& in) {
    const Drivers& d = *in.drivers;
    if (!d.practice_present) return std::string(kNoPracticeData);

    std::string text = TrackLine(*in.header, in.file_time) + "\r\n\r\n";
    text += "PRACTICE TIMES\r\n\r\n";
    text += "Pos No Driver                           Team     Nat      Time      Diff Laps\r\n";

    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    std::vector<uint32_t> best;
    for (int i = 0; i < count; ++i) {
        uint32_t t = kNoTimeMs;
        const int laps = std::clamp(d.practice_lap_count[i], 0, Drivers::kMaxLaps);
        // Laps flagged invalid never count; laps only off the track do.
        for (int k = 1; k <= laps; ++k) {
            const uint32_t word = d.practice_times[i][k];
            if ((word & Drivers::kInvalidLapFlag) == 0) t = std::min(t, Drivers::LapMs(word));
        }
        best.push_back(Pack(i, t));
    }
    SortByTime(best);

    const uint32_t fastest = best.empty() ? kNoTimeMs : PackedTime(best[0]);
    for (size_t p = 0; p < best.size(); ++p) {
        const int i = PackedDriver(best[p]);
        const uint32_t t = PackedTime(best[p]);
        std::string line = RightAlign(static_cast<long long>(p + 1), 2) + "  ";
        line += RightAlign(static_cast<long long>(d.value128[i]), 2) + " ";
        line += LeftAlign(d.first_names[i] + " " + d.last_names[i], 32) + " ";
        line += LeftAlign(name_tables::GetCarShortName(d.season_code[i], d.car_index[i]), 9);
        line += LeftAlign(d.country_codes[i], 3);
        line += RightAlign(t == kNoTimeMs ? std::string(kNoTime) : FormatLapTime(t), 10);
        if (p == 0)
            line += std::string(10, ' ');
        else
            line += RightAlign(t == kNoTimeMs ? std::string(kNoTime) : FormatLapTime(t - fastest), 10);
        line += ' ';
        line += RightAlign(static_cast<long long>(d.practice_lap_count[i]), 4);
        text += line + "\r\n";
    }

    text += "\r\n";
    if (d.race_present)
        text += "All times are official\r\n";
    else
        text += "All times are unofficial\r\n(Replay might have been saved before end of practice)\r\n\r\n";
    text += kFooter;
    return text;
}
