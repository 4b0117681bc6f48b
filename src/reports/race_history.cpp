#include "reports/race_history.h"

#include <algorithm>
#include <numeric>

#include "replay/drivers.h"

RaceHistory::RaceHistory(const Drivers& d) {
    const int n = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    driver_count_ = n;
    laps_.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        laps_[i] = std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps);
        last_lap_ = std::max(last_lap_, laps_[i]);
    }
    const int last = last_lap_;
    std::vector<std::vector<uint64_t>> time(static_cast<size_t>(n), std::vector<uint64_t>(last + 1, 0));
    for (int i = 0; i < n; ++i) {
        uint64_t sum = 0;
        for (int u = 0; u <= last; ++u) {
            sum += Drivers::LapMs(d.race_times[i][u]);
            time[i][u] = sum;
        }
    }

    for (int i = 0; i < n; ++i)
        if (laps_[i] == last && (winner_ == kNoDriver || time[i][last] < time[winner_][last])) winner_ = i;
    uint64_t finish = 0, start = 0;
    if (winner_ != kNoDriver) {
        finish = time[winner_][last];
        start = time[winner_][0];
        // No lap at all: nobody set a pace, so every value stays 0.
        if (last > 0) average_lap_ = static_cast<double>(finish - start) / last;
    }

    values_.assign(static_cast<size_t>(n), std::vector<double>(static_cast<size_t>(last) + 1, 0.0));
    for (int i = 0; i < n; ++i) {
        if (laps_[i] == 0) continue;
        for (int u = 0; u <= laps_[i]; ++u) {
            const double v = static_cast<double>(time[i][u]) - static_cast<double>(start) - u * average_lap_;
            values_[i][u] = v;
            largest_ = std::max(largest_, v);
            smallest_ = std::min(smallest_, v);
        }
    }

    for (int c = last; c >= 0; --c) {
        std::vector<int> group;
        for (int i = 0; i < n; ++i)
            if (laps_[i] == c) group.push_back(i);
        std::stable_sort(group.begin(), group.end(), [&](int a, int b) {
            return (time[a][c] & 0xFFFFFF) < (time[b][c] & 0xFFFFFF);
        });
        finishing_order_.insert(finishing_order_.end(), group.begin(), group.end());
    }

    uint32_t best = 0xFFFFFF;
    for (int u = 1; u <= last; ++u) {
        int lowered_by = kNoDriver;
        for (int i = 0; i < n; ++i) {
            if (laps_[i] < u) continue;
            const uint32_t word = d.race_times[i][u];
            if ((word & Drivers::kInvalidLapFlag) != 0) continue;
            if (Drivers::LapMs(word) < best) {
                best = Drivers::LapMs(word);
                lowered_by = i;
            }
        }
        if (lowered_by != kNoDriver) fastest_.push_back({u, lowered_by});
    }

    for (int i = 0; i < n; ++i) {
        const int c = laps_[i];
        if (c > 0 && c < last && time[i][c] <= finish) retired_.push_back({c, i});
    }
}

int RaceHistory::PositionOf(int driver) const {
    const auto it = std::find(finishing_order_.begin(), finishing_order_.end(), driver);
    return it == finishing_order_.end() ? 0 : static_cast<int>(it - finishing_order_.begin());
}
