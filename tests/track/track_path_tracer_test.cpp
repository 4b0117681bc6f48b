// Driving lines and car markers on the stadium circuit: what the tracer and
// the marker hand the painter for positions along the lap.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "recording_display.h"
#include "track/car_marker.h"
#include "track/track.h"
#include "track/track_path_tracer.h"
#include "track_test_support.h"

namespace {

using Kind = RecordingDisplay::Kind;
using track_test::Near;

class TrackPathTracerTest : public testing::Test {
protected:
    void SetUp() override {
        track = std::make_unique<Track>(track_test::WriteBlock(dir, "stadium.trk", fixture::StadiumCircuit()));
        lap = track->GetLength();
    }

    fixture::TempDir dir;
    std::unique_ptr<Track> track;
    double lap = 0.0;
    RecordingDisplay display;
};

// The first straight runs east from the origin, so a position there is its
// distance and lateral offset as x and y.
TEST_F(TrackPathTracerTest, FirstMoveOnlyPlacesTheTracerAndLaterMovesDrawSegments) {
    TrackPathTracer tracer(*track, 3);

    const auto first = tracer.MoveTo(display, 10.0, 2.0, false);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->x, 0);
    EXPECT_EQ(first->y, 0);
    EXPECT_TRUE(display.calls.empty());

    const auto second = tracer.MoveTo(display, 20.0, -1.0, false);
    ASSERT_TRUE(second);
    ASSERT_EQ(display.calls.size(), 1u);
    const auto& segment = display.calls[0];
    EXPECT_EQ(segment.kind, Kind::kSegment);
    EXPECT_EQ(segment.colour, 3);
    EXPECT_FALSE(segment.no_draw);
    EXPECT_TRUE(Near(segment.points[0], 20.0, -1.0));  // current point first
    EXPECT_TRUE(Near(segment.points[1], 10.0, 2.0));
    EXPECT_EQ(second->x, 20);
    EXPECT_EQ(second->y, -1);

    // No-draw still asks the painter for the position.
    const auto third = tracer.MoveTo(display, 30.0, 0.0, true);
    ASSERT_EQ(display.calls.size(), 2u);
    EXPECT_TRUE(display.calls[1].no_draw);
    EXPECT_EQ(third->x, 30);
    EXPECT_EQ(tracer.GetPosition().x, 30);

    // After a reset the next line starts afresh, not from the old one.
    tracer.Reset();
    EXPECT_EQ(tracer.MoveTo(display, 100.0, 0.0, false)->x, 0);
    EXPECT_EQ(display.calls.size(), 2u);
    tracer.MoveTo(display, 110.0, 0.0, false);
    ASSERT_EQ(display.calls.size(), 3u);
    EXPECT_TRUE(Near(display.calls[2].points[1], 100.0, 0.0));
}

TEST_F(TrackPathTracerTest, DistancesFoldOneLapBackAndTwoLapsOrMoreAreRefused) {
    const struct {
        double distance;
        double same_as;  // the distance on the lap it is drawn at
    } folded[] = {
        {lap, 0.0},
        {lap + 10.0, 10.0},
        {1.5 * lap, 0.5 * lap},
        {2.0 * lap - 1.0, lap - 1.0},
    };
    for (const auto& c : folded) {
        RecordingDisplay d;
        TrackPathTracer tracer(*track, 0);
        TrackPathTracer reference(*track, 0);
        tracer.MoveTo(d, 50.0, 0.0, false);
        reference.MoveTo(d, 50.0, 0.0, false);
        ASSERT_TRUE(tracer.MoveTo(d, c.distance, 1.0, false)) << c.distance;
        reference.MoveTo(d, c.same_as, 1.0, false);
        EXPECT_TRUE(Near(tracer.GetCurrentPoint(), reference.GetCurrentPoint())) << c.distance;
    }

    const double refused[] = {2.0 * lap, 2.5 * lap, 10.0 * lap, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    for (double distance : refused) {
        RecordingDisplay d;
        TrackPathTracer tracer(*track, 0);
        tracer.MoveTo(d, 10.0, 0.0, false);
        tracer.MoveTo(d, 20.0, 0.0, false);
        ASSERT_EQ(d.calls.size(), 1u);
        EXPECT_FALSE(tracer.MoveTo(d, distance, 0.0, false)) << distance;
        EXPECT_EQ(d.calls.size(), 1u) << distance;
        EXPECT_TRUE(Near(tracer.GetCurrentPoint(), 20.0, 0.0)) << distance;
        EXPECT_TRUE(Near(tracer.GetPreviousPoint(), 10.0, 0.0)) << distance;
        EXPECT_EQ(tracer.GetPosition().x, 20) << distance;
        // A refused first move leaves the tracer waiting for its first.
        TrackPathTracer fresh(*track, 0);
        EXPECT_FALSE(fresh.MoveTo(d, distance, 0.0, false));
        EXPECT_TRUE(fresh.IsFirstMove());
    }
}

TEST_F(TrackPathTracerTest, TheSegmentAcrossTheLineIsDrawnLikeAnyOther) {
    TrackPathTracer tracer(*track, 1);
    tracer.MoveTo(display, lap - 5.0, 0.0, false);
    tracer.MoveTo(display, lap + 5.0, 0.0, false);
    ASSERT_EQ(display.calls.size(), 1u);
    // The last section is the half circle about (0, R) ending at the origin.
    const double r = fixture::kStadiumRadius * track_test::kUnit;
    const double a = 5.0 / r;
    EXPECT_TRUE(Near(display.calls[0].points[1], -r * std::sin(a), r - r * std::cos(a)));
    EXPECT_TRUE(Near(display.calls[0].points[0], 5.0, 0.0));
}

TEST_F(TrackPathTracerTest, CarMarkerPlacesWithoutFoldingAndDrawsOutlineOrDot) {
    const CarMarker marker(*track);
    const auto placed = marker.PlaceAtDistance(display, 12.0, -3.0);
    ASSERT_TRUE(placed);
    ASSERT_EQ(display.calls.size(), 1u);
    EXPECT_EQ(display.calls[0].kind, Kind::kWorldToPixel);
    EXPECT_TRUE(Near(display.calls[0].points[0], 12.0, -3.0));
    EXPECT_EQ(placed->x, 12);
    EXPECT_EQ(placed->y, -3);

    EXPECT_FALSE(marker.PlaceAtDistance(display, lap, 0.0));
    EXPECT_FALSE(marker.PlaceAtDistance(display, lap + 12.0, 0.0));
    EXPECT_EQ(display.calls.size(), 1u);

    marker.DrawOutline(display, {7, 8}, 90.0, 2, false);
    marker.DrawExtra(display, {9, 10}, 4);
    ASSERT_EQ(display.calls.size(), 3u);
    const auto& shape = display.calls[1];
    EXPECT_EQ(shape.kind, Kind::kCarShape);
    EXPECT_EQ(shape.colour, 2);
    EXPECT_EQ(shape.position.x, 7);
    EXPECT_EQ(shape.position.y, 8);
    ASSERT_EQ(shape.points.size(), CarMarker::kOutline.size());
    EXPECT_TRUE(Near(shape.points[4], 0.71, -0.96));
    const auto& dot = display.calls[2];
    EXPECT_EQ(dot.kind, Kind::kDot);
    EXPECT_EQ(dot.colour, 4);
    EXPECT_EQ(dot.position.x, 9);
    EXPECT_EQ(dot.position.y, 10);
}

TEST(CarMarkerRotate, HeadingNinetyKeepsTheOutlineAndZeroTurnsItAQuarterClockwise) {
    const auto& table = CarMarker::kOutline;
    EXPECT_TRUE(Near(table.front(), table.back(), 0.0));
    const auto upright = CarMarker::Rotate(90.0, false);
    const auto east = CarMarker::Rotate(0.0, false);
    const auto big = CarMarker::Rotate(90.0, true);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_TRUE(Near(upright[i], table[i], 1e-12)) << i;
        EXPECT_TRUE(Near(east[i], table[i].y, -table[i].x, 1e-12)) << i;
        EXPECT_TRUE(Near(big[i], 2 * table[i].x, 2 * table[i].y, 1e-12)) << i;
    }
    double low = 0.0;
    double high = 0.0;
    for (const WorldPoint& p : big) {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    EXPECT_NEAR(high - low, 6.0, 1e-12);
}

}  // namespace
