#include "reports/race_report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "replay/drivers.h"
#include "replay/name_tables.h"
#include "reports/car_status.h"
#include "reports/report_input.h"
#include "reports/report_text.h"

using namespace report_text;

namespace {

// Low 24 bits of a race entry 0 that the replay never set: the driver never
// reached the grid.
constexpr uint32_t kUnsetMs = Drivers::kNoTime & 0xFFFFFF;

constexpr std::string_view kNotes =
    "Race results are unofficial\r\n(Replay might have been saved before end of race)\r\n\r\n";

// What every table of the report is built from, computed once per report.
struct Race {
    explicit Race(const Drivers& table) : d(table) {}

    const Drivers& d;
    int count = 0;     // drivers looked at, at most 20
    int last_lap = 0;  // the largest race lap count
    std::vector<int> laps;
    // running[i][k]: the low 24 bits of race entries 0 to k summed. Lap
    // counts differ, so entries past a driver's own count are summed too;
    // no table reads them. Only the low 24 bits are ever compared, so the
    // sum may wrap.
    std::vector<std::vector<uint32_t>> running;
    std::vector<int> leader;  // driver leading at the end of lap k (1 to last_lap)
    std::vector<int> finish;  // 1-based finishing position, set by the classification

    std::string Name(int i) const { return LeftAlign(d.first_names[i] + " " + d.last_names[i], 32); }
};

Race Build(const Drivers& d) {
    Race r(d);
    r.count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    for (int i = 0; i < r.count; ++i) {
        // A count beyond the table would read past its 150 entries.
        r.laps.push_back(std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps));
        r.last_lap = std::max(r.last_lap, r.laps.back());
    }
    for (int i = 0; i < r.count; ++i) {
        std::vector<uint32_t> sums(static_cast<size_t>(r.last_lap) + 1);
        sums[0] = Drivers::LapMs(d.race_times[i][0]);
        for (int k = 1; k <= r.last_lap; ++k) sums[k] = sums[k - 1] + Drivers::LapMs(d.race_times[i][k]);
        r.running.push_back(std::move(sums));
    }
    r.leader.assign(static_cast<size_t>(r.last_lap) + 1, -1);
    for (int k = 1; k <= r.last_lap; ++k) {
        std::vector<uint32_t> keys;
        for (int i = 0; i < r.count; ++i)
            if (r.laps[i] >= k) keys.push_back(Pack(i, r.running[i][k]));
        SortByTime(keys);
        r.leader[k] = PackedDriver(keys.front());  // the driver on last_lap laps always qualifies
    }
    r.finish.assign(static_cast<size_t>(r.count), 0);
    return r;
}

// Short reason only: the long texts of unknown codes span lines and would
// break the table, and cutting a long text after its colon leaves fragments
// such as "l Pressure".
std::string Problem(const CarStatusTable* status, uint32_t slot) {
    const int code = status ? status->RetirementCode(slot) : 0;
    if (code == 0) return {};
    return RightAlign(RetirementReason(code, true), 10);
}

std::string Classification(Race& r, bool problem_column, const CarStatusTable* status) {
    const Drivers& d = r.d;
    std::string text = "Pos No Driver                          Team     Nat Laps   Race Time       Diff";
    if (problem_column) text += "    Problem";
    text += "\r\n";

    // More laps rank higher; within a lap count, less time does.
    std::vector<uint32_t> order;
    for (int c = r.last_lap; c >= 0; --c) {
        std::vector<uint32_t> group;
        for (int i = 0; i < r.count; ++i)
            if (r.laps[i] == c) group.push_back(Pack(i, r.running[i][c]));
        SortByTime(group);
        order.insert(order.end(), group.begin(), group.end());
    }

    const int winner = order.empty() ? -1 : PackedDriver(order.front());
    for (size_t p = 0; p < order.size(); ++p) {
        const int i = PackedDriver(order[p]);
        const int c = r.laps[i];
        r.finish[i] = static_cast<int>(p) + 1;

        std::string line = RightAlign(static_cast<long long>(p + 1), 2) + "  ";
        line += RightAlign(static_cast<long long>(d.value128[i]), 2) + " ";
        line += r.Name(i);
        line += LeftAlign(name_tables::GetCarShortName(d.season_code[i], d.car_index[i]), 9);
        line += LeftAlign(d.country_codes[i], 3) + " ";
        line += RightAlign(static_cast<long long>(c), 4) + " ";

        // Race times run from the winner's start, not the driver's own.
        std::string time;
        if (c > 0)
            time = FormatLapTime(r.running[i][c] - r.running[winner][0]);
        else
            time = Drivers::LapMs(d.race_times[i][0]) == kUnsetMs ? "DidNotStart" : "0m00.000s";
        line += RightAlign(time, 11) + " ";

        if (p == 0) {
            line += std::string(11, ' ');
        } else if (c == r.last_lap) {
            const std::string diff = r.last_lap == 0
                                         ? std::string(kNoTime)
                                         : FormatLapTime(r.running[i][c] - r.running[winner][r.last_lap]);
            line += RightAlign(diff, 10) + " ";
        } else {
            // Cut to 9 first: at most two digits of the count remain.
            line += RightAlign(RightAlign(std::to_string(r.last_lap - c) + " lap(s)", 9), 10) + " ";
        }

        if (problem_column) line += Problem(status, d.slot[i]);
        text += line + "\r\n";
    }
    text += "\r\n\r\n";
    text += kNotes;
    return text;
}

std::string FastestLaps(const Race& r) {
    const Drivers& d = r.d;
    std::vector<uint32_t> best;
    std::vector<int> best_lap(static_cast<size_t>(r.count), 0);
    for (int i = 0; i < r.count; ++i) {
        uint32_t t = kNoTimeMs;
        // Strictly less: a later lap of the same time keeps the earlier one.
        for (int k = 1; k <= r.laps[i]; ++k) {
            const uint32_t word = d.race_times[i][k];
            if ((word & Drivers::kInvalidLapFlag) == 0 && Drivers::LapMs(word) < t) {
                t = Drivers::LapMs(word);
                best_lap[i] = k;
            }
        }
        best.push_back(Pack(i, t));
    }
    SortByTime(best);

    std::string text = "RACE FASTEST LAPS\r\n\r\n";
    text += "Pos Driver                                 Time Lap\r\n";
    for (size_t p = 0; p < best.size(); ++p) {
        const int i = PackedDriver(best[p]);
        const uint32_t t = PackedTime(best[p]);
        std::string line = RightAlign(static_cast<long long>(p + 1), 2) + "  " + r.Name(i) + " ";
        if (t == kNoTimeMs)
            line += RightAlign(kNoTime, 10) + std::string(4, ' ');
        else
            line += RightAlign(FormatLapTime(t), 10) + RightAlign(static_cast<long long>(best_lap[i]), 4);
        text += line + "\r\n";
    }
    return text;
}

std::string Leaders(const Race& r) {
    std::string text = "\r\n\r\nLEADERS\r\n\r\n";
    text += "Driver                           Laps\r\n";
    std::vector<int> stints(static_cast<size_t>(Drivers::kMaxDrivers), 0);
    int current = -1, start = 0, total = 0;
    auto close = [&](int lap) {
        if (lap != start) {
            text += '-';
            text += std::to_string(lap);
        }
        text += "\r\n";
    };
    for (int k = 1; k <= r.last_lap; ++k) {
        if (r.leader[k] == current) continue;
        if (current >= 0) close(k - 1);
        current = r.leader[k];
        ++stints[current];
        ++total;
        start = k;
        text += r.Name(current) + " " + std::to_string(k);
    }
    if (current >= 0) close(r.last_lap);
    text += "\r\n";
    // A race without a completed lap has no stint at all: no change either.
    text += "Number of lead changes: " + std::to_string(std::max(total - 1, 0)) + "\r\n";
    const auto leaders = std::count_if(stints.begin(), stints.end(), [](int n) { return n != 0; });
    text += "Number of leaders: " + std::to_string(leaders) + "\r\n";
    return text;
}

// Orders driver indices by a key, the larger key first; equal keys by
// driver index so the same replay always gives the same text.
void SortDescending(std::vector<int>& drivers, const std::vector<int>& key) {
    std::sort(drivers.begin(), drivers.end(), [&key](int a, int b) {
        if (key[a] != key[b]) return key[a] > key[b];
        return a < b;
    });
}

std::string LapsLed(const Race& r) {
    std::vector<int> led(static_cast<size_t>(r.count), 0);
    for (int k = 1; k <= r.last_lap; ++k) ++led[r.leader[k]];
    std::vector<int> order;
    for (int i = 0; i < r.count; ++i) order.push_back(i);
    SortDescending(order, led);

    std::string text = "\r\n\r\nLAPS LED\r\n\r\n";
    text += "Driver                           Laps led\r\n";
    for (int i : order)
        if (led[i] != 0) text += r.Name(i) + " " + std::to_string(led[i]) + "\r\n";
    return text;
}

std::string HighestClimber(const Race& r) {
    const Drivers& d = r.d;
    if (!d.practice_present) return "\r\nReplay doesn't contain practice info - skipping \"Highest Climber\" table\r\n";

    // The grid: best valid practice lap, drivers without one at the back.
    std::vector<uint32_t> grid;
    for (int i = 0; i < r.count; ++i) {
        uint32_t t = kNoTimeMs;
        const int laps = std::clamp(d.practice_lap_count[i], 0, Drivers::kMaxLaps);
        for (int k = 1; k <= laps; ++k) {
            const uint32_t word = d.practice_times[i][k];
            if ((word & Drivers::kInvalidLapFlag) == 0) t = std::min(t, Drivers::LapMs(word));
        }
        grid.push_back(Pack(i, t));
    }
    SortByTime(grid);
    std::vector<int> start(static_cast<size_t>(r.count), 0);
    for (size_t p = 0; p < grid.size(); ++p) start[PackedDriver(grid[p])] = static_cast<int>(p) + 1;

    std::vector<int> change(static_cast<size_t>(r.count), 0);
    std::vector<int> order;
    for (int i = 0; i < r.count; ++i) {
        change[i] = start[i] - r.finish[i];
        order.push_back(i);
    }
    SortDescending(order, change);

    std::string text = "\r\n\r\nHIGHEST CLIMBER\r\n\r\n";
    text += "Driver                           Start Finish  Change\r\n";
    for (int i : order) {
        text += r.Name(i) + "    " + RightAlign(start[i], 2) + "     " + RightAlign(r.finish[i], 2) + "     " +
                RightAlign(change[i], 3) + "  \r\n";
    }
    return text;
}

// share x 100 with four significant digits, cut two places after the point:
// 87.5 -> "87.50", 66.666... -> "66.67", 100 -> "100.00", 0 -> "0.00".
std::string Percent(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", value);
    std::string text = buf;
    if (text.find('.') == std::string::npos) text += ".";
    text += "00";
    return text.substr(0, text.find('.') + 3);
}

std::string OnTrackLaps(const Race& r) {
    const Drivers& d = r.d;
    std::vector<int> on(static_cast<size_t>(r.count), 0);
    std::vector<int> order;
    for (int i = 0; i < r.count; ++i) {
        if (r.laps[i] == 0) continue;
        int off = 0;
        for (int k = 1; k <= r.laps[i]; ++k)
            if ((d.race_times[i][k] & Drivers::kOffTrackFlag) != 0) ++off;
        on[i] = r.laps[i] - off;
        order.push_back(i);
    }
    SortDescending(order, on);

    std::string text = "\r\n\r\nON TRACK LAPS\r\n\r\n";
    text += "Driver                           Laps/Total    Percent\r\n";
    for (int i : order) {
        const int t = r.laps[i];
        const double share = 1.0 - static_cast<double>(t - on[i]) / t;
        const std::string ratio = "     (" + std::to_string(on[i]) + "/" + std::to_string(t) + ")";
        text += r.Name(i) + "  " + RightAlign(ratio, 9) + "     " + RightAlign(Percent(share * 100.0), 6) + "\r\n";
    }
    return text;
}

// Milliseconds as seconds with three decimals, cut rather than rounded
// after the third: 1234.5 -> "1.234".
std::string Seconds(double ms) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", ms * 0.001);
    const std::string text = buf;
    return text.substr(0, text.find('.') + 4);
}

std::string Consistency(const Race& r) {
    const Drivers& d = r.d;
    struct Row {
        uint32_t average = 0;
        uint32_t deviation = 0;
        double std_deviation = 0;
    };
    std::vector<Row> rows(static_cast<size_t>(r.count));
    std::vector<uint32_t> order;
    for (int i = 0; i < r.count; ++i) {
        const int t = r.laps[i];
        if (t < 2) continue;
        // The first lap, from a standing start, is left out.
        const uint64_t n = static_cast<uint64_t>(t - 1);
        uint64_t sum = 0;
        for (int k = 2; k <= t; ++k) sum += Drivers::LapMs(d.race_times[i][k]);
        const int64_t average = static_cast<int64_t>(sum / n);
        uint64_t absolute = 0, squares = 0;
        for (int k = 2; k <= t; ++k) {
            const int64_t diff = static_cast<int64_t>(Drivers::LapMs(d.race_times[i][k])) - average;
            absolute += static_cast<uint64_t>(diff < 0 ? -diff : diff);
            squares += static_cast<uint64_t>(diff * diff);
        }
        Row& row = rows[i];
        row.average = static_cast<uint32_t>(average);
        row.deviation = static_cast<uint32_t>(absolute / n);
        row.std_deviation = std::sqrt(static_cast<double>(squares / n));
        order.push_back(Pack(i, row.deviation));
    }
    SortByTime(order);

    std::string text = "\r\n\r\nRACE LAPTIME CONSISTENCY\r\n(first lap excluded)\r\n\r\n";
    text += "Driver                    Avg Deviation  Std Deviation  Avg Laptime   Laps\r\n";
    for (uint32_t packed : order) {
        const int i = PackedDriver(packed);
        const Row& row = rows[i];
        text += r.Name(i) + RightAlign(Seconds(row.deviation), 7) + std::string(8, ' ') +
                RightAlign(Seconds(row.std_deviation), 7) + "   " + RightAlign(FormatLapTime(row.average), 10) + "   " +
                RightAlign(static_cast<long long>(r.laps[i]), 4) + "\r\n";
    }
    return text;
}

}  // namespace

std::string WriteRaceReport(const ReportInput& in, bool problem_column, const CarStatusTable* status,
                            RaceReportLayout* layout) {
    const Drivers& d = *in.drivers;
    if (layout) *layout = RaceReportLayout{};
    if (!d.race_present) return std::string(kNoRaceData);

    Race race = Build(d);
    std::string text = TrackLine(*in.header, in.file_time) + "\r\n\r\n";
    text += "RACE RESULTS (After " + std::to_string(race.last_lap) + " laps)\r\n\r\n";
    text += Classification(race, problem_column, status);
    if (layout) layout->fastest_laps = text.size();
    text += FastestLaps(race);
    text += Leaders(race);
    // Its heading follows the two line ends that part it from the leaders.
    if (layout) layout->laps_led = text.size() + 4;
    text += LapsLed(race);
    text += HighestClimber(race);
    text += OnTrackLaps(race);
    text += Consistency(race);
    text += "\r\n\r\nAll times are unofficial\r\n(Replay might have been saved before end of race)\r\n\r\n";
    text += kFooter;
    return text;
}
