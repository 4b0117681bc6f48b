#pragma once
// What the graphical race report draws, worked out from a replay's driver
// table without any painter: one row per position and one column per lap
// (column 0 is the start, "S"), each driver's row at the end of every lap,
// the thick line segments between his rows, the shading of lapped cells,
// and the starting order that labels the rows.
//
// Race times are the sums of the low 24 bits of a driver's race entries 0
// to c (entry 0 runs from the start to the line). Every ordering breaks
// ties by driver index, so the same replay always gives the same chart.

#include <cstdint>
#include <vector>

class Drivers;

class GraphicalRaceLayout {
public:
    static constexpr int kCell = 18;       // row height and column width, pixels
    static constexpr int kTopMargin = 20;  // first row's top
    static constexpr int kGridLeft = 188;  // column 0's left edge
    static constexpr int kNoRow = 255;

    // A line from a driver's row in one column to his row in the next.
    struct Segment {
        int driver = 0;
        int from_column = 0;
        int from_row = 0;
        int to_row = 0;  // in from_column + 1
    };
    // Column `column` is shaded from row `first_row` to the bottom.
    struct Shade {
        int column = 0;
        int first_row = 0;
    };

    explicit GraphicalRaceLayout(const Drivers& drivers);

    int driver_count() const { return driver_count_; }  // N, at most 20
    int last_lap() const { return last_lap_; }          // L, the largest race lap count
    // (L + 1) x 18 + 218 by N x 18 + 50 pixels.
    int width() const { return (last_lap_ + 1) * kCell + 218; }
    int height() const { return driver_count_ * kCell + 50; }
    // With practice data the start is the practice order and column 0
    // holds it; without, the order after lap 1 labels the rows, each with
    // a "?" in column 0, and the lines begin at column 1.
    bool has_practice() const { return has_practice_; }
    // Driver index at each row of the name labels.
    const std::vector<int>& starting_order() const { return starting_order_; }
    const std::vector<Segment>& segments() const { return segments_; }
    const std::vector<Shade>& shades() const { return shades_; }
    // A driver's row at the end of lap c (column c), or kNoRow when he has
    // no such lap; column 0 is the starting order.
    int RowAt(int driver, int column) const;

private:
    int driver_count_ = 0;
    int last_lap_ = 0;
    bool has_practice_ = false;
    std::vector<int> starting_order_;
    std::vector<std::vector<int>> rows_;  // [column][driver]
    std::vector<Segment> segments_;
    std::vector<Shade> shades_;
};
