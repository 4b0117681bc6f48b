#pragma once
// Where a ruler puts its ticks, labels and unit text, worked out from the
// ruler's rectangle, its range and the font's measurements, so that the
// drawing only paints what is here.
//
// Sizes are device pixels; the fixed sizes are inches turned into pixels
// with the device's dots per inch (truncated, at least 1): horizontal
// rulers measure their thickness and font by the vertical resolution,
// vertical rulers by the horizontal one.
//
// The horizontal ruler runs along the top of the plot (x axis, minimum at
// the left), the vertical one along its left edge (y axis, minimum at the
// bottom, text turned 90 degrees counter-clockwise).

#include <functional>
#include <string>
#include <vector>

class RulerLayout {
public:
    enum class Orientation { Horizontal, Vertical };

    struct Metrics {
        int thickness = 0;    // the ruler's thickness (1/6 inch)
        int font_height = 0;  // label font height
        int tick_length = 0;  // 1/24 inch
        int label_width = 0;  // width of "9.99 " in the label font
        // Width of the unit text followed by "-10", plus the 1/60-inch gap.
        int unit_width = 0;
        // Measures a label in the label font. With it, a label that would
        // run into the label before it is left out, so no two labels
        // overlap however many the ruler was asked for; without it every
        // label counts as label_width wide.
        std::function<int(const std::string&)> text_width = nullptr;
    };
    struct Tick {
        int pixel = 0;        // x for the horizontal ruler, y for the vertical
        std::string label;    // the value in units of 10 to the exponent, "%.1f"
        bool show_label = false;
        int label_x = 0;      // top-left corner of the text, before turning
        int label_y = 0;
    };

    static int InchesToPixels(double inches, int dots_per_inch);
    static int Thickness(int dots_per_inch);
    static int FontHeight(int dots_per_inch);
    static int TickLength(int dots_per_inch);
    static int UnitGap(int dots_per_inch);
    // How many labels of `label_width` fit along `extent` beside the
    // ruler's thickness; at least 1, so the tiniest ruler still asks for
    // one.
    static int MaxLabelCount(int extent, int thickness, int label_width);

    // The unit text a ruler over minimum..maximum shows: the unit, with
    // "*" and the axis's power of ten when that is not 0.
    static std::string UnitText(const std::string& unit, double minimum, double maximum);

    // The layout of a ruler over the rectangle (left, top, right, bottom;
    // right and bottom one past the last pixel) for the range
    // minimum..maximum with room for `label_count` labels.
    static RulerLayout Build(Orientation orientation, int left, int top, int right, int bottom, double minimum,
                             double maximum, int label_count, const std::string& unit, const Metrics& metrics);

    // False when the ruler is too small for anything but its background
    // and frame.
    bool has_scale = false;
    int exponent = 0;
    std::vector<Tick> ticks;
    std::vector<int> minor_ticks;
    std::string unit_text;  // unit, or unit "*" exponent
    int unit_x = 0;
    int unit_y = 0;
};
