#include "graph/ruler_layout.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "graph/axis_scale.h"
#include "graph/graph_axis_label.h"

namespace {

std::string WithExponent(const std::string& unit, int exponent) {
    return exponent != 0 ? unit + "*" + std::to_string(exponent) : unit;
}

}  // namespace

std::string RulerLayout::UnitText(const std::string& unit, double minimum, double maximum) {
    // The exponent depends on the range alone, not on the pixels or the
    // number of labels.
    AxisScale scale;
    scale.SetRange(0, 1, minimum, maximum);
    return WithExponent(unit, scale.ComputeTicks(1).exponent);
}

int RulerLayout::InchesToPixels(double inches, int dots_per_inch) {
    return std::max(1, static_cast<int>(inches * dots_per_inch));
}

int RulerLayout::Thickness(int dots_per_inch) { return InchesToPixels(0.16666666666666666, dots_per_inch); }
int RulerLayout::FontHeight(int dots_per_inch) { return InchesToPixels(0.14749262536873156, dots_per_inch); }
int RulerLayout::TickLength(int dots_per_inch) { return InchesToPixels(0.041666666666666664, dots_per_inch); }
int RulerLayout::UnitGap(int dots_per_inch) { return InchesToPixels(0.016666666666666666, dots_per_inch); }

int RulerLayout::MaxLabelCount(int extent, int thickness, int label_width) {
    if (label_width <= 0) return 1;
    const double count = std::ceil(static_cast<double>(extent - thickness) / label_width);
    return std::max(1, static_cast<int>(std::min(count, 10000.0)));
}

RulerLayout RulerLayout::Build(Orientation orientation, int left, int top, int right, int bottom, double minimum,
                               double maximum, int label_count, const std::string& unit, const Metrics& m) {
    RulerLayout layout;
    const int b = bottom - 1;
    const int r = right - 1;
    const int t = m.thickness;
    const bool horizontal = orientation == Orientation::Horizontal;
    if (horizontal ? (b < top + t - 1 || t + 5 >= r - left) : (t + 5 >= b - top || r < left + t - 1)) return layout;
    layout.has_scale = true;

    AxisScale scale;
    if (horizontal)
        scale.SetRange(left + t, r, minimum, maximum);
    else
        scale.SetRange(b, top + t, minimum, maximum);
    const AxisScale::Ticks ticks = scale.ComputeTicks(label_count);
    layout.exponent = ticks.exponent;
    const double unit_factor = std::pow(10.0, -ticks.exponent);
    const int half = m.label_width / 2;
    const int text_offset = static_cast<int>(1.1 * m.font_height);
    const double lo = std::min(scale.P0(), scale.P1());
    const double hi = std::max(scale.P0(), scale.P1());
    const double half_step = ticks.step / 2 / unit_factor;

    // The stretch along the ruler of the last label shown. Measured labels
    // keep a quarter of the font's height apart; the width of "9.99 " has
    // its space already.
    std::optional<std::pair<int, int>> last;
    const int apart = m.text_width ? std::max(1, m.font_height / 4) : 0;
    const auto clear_of_last = [&](int from, int to) {
        return !last || to + apart <= last->first || from >= last->second + apart;
    };
    for (size_t i = 0; i < ticks.values.size(); ++i) {
        Tick tick;
        tick.pixel = AxisScale::ToIntPixel(ticks.positions[i]);
        tick.label = CGraphAxisLabel::FormatFixed(ticks.values[i] * unit_factor, 1);
        const int length = m.text_width ? m.text_width(tick.label) : m.label_width;
        if (horizontal) {
            tick.show_label = tick.pixel - half > left + t && tick.pixel + half < r - m.unit_width;
            tick.label_x = tick.pixel - half;
            tick.label_y = b - text_offset;
            tick.show_label = tick.show_label && clear_of_last(tick.label_x, tick.label_x + length);
            if (tick.show_label) last = {tick.label_x, tick.label_x + length};
        } else {
            tick.show_label = tick.pixel + half < b && m.unit_width + top + t < tick.pixel - half;
            tick.label_x = r - m.font_height;
            tick.label_y = tick.pixel + half;
            // The text is turned to run upwards from label_y.
            tick.show_label = tick.show_label && clear_of_last(tick.label_y - length, tick.label_y);
            if (tick.show_label) last = {tick.label_y - length, tick.label_y};
        }
        layout.ticks.push_back(tick);
        for (double v : {ticks.values[i] - half_step, ticks.values[i] + half_step}) {
            const double p = scale.ValueToPixel(v);
            if (p >= lo && p <= hi) layout.minor_ticks.push_back(AxisScale::ToIntPixel(p));
        }
    }

    layout.unit_text = WithExponent(unit, ticks.exponent);
    if (horizontal) {
        layout.unit_x = r - m.unit_width - 2;
        layout.unit_y = b - text_offset;
    } else {
        layout.unit_x = r - m.font_height;
        layout.unit_y = top + m.unit_width + t + 1;
    }
    return layout;
}
