// Section geometry against closed-form values: local and world conversion
// on straights and on curves of both directions, trace points, outlines,
// surface polygons with their kinds, and the bounding boxes.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "track/curve.h"
#include "track/section.h"
#include "track/section_visitor.h"
#include "track/straight.h"
#include "track/track.h"
#include "track_test_support.h"

namespace {

using track_test::kMm;
using track_test::kUnit;
using track_test::Near;

constexpr double kPi = std::numbers::pi;
const double kStraight = fixture::kStadiumStraight * kUnit;
const double kRadius = fixture::kStadiumRadius * kUnit;
const double kEdge = 140000 * kUnit;  // outer traces of the fixtures, 7.112 m
const double kR = fixture::kWindingRadius * kUnit;
const double kA = fixture::kWindingA * kUnit;
const double kB = fixture::kWindingB * kUnit;

class SectionGeometryTest : public testing::Test {
protected:
    std::unique_ptr<Track> Load(const fixture::TrackBlockSpec& spec) {
        return std::make_unique<Track>(track_test::WriteBlock(dir, "t.trk", spec));
    }
    fixture::TempDir dir;
};

WorldPoint Add(const WorldPoint& p, double length, double angle) {
    return {p.x + length * std::cos(angle), p.y + length * std::sin(angle)};
}

TEST_F(SectionGeometryTest, StraightsConvertAlongTheirHeading) {
    const auto t = Load(fixture::StadiumCircuit());
    // Eastward from (0, 0): left is north.
    EXPECT_TRUE(Near(t->GetSection(0).LocalToWorld(50, 3), 50, 3));
    // Westward from (straight, 2 radius): left is south.
    EXPECT_TRUE(Near(t->GetSection(2).LocalToWorld(50, 3), kStraight - 50, 2 * kRadius - 3));
    EXPECT_NEAR(t->GetSection(0).GetComputedLength(), kStraight, kMm);
}

TEST_F(SectionGeometryTest, CurvesOfBothDirections) {
    const auto stadium = Load(fixture::StadiumCircuit());
    // Left half circle about (straight, radius): a positive lateral offset
    // lies nearer the centre.
    const auto& left = dynamic_cast<const Curve&>(stadium->GetSection(1));
    EXPECT_TRUE(left.IsLeft());
    EXPECT_TRUE(Near(left.GetCentre(), kStraight, kRadius));
    EXPECT_NEAR(left.GetRadius(), kRadius, kMm);
    for (double a : {0.0, 40.0, kPi * kRadius / 2, 300.0}) {
        const double th = a / kRadius;
        EXPECT_TRUE(Near(left.LocalToWorld(a, 3), kStraight + (kRadius - 3) * std::sin(th),
                         kRadius - (kRadius - 3) * std::cos(th)))
            << a;
    }

    // The winding circuit's second curve turns right, from (A + R, R)
    // heading north, about (A + 2R, R): a positive offset lies farther out.
    const auto winding = Load(fixture::WindingCircuit());
    const auto& right = dynamic_cast<const Curve&>(winding->GetSection(2));
    EXPECT_FALSE(right.IsLeft());
    EXPECT_LT(right.GetRadius(), 0.0);
    EXPECT_TRUE(Near(right.GetCentre(), kA + 2 * kR, kR));
    EXPECT_NEAR(right.GetComputedLength(), kPi / 2 * kR, kMm);
    for (double a : {0.0, 20.0, kPi / 2 * kR}) {
        const double th = a / kR;
        EXPECT_TRUE(Near(right.LocalToWorld(a, 3), kA + 2 * kR - (kR + 3) * std::cos(th), kR + (kR + 3) * std::sin(th)))
            << a;
    }
    EXPECT_NEAR(right.GetEndHeading(), 0.0, 1e-12);
}

TEST_F(SectionGeometryTest, WindingCircuitClosesWhereTheClosedFormSays) {
    const auto t = Load(fixture::WindingCircuit());
    ASSERT_EQ(t->GetSectionCount(), 10u);
    const double c = kA + 2 * kR;
    const double d = kB + 2 * kR;
    const WorldPoint starts[] = {{0, 0},           {kA, 0},          {kA + kR, kR},      {kA + 2 * kR, 2 * kR},
                                 {kA + 3 * kR, 3 * kR}, {kA + 3 * kR, 3 * kR + kB}, {kA + 2 * kR, 4 * kR + kB},
                                 {kA + 2 * kR - c, 4 * kR + kB}, {-kR, 3 * kR + kB}, {-kR, 3 * kR + kB - d}};
    for (size_t i = 0; i < 10; ++i) EXPECT_TRUE(Near(t->GetSection(i).GetStartPoint(), starts[i])) << i;
    EXPECT_NEAR(t->GetLength(), 2 * kA + 2 * kB + 4 * kR + 3 * kPi * kR, kMm);
    // The last curve's own arc ends on the first section's start.
    const auto& last = dynamic_cast<const Curve&>(t->GetSection(9));
    EXPECT_TRUE(Near(last.GetShape().GetPoints().back(), 0, 0));
}

// A trace point at along 0 lies at the trace's start offset beside the
// start point, and at the stored length at its end offset beside the end
// point, square to the heading there.
TEST_F(SectionGeometryTest, TracePointsMeetTheirOffsetsAtBothEnds) {
    const auto t = Load(fixture::WindingCircuit());
    int tapering = 0;
    for (size_t i = 0; i < t->GetSectionCount(); ++i) {
        const Section& s = t->GetSection(i);
        for (size_t j = 0; j < s.GetLateralLineCount(); ++j) {
            const Trace& tr = s.GetLateralLine(j);
            if (tr.GetStartOffset() != tr.GetEndOffset()) ++tapering;
            EXPECT_TRUE(Near(s.TracePointAt(0, tr), Add(s.GetStartPoint(), tr.GetStartOffset(), s.GetHeading() + kPi / 2)))
                << i << " " << j;
            EXPECT_TRUE(Near(s.TracePointAt(s.GetLength(), tr),
                             Add(s.GetEndPoint(), tr.GetEndOffset(), s.GetEndHeading() + kPi / 2)))
                << i << " " << j;
        }
    }
    EXPECT_EQ(tapering, 5);
}

TEST_F(SectionGeometryTest, OutlinesSampleCurvesEveryFiveMetres) {
    // Quarter-turn curves of 12.4 m, 12.6 m and 2 m, behind a straight.
    auto radius_for = [](double length) { return static_cast<int32_t>(std::lround(length / (kPi / 2) / kUnit)); };
    const auto traces = fixture::ParallelTraces({-100000, 100000}, {1, 1});
    fixture::CircuitBuilder b({-100000, 100000});
    b.Straight(2000000, traces);
    for (double length : {12.4, 12.6, 2.0}) b.Curve(radius_for(length), fixture::kAngleQuarter, traces);
    const auto t = Load(b.Build(0));

    EXPECT_EQ(t->GetSection(0).GetShape().GetPoints().size(), 2u);
    const size_t expected_points[] = {4, 5, 3};  // m = 2, 3 and 1, plus two
    for (size_t i = 1; i <= 3; ++i) {
        const auto& curve = dynamic_cast<const Curve&>(t->GetSection(i));
        const auto& points = curve.GetShape().GetPoints();
        ASSERT_EQ(points.size(), expected_points[i - 1]) << i;
        EXPECT_TRUE(Near(points[0], points[1], 1e-9));
        EXPECT_TRUE(Near(points.front(), curve.GetStartPoint(), 1e-9));
        // Every outline point lies on the centre radius.
        for (const WorldPoint& p : points) {
            EXPECT_NEAR(std::hypot(p.x - curve.GetCentre().x, p.y - curve.GetCentre().y), std::fabs(curve.GetRadius()),
                        kMm);
        }
    }
}

TEST_F(SectionGeometryTest, SurfacePolygonsBandAdjacentTraces) {
    const auto t = Load(fixture::StadiumCircuit());
    const double inner = 100000 * kUnit;
    const Section& straight = t->GetSection(0);
    ASSERT_EQ(straight.GetExtraShapeCount(), 3u);
    const auto& quad = straight.GetExtraShape(0).GetPoints();
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_TRUE(Near(quad[0], 0, -kEdge));
    EXPECT_TRUE(Near(quad[1], kStraight, -kEdge));
    EXPECT_TRUE(Near(quad[2], kStraight, -inner));
    EXPECT_TRUE(Near(quad[3], 0, -inner));

    // A curve band runs back along one trace's arc and out along the next.
    const auto& curve = dynamic_cast<const Curve&>(t->GetSection(1));
    const int64_t m = curve.GetSampleCount();
    ASSERT_EQ(m, 64);  // even, so the arcs pass through their eastmost points
    const auto& band = curve.GetExtraShape(0).GetPoints();
    ASSERT_EQ(band.size(), static_cast<size_t>(2 * (m + 1)));
    EXPECT_TRUE(Near(band.front(), kStraight, 2 * kRadius + kEdge));
    EXPECT_TRUE(Near(band[static_cast<size_t>(m)], kStraight, -kEdge));
    EXPECT_TRUE(Near(band[static_cast<size_t>(m) + 1], kStraight, -inner));
    EXPECT_TRUE(Near(band.back(), kStraight, 2 * kRadius + inner));
    EXPECT_TRUE(Near(band[static_cast<size_t>(m / 2)], kStraight + kRadius + kEdge, kRadius));

    // One trace: no band.
    fixture::TrackBlockSpec one = fixture::StadiumCircuit();
    for (auto& s : one.sections) s.traces.resize(1);
    const auto single = Load(one);
    EXPECT_EQ(single->GetSection(0).GetExtraShapeCount(), 0u);
    EXPECT_EQ(single->GetSection(1).GetExtraShapeCount(), 0u);
}

TEST_F(SectionGeometryTest, SurfaceKindsAndColours) {
    struct Case {
        int32_t flags;
        int32_t trace_kind;
        int32_t polygon_kind;
        int32_t colour;
    };
    const Case cases[] = {
        {1, 1, 1, 7},         {2, 2, 2, 8},        {3, 3, 3, 14},       {4, 4, 4, 9},
        {5, 5, 5, 12},        {6, 6, 6, 10},       {7, 7, 7, 6},        {8, 2049, 2049, 15},
        {9, 9, 9, 15},        {10, 10, 2049, 15},  {11, 2049, 2049, 15}, {0, 2049, 2049, 15},
        {15, 2049, 2049, 15}, {0x801, 2048, 2048, 13}, {0x800, 2048, 2048, 13}, {0x12, 2, 2, 8},
    };
    std::vector<fixture::TraceRecord> traces;
    for (const Case& c : cases) traces.push_back({-100000, -100000, c.flags});
    traces.push_back({100000, 100000, 1});
    fixture::CircuitBuilder b({-100000, 100000});
    b.Straight(1000000, traces).Curve(1000000, 2 * fixture::kAngleQuarter, traces);
    const auto t = Load(b.Build(0));
    for (size_t s = 0; s < 2; ++s) {
        const Section& section = t->GetSection(s);
        ASSERT_EQ(section.GetExtraShapeCount(), std::size(cases));
        for (size_t i = 0; i < std::size(cases); ++i) {
            EXPECT_EQ(section.GetLateralLine(i).GetKind(), cases[i].trace_kind) << cases[i].flags;
            EXPECT_EQ(section.GetExtraShape(i).GetKind(), cases[i].polygon_kind) << cases[i].flags;
            EXPECT_EQ(section.GetExtraShape(i).GetColourIndex(), cases[i].colour) << cases[i].flags;
        }
    }
}

TEST_F(SectionGeometryTest, BoundingBoxesCoverOutlinesAndSurfaces) {
    auto first = Load(fixture::StadiumCircuit());
    first->Clear();
    const auto t = Load(fixture::StadiumCircuit());
    EXPECT_NEAR(TrackPointList::GetMinX(), -kRadius, kMm);
    EXPECT_NEAR(TrackPointList::GetMaxX(), kStraight + kRadius, kMm);
    EXPECT_NEAR(TrackPointList::GetMinY(), 0, kMm);
    EXPECT_NEAR(TrackPointList::GetMaxY(), 2 * kRadius, kMm);
    EXPECT_NEAR(SurfacePolygon::GetMinX(), -kRadius - kEdge, kMm);
    EXPECT_NEAR(SurfacePolygon::GetMaxX(), kStraight + kRadius + kEdge, kMm);
    EXPECT_NEAR(SurfacePolygon::GetMinY(), -kEdge, kMm);
    EXPECT_NEAR(SurfacePolygon::GetMaxY(), 2 * kRadius + kEdge, kMm);
}

class TypeRecorder : public SectionVisitor {
public:
    void VisitCurve(const Curve&) override { order += 'C'; }
    void VisitStraight(const Straight&) override { order += 'S'; }
    std::string order;
};

TEST_F(SectionGeometryTest, AcceptVisitsEverySectionInLapOrder) {
    TypeRecorder v;
    Load(fixture::WindingCircuit())->Accept(v);
    EXPECT_EQ(v.order, "SCCCSCSCSC");
}

}  // namespace
