// Axis scale, nice steps, ticks, label counts and ruler layout, against
// values worked out by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "graph/axis_scale.h"
#include "graph/ruler_layout.h"

namespace {

constexpr double kTenth = 0.10000000149011612;
constexpr double kTwoTenths = 0.20000000298023224;

TEST(AxisScale, DecimalExponent) {
    const struct {
        double x;
        int exponent;
    } cases[] = {{250, 2}, {-250, 2}, {1, 0}, {9.99, 0}, {0.5, -1}, {0.1, -2}, {0.05, -2}, {0, 0}, {1e300, 300}};
    for (const auto& c : cases) EXPECT_EQ(AxisScale::DecimalExponent(c.x), c.exponent) << c.x;
}

TEST(AxisScale, NiceStep) {
    const struct {
        int n;
        double a, b;
        double step;
    } cases[] = {
        {0, 0, 100, kTenth},       {3, 0, 7, 5},
        {5, 0, 1, kTwoTenths},     {4, -5, -1, 10 * kTenth},
        {5, 10, 0, 10 * kTwoTenths}, {1, 0, 0.03, kTenth},
        {2, 0, 300, 1000 * kTwoTenths},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(AxisScale::NiceStep(c.n, c.a, c.b), c.step) << c.a << ".." << c.b;
    // A span that is not a number ends the search instead of looping.
    EXPECT_TRUE(std::isnan(AxisScale::NiceStep(3, 0, NAN)));
}

TEST(AxisScale, TicksOfWorkedRanges) {
    const struct {
        const char* name;
        double p0, p1, v0, v1;
        int n;
        int exponent;
        std::vector<double> values;
        std::vector<int> pixels;
    } cases[] = {
        // 0 to 100 with 5 labels: step 0.2f of 10^2; the tick for 100
        // lies just outside because of the single-precision step.
        {"0..100", 0, 500, 0, 100, 5, 2, {0, 20, 40, 60, 80}, {0, 100, 200, 300, 400}},
        {"0..12000", 0, 600, 0, 12000, 6, 4, {0, 2000, 4000, 6000, 8000, 10000}, {0, 100, 200, 300, 400, 500}},
        // Negative: exponent of the larger magnitude, step 1.0000000149;
        // pixels truncate just below the hundreds.
        {"-50..-10", 0, 400, -50, -10, 4, 1, {-40, -30, -20, -10}, {99, 199, 299, 399}},
        // Reversed values walk downwards from the end nearest V0.
        {"100..0", 0, 500, 100, 0, 5, 2, {80, 60, 40, 20, 0}, {99, 199, 299, 399, 500}},
        // The y axis: bottom pixel to top pixel.
        {"y 0..10", 300, 0, 0, 10, 3, 1, {0, 5, 10}, {300, 150, 0}},
        {"huge", 0, 500, 0, 1e300, 5, 300, {0, 2e299, 4e299, 6e299, 8e299}, {0, 100, 200, 300, 400}},
        {"0..0.04", 0, 400, 0, 0.04, 4, -2, {0, 0.01, 0.02, 0.03}, {0, 100, 200, 300}},
        // A narrow range is shown in a smaller unit until it spans 0.2.
        {"10..10.5", 0, 500, 10, 10.5, 5, 0, {10, 10.1, 10.2, 10.3, 10.4}, {0, 100, 200, 300, 400}},
    };
    for (const auto& c : cases) {
        const AxisScale scale(c.p0, c.p1, c.v0, c.v1);
        const AxisScale::Ticks t = scale.ComputeTicks(c.n);
        EXPECT_EQ(t.exponent, c.exponent) << c.name;
        ASSERT_EQ(t.values.size(), c.values.size()) << c.name;
        for (size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_NEAR(t.values[i], c.values[i], std::fabs(c.values[i]) * 1e-6 + 1e-12) << c.name << " " << i;
            EXPECT_EQ(AxisScale::ToIntPixel(t.positions[i]), c.pixels[i]) << c.name << " " << i;
        }
    }
}

TEST(AxisScale, DegenerateRangesGiveNoTicksAndNoDivision) {
    // Narrower than any step: no ticks, and the narrowing ends.
    const AxisScale tiny(0, 500, 1.0, 1.0 + 1e-9);
    const AxisScale::Ticks t = tiny.ComputeTicks(5);
    EXPECT_EQ(t.exponent, -2);
    EXPECT_TRUE(t.values.empty());
    // No value extent: n ticks at P0, and every value maps to P0.
    const AxisScale flat(10, 500, 7, 7);
    EXPECT_EQ(flat.ComputeTicks(3).positions, (std::vector<double>{10, 10, 10}));
    EXPECT_EQ(flat.ValueToIntPixel(1e9), 10);
    // No pixel extent: every value at P0, every pixel at V0 + 0.
    const AxisScale thin(20, 20, 0, 10);
    EXPECT_EQ(thin.ValueToIntPixel(5), 20);
    EXPECT_EQ(thin.PixelToValue(25), 0);
}

TEST(AxisScale, MappingTruncatesAndHoldsDeepZoomPixels) {
    const AxisScale x(0, 1000, 0, 10);
    const AxisScale y(600, 0, -5, 5);
    EXPECT_EQ(x.ValueToIntPixel(2.5), 250);
    EXPECT_EQ(x.ValueToIntPixel(-0.0005), 0);  // -0.05 truncates toward zero
    EXPECT_EQ(y.ValueToIntPixel(0), 300);
    EXPECT_EQ(y.ValueToIntPixel(5), 0);
    EXPECT_DOUBLE_EQ(y.PixelToValue(150), 2.5);
    const AxisScale deep(0, 1000, 0, 1e-12);
    EXPECT_EQ(deep.ValueToIntPixel(1.0), AxisScale::kPixelLimit);
    EXPECT_EQ(deep.ValueToIntPixel(-1e300), -AxisScale::kPixelLimit);
}

TEST(RulerLayout, SizesAndLabelCounts) {
    EXPECT_EQ(RulerLayout::Thickness(96), 16);
    EXPECT_EQ(RulerLayout::FontHeight(96), 14);
    EXPECT_EQ(RulerLayout::TickLength(96), 4);
    EXPECT_EQ(RulerLayout::UnitGap(96), 1);
    EXPECT_EQ(RulerLayout::Thickness(600), 100);
    EXPECT_EQ(RulerLayout::UnitGap(10), 1);  // at least one pixel
    const struct {
        int extent, thickness, width, count;
    } cases[] = {{216, 16, 40, 5}, {217, 16, 40, 6}, {400, 16, 30, 13}, {10, 16, 30, 1}, {0, 0, 0, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(RulerLayout::MaxLabelCount(c.extent, c.thickness, c.width), c.count) << c.extent;
}

TEST(RulerLayout, HorizontalRulerOver0To100WithFiveLabels) {
    RulerLayout::Metrics m{.thickness = 16, .font_height = 14, .tick_length = 4, .label_width = 40, .unit_width = 30};
    const int n = RulerLayout::MaxLabelCount(216, m.thickness, m.label_width);
    const RulerLayout layout =
        RulerLayout::Build(RulerLayout::Orientation::Horizontal, 0, 0, 216, 16, 0, 100, n, "km/h", m);
    ASSERT_TRUE(layout.has_scale);
    EXPECT_EQ(layout.exponent, 2);
    EXPECT_EQ(layout.unit_text, "km/h*2");
    EXPECT_EQ(layout.unit_x, 215 - 30 - 2);
    EXPECT_EQ(layout.unit_y, 15 - 15);
    const char* labels[] = {"0.0", "0.2", "0.4", "0.6", "0.8"};
    // Pixels 16 + v * 199 / 100; labels only where they clear the corner
    // and the unit text.
    const int pixels[] = {16, 55, 95, 135, 175};
    const bool shown[] = {false, true, true, true, false};
    ASSERT_EQ(layout.ticks.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(layout.ticks[i].label, labels[i]);
        EXPECT_EQ(layout.ticks[i].pixel, pixels[i]);
        EXPECT_EQ(layout.ticks[i].show_label, shown[i]) << i;
        EXPECT_EQ(layout.ticks[i].label_x, pixels[i] - 20);
    }
    // Half-step ticks on both sides of each tick inside the ruler: not -10.
    EXPECT_EQ(layout.minor_ticks.size(), 9u);
}

TEST(RulerLayout, UnitTextCarriesTheAxisPowerOfTen) {
    const struct {
        const char* unit;
        double minimum, maximum;
        const char* text;
    } cases[] = {{"Gear", 0, 6, "Gear"}, {"Meter", 0, 1000, "Meter*3"}, {"Units", -20, 40, "Units*1"},
                 {"G", -0.05, 0.05, "G*-2"}};
    for (const auto& c : cases) EXPECT_EQ(RulerLayout::UnitText(c.unit, c.minimum, c.maximum), c.text) << c.unit;
}

TEST(RulerLayout, MeasuredLabelsNeverOverlap) {
    // Labels longer than "9.99 " would make them: the count alone would
    // let neighbours cover each other.
    RulerLayout::Metrics m{.thickness = 16, .font_height = 14, .tick_length = 4, .label_width = 40, .unit_width = 30};
    m.text_width = [](const std::string& text) { return 15 * static_cast<int>(text.size()); };
    for (const auto orientation : {RulerLayout::Orientation::Horizontal, RulerLayout::Orientation::Vertical}) {
        const bool horizontal = orientation == RulerLayout::Orientation::Horizontal;
        for (int extent = 60; extent <= 700; extent += 7) {
            const int n = RulerLayout::MaxLabelCount(extent, m.thickness, m.label_width);
            const RulerLayout layout = horizontal
                                           ? RulerLayout::Build(orientation, 0, 0, extent, 16, -2, 6, n, "u", m)
                                           : RulerLayout::Build(orientation, 0, 0, 16, extent, -2, 6, n, "u", m);
            // Each label's stretch along the ruler, from the minimum on.
            std::vector<std::pair<int, int>> spans;
            for (const RulerLayout::Tick& tick : layout.ticks) {
                if (!tick.show_label) continue;
                const int length = m.text_width(tick.label);
                spans.push_back(horizontal ? std::pair{tick.label_x, tick.label_x + length}
                                           : std::pair{-tick.label_y, -tick.label_y + length});
            }
            if (extent >= 300) {
                EXPECT_GE(spans.size(), 2u) << extent;
            }
            for (size_t i = 1; i < spans.size(); ++i)
                EXPECT_LT(spans[i - 1].second, spans[i].first) << (horizontal ? "horizontal " : "vertical ") << extent;
        }
    }
}

TEST(RulerLayout, TooSmallRulersDrawOnlyTheirFrame) {
    RulerLayout::Metrics m{.thickness = 16, .font_height = 14, .tick_length = 4, .label_width = 40, .unit_width = 30};
    EXPECT_FALSE(RulerLayout::Build(RulerLayout::Orientation::Horizontal, 0, 0, 22, 16, 0, 1, 1, "", m).has_scale);
    EXPECT_TRUE(RulerLayout::Build(RulerLayout::Orientation::Horizontal, 0, 0, 23, 16, 0, 1, 1, "", m).has_scale);
    EXPECT_FALSE(RulerLayout::Build(RulerLayout::Orientation::Vertical, 0, 0, 16, 22, 0, 1, 1, "", m).has_scale);
    const RulerLayout v = RulerLayout::Build(RulerLayout::Orientation::Vertical, 0, 0, 16, 316, 0, 10, 8, "m", m);
    ASSERT_TRUE(v.has_scale);
    // The vertical ruler runs from its bottom (0) up to below its corner.
    EXPECT_EQ(v.ticks.front().pixel, 315);
    EXPECT_EQ(v.unit_y, 0 + 30 + 16 + 1);
}

}  // namespace
