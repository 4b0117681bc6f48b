#pragma once
// What the race history graph plots, worked out from a replay's driver
// table without any painter: for every driver and every lap index u the
// milliseconds he was behind (positive) or ahead (negative) of the
// winner's average pace, the finishing order of the legend, where the
// race's fastest lap was lowered and where drivers retired.
//
// Race times are the sums of the low 24 bits of a driver's race entries 0
// to u. The winner is the fastest of the drivers with the most laps; the
// average lap is his race time without entry 0 over his lap count. A race
// without laps has an average lap of 0 and every value 0. Orderings break
// ties by driver index.

#include <cstdint>
#include <vector>

class Drivers;

class RaceHistory {
public:
    static constexpr int kNoDriver = -1;

    // A mark at lap index `lap` on a driver's line.
    struct Mark {
        int lap = 0;
        int driver = 0;
    };

    explicit RaceHistory(const Drivers& drivers);

    int driver_count() const { return driver_count_; }  // at most 20
    int last_lap() const { return last_lap_; }          // L
    int laps(int driver) const { return laps_[driver]; }
    int winner() const { return winner_; }              // kNoDriver without drivers
    double average_lap_ms() const { return average_lap_; }
    // At least 0.0 and at most 30.0 respectively, over the values of the
    // laps the drivers reached.
    double largest_ms() const { return largest_; }
    double smallest_ms() const { return smallest_; }
    // 0 for a lap index past the driver's count, or for a driver without a
    // lap.
    double Value(int driver, int lap) const { return values_[driver][lap]; }
    // Most laps first, then the earlier race time (low 24 bits).
    const std::vector<int>& finishing_order() const { return finishing_order_; }
    // Position in the finishing order (0 the winner) of a driver.
    int PositionOf(int driver) const;
    // Each lap index at which the race's fastest valid lap was lowered,
    // with the driver who lowered it last there. A lap counts as the race
    // report counts it: one of the driver's own laps, not flagged invalid,
    // with a time.
    const std::vector<Mark>& fastest_lap_marks() const { return fastest_; }
    // Drivers with fewer laps than the winner (but at least one) whose race
    // time at their last lap is not later than the winner's finish.
    const std::vector<Mark>& retired_marks() const { return retired_; }

private:
    int driver_count_ = 0;
    int last_lap_ = 0;
    int winner_ = kNoDriver;
    double average_lap_ = 0.0;
    double largest_ = 0.0;
    double smallest_ = 30.0;
    std::vector<int> laps_;
    std::vector<std::vector<double>> values_;
    std::vector<int> finishing_order_;
    std::vector<Mark> fastest_;
    std::vector<Mark> retired_;
};
