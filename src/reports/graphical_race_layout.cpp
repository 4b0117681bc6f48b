#include "reports/graphical_race_layout.h"

#include <algorithm>
#include <numeric>

#include "replay/drivers.h"

namespace {

// Driver indices ordered by key, equal keys by index.
std::vector<int> OrderBy(const std::vector<int>& drivers, const std::vector<uint64_t>& key) {
    std::vector<int> order = drivers;
    std::stable_sort(order.begin(), order.end(), [&key](int a, int b) { return key[a] < key[b]; });
    return order;
}

}  // namespace

GraphicalRaceLayout::GraphicalRaceLayout(const Drivers& d) {
    driver_count_ = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    has_practice_ = d.practice_present != 0;
    const int n = driver_count_;
    std::vector<int> laps(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        // A count beyond the table would read past its entries.
        laps[i] = std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps);
        last_lap_ = std::max(last_lap_, laps[i]);
    }
    const int last = last_lap_;
    // time[i][c]: race time at the end of column c.
    std::vector<std::vector<uint64_t>> time(static_cast<size_t>(n), std::vector<uint64_t>(last + 2, 0));
    for (int i = 0; i < n; ++i) {
        uint64_t sum = 0;
        for (int c = 0; c <= last && c < Drivers::kTableWords; ++c) {
            sum += Drivers::LapMs(d.race_times[i][c]);
            time[i][c] = sum;
        }
    }
    std::vector<int> all(static_cast<size_t>(n));
    std::iota(all.begin(), all.end(), 0);

    std::vector<uint64_t> key(static_cast<size_t>(n), 0xFFFFFF);
    for (int i = 0; i < n; ++i) {
        if (has_practice_) {
            const int count = std::clamp(d.practice_lap_count[i], 0, Drivers::kMaxLaps);
            for (int k = 1; k <= count; ++k) {
                const uint32_t word = d.practice_times[i][k];
                if ((word & Drivers::kInvalidLapFlag) == 0) key[i] = std::min<uint64_t>(key[i], Drivers::LapMs(word));
            }
        } else if (laps[i] >= 1) {
            key[i] = time[i][1];
        }
    }
    starting_order_ = OrderBy(all, key);

    rows_.assign(static_cast<size_t>(last) + 1, std::vector<int>(static_cast<size_t>(n), kNoRow));
    for (int r = 0; r < n; ++r) rows_[0][starting_order_[r]] = r;
    for (int c = 1; c <= last; ++c) {
        std::vector<int> running;
        std::vector<uint64_t> at(static_cast<size_t>(n), 0);
        for (int i = 0; i < n; ++i) {
            if (laps[i] >= c) running.push_back(i);
            at[i] = time[i][c];
        }
        const std::vector<int> order = OrderBy(running, at);
        for (size_t r = 0; r < order.size(); ++r) rows_[c][order[r]] = static_cast<int>(r);
    }

    // Columns are drawn from the first one that has a column before it:
    // 1 after the practice order, else 2 after the order of lap 1.
    int lead_lap = n;
    for (int c = has_practice_ ? 1 : 2; c <= last; ++c) {
        if (c < last) {
            uint64_t leader = UINT64_MAX;
            for (int i = 0; i < n; ++i)
                if (laps[i] >= c + 1) leader = std::min(leader, time[i][c + 1]);
            lead_lap = 0;
            for (int i = 0; i < n; ++i)
                if (laps[i] >= c && time[i][c] <= leader) ++lead_lap;
        }
        // The last column has no lap after it: it keeps the count before.
        if (lead_lap < n) shades_.push_back({c, lead_lap});
        for (int i = 0; i < n; ++i) {
            const int from = rows_[c - 1][i];
            const int to = rows_[c][i];
            if (from != kNoRow && to != kNoRow) segments_.push_back({i, c - 1, from, to});
        }
    }
}

int GraphicalRaceLayout::RowAt(int driver, int column) const {
    if (column < 0 || column > last_lap_ || driver < 0 || driver >= driver_count_) return kNoRow;
    return rows_[column][driver];
}
