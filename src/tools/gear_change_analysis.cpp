#include "tools/gear_change_analysis.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "replay/get_rpy_info.h"

const std::array<const char*, 6> kGearChangeHeadings = {"Gearchange", "Meter ", "Revs ", "Revs-", "Speed-", "Time"};

namespace {

constexpr double kTick = 0.027777777777777776;

// Sums stay 32-bit integers: every term is added as a double and the sum
// truncated again, as the statistics have always been kept.
void Accumulate(int32_t& sum, double term) { sum = static_cast<int32_t>(std::trunc(static_cast<double>(sum) + term)); }

std::string Int(double value) { return std::to_string(static_cast<long long>(std::trunc(value))); }

struct GearSums {
    int32_t revs = 0;
    int32_t revs_dropped = 0;
    int32_t speed_dropped = 0;
    int32_t count = 0;
};

}  // namespace

std::string FormatShiftDuration(unsigned ticks) {
    const unsigned ms = ticks * 277778u / 10000u;
    char text[32];
    if (ms >= 1000)
        std::snprintf(text, sizeof text, "%u.%03u", ms / 1000, ms % 1000);
    else
        std::snprintf(text, sizeof text, ".%03u", ms);
    return text;
}

std::string FormatNeutralTime(int ticks, int shifts) {
    const double total = ticks * kTick;
    char text[64];
    if (shifts > 0)
        std::snprintf(text, sizeof text, "%.3fs (%.3fs)", total, total / shifts);
    else
        std::snprintf(text, sizeof text, "%.3fs (-)", total);
    return text;
}

GearChangeResult AnalyseGearChanges(const GetRpyInfo& lap) {
    GearChangeResult result;
    // Channels hold samples 1..n; a lap whose channels are shorter than
    // that is read only as far as all four reach.
    size_t n = lap.sample_count;
    for (size_t size : {lap.gear.size(), lap.revs.size(), lap.distance.size(), lap.speed.size()})
        if (size == 0)
            n = 0;
        else if (n > size - 1)
            n = size - 1;
    const auto& g = lap.gear;
    const auto& r = lap.revs;
    const auto& d = lap.distance;
    const auto& v = lap.speed;

    int up_ticks = 0;
    int down_ticks = 0;
    std::array<GearSums, 5> gears{};
    size_t i = 1;
    while (i <= n && g[i] == 0) ++i;  // neutral at the start of the lap
    while (i < n) {
        if (g[i] != 0) {
            ++i;
            continue;
        }
        const size_t last = i - 1;
        size_t next = i + 1;
        while (next <= n && g[next] == 0) ++next;
        if (next > n) break;  // the lap ends in neutral: no following gear

        GearChangeRow row;
        row.columns[0] = std::to_string(result.rows.size() + 1) + ": " + std::to_string(g[last]) + "->" +
                         std::to_string(g[next]);
        row.columns[1] = Int(d[last]);
        row.columns[2] = Int(r[last]);
        row.columns[3] = Int(r[next] - r[last]);
        row.columns[4] = Int(v[next] + 0.5 - v[last]);
        const auto ticks = static_cast<unsigned>(next - last);
        row.columns[5] = FormatShiftDuration(ticks);
        result.rows.push_back(std::move(row));

        if (g[next] < g[last]) {
            ++result.downshifts;
            down_ticks += static_cast<int>(ticks);
        } else {
            ++result.upshifts;
            up_ticks += static_cast<int>(ticks);
            if (g[next] >= 2 && g[next] <= 6) {
                GearSums& s = gears[static_cast<size_t>(g[next] - 2)];
                Accumulate(s.revs, r[last]);
                Accumulate(s.revs_dropped, r[last] - r[next]);
                Accumulate(s.speed_dropped, std::trunc(v[last] + 0.5 - v[next]));
                ++s.count;
            }
            // last + 2 <= next: a change holds at least one neutral sample.
            if (r[last] < r[last + 2] && r[next - 1] > r[last]) ++result.speedshifts;
        }
        i = next + 1;
    }

    GearChangeStats& st = result.stats;
    st.changes = result.upshifts + result.downshifts;
    st.upshift_neutral = FormatNeutralTime(up_ticks, result.upshifts);
    st.downshift_neutral = FormatNeutralTime(down_ticks, result.downshifts);
    st.speedshift_text = "Out of " + std::to_string(result.upshifts) + " upshifts, " +
                         std::to_string(result.speedshifts) +
                         (result.speedshifts >= 2 ? " were speedshifts." : " was a speedshift.");
    for (size_t k = 0; k < gears.size(); ++k) {
        const GearSums& s = gears[k];
        if (s.count <= 0) continue;
        st.avg_revs[k] = std::to_string(s.revs / s.count);
        st.avg_revs_dropped[k] = std::to_string(s.revs_dropped / s.count);
        st.avg_speed_dropped[k] = std::to_string(s.speed_dropped / s.count);
    }
    return result;
}
