// The speed track on the stadium circuit: pieces of equal length, one per
// value, laid as 20 m bands over the sections, and their colours.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "track/hsv_to_rgb.h"
#include "track/section.h"
#include "track/spd_trk_visitor.h"
#include "track/track.h"
#include "track_test_support.h"

namespace {

using Rgb = SpdTrkVisitor::Rgb;
using track_test::kMm;
using track_test::Near;

const double kStraight = fixture::kStadiumStraight * track_test::kUnit;
const double kRadius = fixture::kStadiumRadius * track_test::kUnit;

bool Same(const Rgb& a, const Rgb& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

class SpdTrkVisitorTest : public testing::Test {
protected:
    void SetUp() override {
        track = std::make_unique<Track>(track_test::WriteBlock(dir, "stadium.trk", fixture::StadiumCircuit()));
        lap = track->GetLength();
    }
    // On the track's own lap length unless another is given.
    std::unique_ptr<SpdTrkVisitor> Visit(std::vector<double> values, std::optional<double> lap_length = {},
                                         bool fixed = false, int32_t scale = 0) {
        auto v = std::make_unique<SpdTrkVisitor>(lap_length.value_or(lap), std::move(values), fixed, scale);
        track->Accept(*v);
        return v;
    }

    fixture::TempDir dir;
    std::unique_ptr<Track> track;
    double lap = 0.0;
};

// Value i is i + 1 on a scale of 256, so every value has its own colour.
std::vector<double> Ramp(size_t n) {
    std::vector<double> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<double>(i + 1);
    return v;
}

TEST_F(SpdTrkVisitorTest, OnePiecePerValueInOrderSplitAtSectionBoundaries) {
    // Half of these put the last boundary, by rounding, just inside the lap
    // (10 among them); it must not start a piece without a value.
    for (size_t n : {1u, 2u, 3u, 5u, 7u, 10u, 11u, 50u, 200u, 255u}) {
        const auto v = Visit(Ramp(n), {}, true, 256);
        EXPECT_DOUBLE_EQ(v->GetPieceLength(), lap / static_cast<double>(n));
        EXPECT_EQ(v->GetValueIndex(), n - 1) << n;
        // n - 1 boundaries inside the lap, plus one piece begun per section.
        const auto& pieces = v->GetPieces();
        ASSERT_EQ(pieces.size(), n - 1 + track->GetSectionCount()) << n;
        // A piece split by a section boundary keeps its value's colour.
        size_t value = 0;
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (!Same(pieces[i].colour, v->ValueColour(static_cast<double>(value + 1)))) ++value;
            ASSERT_LT(value, n) << n << " piece " << i;
            EXPECT_TRUE(Same(pieces[i].colour, v->ValueColour(static_cast<double>(value + 1)))) << n << " piece " << i;
        }
        EXPECT_EQ(value, n - 1) << n;
    }
    // Any count, boundary rounding either way: never past the values.
    for (size_t n = 1; n <= 400; ++n) EXPECT_EQ(Visit(Ramp(n))->GetValueIndex(), n - 1) << n;
}

TEST_F(SpdTrkVisitorTest, StraightPiecesAreBandsAcrossTheCentreLine) {
    // Five pieces of 208.95 m: the first straight is one piece that the
    // first curve continues; the second straight (west at y = 2R) is cut
    // at 3 x 208.95 m.
    const auto v = Visit({1, 2, 3, 4, 5});
    const auto& p = v->GetPieces();
    ASSERT_EQ(p.size(), 8u);
    ASSERT_EQ(p[0].points.size(), 4u);
    EXPECT_TRUE(Near(p[0].points[0], 0, -10));
    EXPECT_TRUE(Near(p[0].points[1], 0, 10));
    EXPECT_TRUE(Near(p[0].points[2], kStraight, 10));
    EXPECT_TRUE(Near(p[0].points[3], kStraight, -10));

    const double cut = kStraight - (3 * lap / 5 - track->GetSection(2).GetStartDistance());
    const double y = 2 * kRadius;
    // Heading west, +10 m lies to the south.
    const WorldPoint before[] = {{kStraight, y + 10}, {kStraight, y - 10}, {cut, y - 10}, {cut, y + 10}};
    const WorldPoint after[] = {{cut, y + 10}, {cut, y - 10}, {0, y - 10}, {0, y + 10}};
    ASSERT_EQ(p[4].points.size(), 4u);
    ASSERT_EQ(p[5].points.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Near(p[4].points[i], before[i])) << i;
        EXPECT_TRUE(Near(p[5].points[i], after[i])) << i;
    }
    EXPECT_TRUE(Same(p[4].colour, p[3].colour));
    EXPECT_FALSE(Same(p[5].colour, p[4].colour));
}

TEST_F(SpdTrkVisitorTest, CurvePiecesRunOutAlongTheInnerEdgeAndBackAlongTheOuter) {
    const auto v = Visit({1, 2, 3, 4, 5});
    // The first curve (left, centre (S, R)) from its start to the first
    // boundary at 208.95 m: 5.75 m, eleven half-metre steps.
    const auto& piece = v->GetPieces()[1];
    const double span = lap / 5 - kStraight;
    const size_t steps = static_cast<size_t>(2 * span);
    ASSERT_EQ(steps, 11u);
    ASSERT_EQ(piece.points.size(), 2 * (steps + 1));
    double last_angle = -10.0;
    for (size_t i = 0; i < piece.points.size(); ++i) {
        const WorldPoint& q = piece.points[i];
        const double radius = std::hypot(q.x - kStraight, q.y - kRadius);
        const double angle = std::atan2(q.y - kRadius, q.x - kStraight);
        if (i <= steps) {
            EXPECT_NEAR(radius, kRadius - 10, kMm) << i;  // +10 m: the inside of a left curve
            EXPECT_GT(angle, last_angle) << i;
        } else {
            EXPECT_NEAR(radius, kRadius + 10, kMm) << i;
            if (i == steps + 1) {
                EXPECT_NEAR(angle, last_angle, 1e-12) << i;  // turns back at the piece's end
            } else {
                EXPECT_LT(angle, last_angle) << i;
            }
        }
        last_angle = angle;
    }
    EXPECT_NEAR(std::atan2(piece.points[steps].y - kRadius, piece.points[steps].x - kStraight),
                -std::numbers::pi / 2 + span / kRadius, 1e-9);
}

TEST_F(SpdTrkVisitorTest, AStretchUnderHalfAMetreHoldsOnlyItsEndCorners) {
    // Pieces 0.3 m short of the first curve's end: the curve's second
    // stretch is 0.3 m. The lap length given is shorter than the track's,
    // so the second (last) value runs on to the end of the track.
    const double curve_end = track->GetSection(1).GetEnd();
    const auto v = Visit({1, -1}, 2 * (curve_end - 0.3));
    const auto& p = v->GetPieces();
    ASSERT_EQ(p.size(), 5u);
    ASSERT_EQ(p[2].points.size(), 2u);
    EXPECT_TRUE(Near(p[2].points[0], kStraight, 2 * kRadius - 10));
    EXPECT_TRUE(Near(p[2].points[1], kStraight, 2 * kRadius + 10));
    EXPECT_EQ(v->GetValueIndex(), 1u);
    for (size_t i = 2; i < p.size(); ++i) EXPECT_TRUE(Same(p[i].colour, v->ValueColour(-1))) << i;
}

TEST_F(SpdTrkVisitorTest, NoValuesOrNoLapLengthMakeNoPieces) {
    std::vector<std::unique_ptr<SpdTrkVisitor>> visitors;
    visitors.push_back(Visit({}));
    for (double length : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) visitors.push_back(Visit({1, 2}, length));
    for (const auto& v : visitors) {
        EXPECT_TRUE(v->GetPieces().empty());
        EXPECT_TRUE(v->GetBounds().IsEmpty());
        EXPECT_EQ(v->CountBoundaries(track->GetSection(0)), 0);
    }
}

TEST_F(SpdTrkVisitorTest, TheBoxCoversTheBandAroundTheLap) {
    const auto v = Visit(Ramp(40));
    EXPECT_NEAR(v->GetMinX(), -kRadius - 10, 0.01);
    EXPECT_NEAR(v->GetMaxX(), kStraight + kRadius + 10, 0.01);
    EXPECT_NEAR(v->GetMinY(), -10, 0.01);
    EXPECT_NEAR(v->GetMaxY(), 2 * kRadius + 10, 0.01);
    // A new visitor starts its own box.
    EXPECT_TRUE(SpdTrkVisitor(lap, {1.0}, false, 0).GetBounds().IsEmpty());
}

TEST(SpdTrkVisitorColour, GreenForZeroAndAboveRedBelowBrighterWithMagnitude) {
    const SpdTrkVisitor fixed(1000.0, {0.5}, true, 10);
    const SpdTrkVisitor computed(1000.0, {-3.0, 1.0, 6.0}, false, 99);
    const SpdTrkVisitor zeros(1000.0, {0.0, 0.0}, false, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const SpdTrkVisitor* visitor;
        double value;
        Rgb colour;
    } cases[] = {
        {&fixed, 20.0, {5, 255, 0}},   // beyond the scale: full brightness
        {&fixed, 10.0, {5, 255, 0}},
        {&fixed, 5.0, {2, 127, 0}},
        {&fixed, 0.0, {0, 0, 0}},      // green hue, no brightness
        {&fixed, -5.0, {127, 0, 0}},
        {&fixed, -20.0, {255, 0, 0}},
        {&fixed, nan, {0, 0, 0}},
        {&computed, 6.0, {5, 255, 0}},
        {&computed, -3.0, {127, 0, 0}},
        {&zeros, 0.0, {0, 0, 0}},      // a range of no magnitude
    };
    for (const auto& c : cases) {
        const Rgb got = c.visitor->ValueColour(c.value);
        EXPECT_TRUE(Same(got, c.colour)) << c.value << ": " << int{got.red} << ", " << int{got.green} << ", "
                                         << int{got.blue};
    }
    EXPECT_EQ(fixed.GetMaxAbsValue(), 10.0);
    EXPECT_EQ(computed.GetMaxAbsValue(), 6.0);
    EXPECT_EQ(zeros.GetMaxAbsValue(), 0.0);
}

TEST(HsvToRgb, SixSectorsGreyAtNoSaturationAndOutOfRangeHuesUntouched) {
    const struct {
        float hue, saturation, value;
        float red, green, blue;
    } cases[] = {
        {0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f},
        {1.0f / 6, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
        {0.25f, 1.0f, 1.0f, 0.5f, 1.0f, 0.0f},
        {0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f},
        {0.75f, 1.0f, 1.0f, 0.5f, 0.0f, 1.0f},
        {11.0f / 12, 1.0f, 0.5f, 0.5f, 0.0f, 0.25f},
        {1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f},  // a hue of 1 is red again
        {0.3f, 0.0f, 0.4f, 0.4f, 0.4f, 0.4f},
        {0.5f, 0.5f, 1.0f, 0.5f, 1.0f, 1.0f},
        {1.5f, 1.0f, 1.0f, 7.0f, 7.0f, 7.0f},   // untouched
        {-0.5f, 1.0f, 1.0f, 7.0f, 7.0f, 7.0f},
    };
    for (const auto& c : cases) {
        float r = 7.0f;
        float g = 7.0f;
        float b = 7.0f;
        HsvToRgb(c.hue, c.saturation, c.value, r, g, b);
        EXPECT_NEAR(r, c.red, 1e-5) << c.hue;
        EXPECT_NEAR(g, c.green, 1e-5) << c.hue;
        EXPECT_NEAR(b, c.blue, 1e-5) << c.hue;
    }
}

}  // namespace
