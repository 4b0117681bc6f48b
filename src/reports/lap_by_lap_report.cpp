#include "reports/lap_by_lap_report.h"

#include <algorithm>
#include <array>

#include "replay/drivers.h"
#include "replay/name_tables.h"
#include "reports/report_input.h"
#include "reports/report_text.h"

using namespace report_text;

namespace {

constexpr uint16_t kEmpty = 0xFFFF;
constexpr int kRows = Drivers::kTableWords;  // laps 0 to 149
constexpr int kSlots = Drivers::kMaxDrivers;

using Row = std::array<uint16_t, kSlots>;

int PositionIn(const Row& row, int driver) {
    for (int p = 0; p < kSlots; ++p)
        if (row[p] == driver) return p;
    return -1;
}

}  // namespace

std::string WriteLapByLapReport(const ReportInput& in) {
    const Drivers& d = *in.drivers;
    if (!d.race_present) return std::string(kNoRaceData);
    if (d.driver_count < 2) return "This replay file does not contain enough data.";

    const int count = std::min<int>(d.driver_count, kSlots);
    const bool practice = d.practice_present != 0;
    auto name = [&d](int i) { return d.first_names[i] + " " + d.last_names[i]; };
    auto race_laps = [&d](int i) { return std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps); };

    std::string text = TrackLine(*in.header, in.file_time) + "\r\n\r\n";

    // Row 0 is the starting grid (from practice), row L the running order
    // at the end of lap L.
    std::vector<Row> order(kRows);
    for (auto& row : order) row.fill(kEmpty);
    std::vector<std::array<uint32_t, kSlots>> cumulative(kRows);

    if (practice) {
        std::vector<uint32_t> keys;
        for (int i = 0; i < count; ++i) {
            uint32_t t = kNoTimeMs;
            const int laps = std::clamp(d.practice_lap_count[i], 0, Drivers::kMaxLaps);
            for (int k = 1; k <= laps; ++k) {
                const uint32_t word = d.practice_times[i][k];
                if ((word & Drivers::kInvalidLapFlag) == 0 && Drivers::LapMs(word) < t) t = Drivers::LapMs(word);
            }
            keys.push_back(Pack(i, t));
        }
        SortByTime(keys);
        for (size_t p = 0; p < keys.size(); ++p) order[0][p] = static_cast<uint16_t>(PackedDriver(keys[p]));
    }

    int last_lap = 0;
    for (int i = 0; i < count; ++i) last_lap = std::max(last_lap, race_laps(i));
    uint32_t winner_total = kNoTimeMs;
    for (int lap = 0; lap <= last_lap; ++lap) {
        for (int i = 0; i < count; ++i)
            cumulative[lap][i] = Drivers::LapMs(d.race_times[i][lap]) + (lap > 0 ? cumulative[lap - 1][i] : 0);
        if (lap == 0) continue;
        std::vector<uint32_t> keys;
        for (int i = 0; i < count; ++i)
            if (race_laps(i) >= lap) keys.push_back(Pack(i, cumulative[lap][i]));
        SortByTime(keys);
        for (size_t p = 0; p < keys.size(); ++p) order[lap][p] = static_cast<uint16_t>(PackedDriver(keys[p]));
        if (lap == last_lap && !keys.empty()) winner_total = PackedTime(keys[0]);
    }

    // Fastest valid lap; a strictly lower time replaces it, so ties go to
    // the lower driver index, then the lower lap.
    int fastest_driver = -1, fastest_lap = -1;
    uint32_t fastest_time = kNoTimeMs;
    for (int i = 0; i < count; ++i) {
        for (int lap = 1; lap <= race_laps(i); ++lap) {
            const uint32_t word = d.race_times[i][lap];
            if ((word & Drivers::kInvalidLapFlag) == 0 && Drivers::LapMs(word) < fastest_time) {
                fastest_time = Drivers::LapMs(word);
                fastest_driver = i;
                fastest_lap = lap;
            }
        }
    }

    text += "LAP BY LAP RACE REPORT\r\n\r\nStart of the race:\r\n";
    for (int i = 0; i < count; ++i)
        if (d.race_times[i][0] == Drivers::kNoTime) text += name(i) + " fails to make the start.\r\n";
    if (practice && order[0][0] != kEmpty) {
        const int pole = order[0][0];
        text += "Polesitter " + name(pole) + " in a " + name_tables::GetCarName(d.season_code[pole], d.car_index[pole]) +
                " leads the field as the flag drops.\r\n";
    }
    text += "\r\n";

    for (int lap = 1; lap <= last_lap; ++lap) {
        const Row& now = order[lap];
        const Row& before = order[lap - 1];
        std::string part = "Lap " + std::to_string(lap) + ":\r\n";

        if (in.off_track_in_race_report) {
            for (int i = 0; i < count; ++i)
                if (race_laps(i) >= lap && (d.race_times[i][lap] >> 24) == 0x40)
                    part += name(i) + " goes off the track but rejoins.\r\n";
        }

        for (int p = kSlots - 1; p >= 0; --p) {
            const int a = now[p];
            if (a == kEmpty || before[p] == a || (lap == 1 && !practice)) continue;
            const int q = PositionIn(before, a);
            if (q < 0) continue;
            bool overtook = false;
            for (int r = q - 1; r >= 0; --r) {
                const int b = before[r];
                if (b == kEmpty) continue;
                const int b_now = PositionIn(now, b);
                if (b_now > p || b_now < 0) {
                    part += name(a) + " overtakes " + name(b) + ".\r\n";
                    overtook = true;
                }
            }
            if (overtook) part += name(a) + " is in position " + std::to_string(p + 1) + " at the end of the lap.\r\n";
        }

        if (now[0] != before[0] && (lap > 1 || practice) && now[0] != kEmpty && before[0] != kEmpty) {
            part += name(before[0]) + " loses the lead.\r\n";
            part += "The new race leader is " + name(now[0]) + ".\r\n";
        }

        for (int i = 0; i < count; ++i) {
            if (race_laps(i) != lap - 1 || d.race_times[i][0] == Drivers::kNoTime || !(lap > 1 || practice)) continue;
            if ((cumulative[lap - 1][i] & 0xFFFFFF) < winner_total)
                part += name(i) + " retires the " + name_tables::GetCarName(d.season_code[i], d.car_index[i]) + ".\r\n";
        }

        if (lap == fastest_lap) {
            part += "What would become the fastest lap of the race is set by " + name(fastest_driver) + ".\r\n";
            part += "The time is an impressive " + FormatLapTime(fastest_time) + ".\r\n";
        }

        if (part.size() > 15) text += part + "\r\n";
    }

    const Row& final_row = order[last_lap];
    if (last_lap > 0 && final_row[0] != kEmpty) {
        const int w = final_row[0], s = final_row[1], t = final_row[2];
        text += "End of the race:\r\n" + name(w) + " wins the race";
        if (count > 1 && s != kEmpty && t != kEmpty) {
            text += " " + FormatLapTime(cumulative[last_lap][s] - cumulative[last_lap][w]) + " ahead of " + name(s) +
                    ".\r\n";
            text += "Last of the podium finishers was " + name(t) + ",\r\nfinishing " +
                    FormatLapTime(cumulative[last_lap][t] - cumulative[last_lap][w]) + " behind the winner.\r\n";
        }
        text += "\r\nFinishing order and last lap info is unofficial\r\n";
        text += "(Replay might have been saved before end of race)\r\n\r\n";
    }
    text += kFooter;
    return text;
}
