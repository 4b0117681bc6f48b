// What the track painter hands a QPainter: fits, integer pixels, pens and
// brushes, checked on a recording paint device.

#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <memory>
#include <utility>

#include "support/map_colours.h"
#include "support/recording_paint_device.h"
#include "support/temp_dir.h"
#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "track/car_marker.h"
#include "track/section.h"
#include "track/spd_trk_visitor.h"
#include "track/surface_polygon.h"
#include "track/track.h"
#include "track/track_point_list.h"
#include "track/ui/mfc_display.h"

namespace {

using Kind = RecordingPaintDevice::Kind;

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

// Makes the outline box exactly the given one.
void OutlineBox(double min_x, double max_x, double min_y, double max_y) {
    TrackPointList::ResetBounds();
    TrackPointList points;
    points.AddPoint({min_x, min_y});
    points.AddPoint({max_x, max_y});
}

QPoint At(const RecordingPaintDevice::Op& op, size_t i) {
    return op.points.at(i).toPoint();
}

class MFCDisplayTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = dir.File("stadium.trk");
        fixture::WriteFile(path, fixture::BuildTrackBlock(fixture::StadiumCircuit()));
        track = std::make_unique<Track>(path);
        track->ComputeSplitLines();
        painter.begin(&device);
        display.BeginDraw(painter, QRect(0, 0, 400, 400), fixture::kMapColours);
    }
    void TearDown() override { painter.end(); }

    // The pixels of the box's top-left and bottom-right corners, read off
    // the line the painter draws between them.
    std::pair<QPoint, QPoint> Corners(double min_x, double max_x, double min_y, double max_y) {
        device.ops.clear();
        display.DrawLine({min_x, max_y}, {max_x, min_y});
        EXPECT_EQ(device.ops.size(), 1u);
        return {At(device.ops.at(0), 0), At(device.ops.at(0), 1)};
    }

    fixture::TempDir dir;
    std::unique_ptr<Track> track;
    RecordingPaintDevice device{400, 400};
    QPainter painter;
    MFCDisplay display{kBlack, kWhite};
};

TEST_F(MFCDisplayTest, FitCentresTheBoxInsideTheMargins) {
    const struct {
        double min_x, max_x, min_y, max_y;
        uint32_t width, height;
        QPoint top_left, bottom_right;
        double pixels_per_metre;
    } cases[] = {
        // 1000 m square into 400 x 400 with margins 50: 1000 / 300 m per pixel.
        {0, 1000, 0, 1000, 400, 400, {50, 50}, {350, 350}, 0.4},
        {-200, 800, 100, 1100, 400, 400, {50, 50}, {350, 350}, 0.4},
        // Wider than tall: centred vertically, 75 pixels above and below.
        {0, 1000, 0, 500, 400, 400, {50, 125}, {350, 275}, 0.4},
        // 151 unused rows: the half rounds up, away from zero.
        {0, 1000, 0, 500, 400, 401, {50, 126}, {350, 276}, 0.4},
        // Taller than wide: centred horizontally.
        {0, 500, 0, 1000, 400, 400, {125, 50}, {275, 350}, 0.4},
        {0, 1000, 0, 1000, 400, 800, {50, 250}, {350, 550}, 0.4},
    };
    for (const auto& c : cases) {
        OutlineBox(c.min_x, c.max_x, c.min_y, c.max_y);
        display.FitToTrackBounds(50, 50, c.width, c.height);
        const auto [tl, br] = Corners(c.min_x, c.max_x, c.min_y, c.max_y);
        EXPECT_EQ(tl, c.top_left) << c.max_x << " x " << c.max_y << " in " << c.height;
        EXPECT_EQ(br, c.bottom_right) << c.max_x << " x " << c.max_y << " in " << c.height;
        EXPECT_DOUBLE_EQ(display.GetPixelsPerMetre(), c.pixels_per_metre);
    }
    OutlineBox(0, 1000, 0, 1000);
    display.FitToTrackBounds(50, 50, 400, 400);
    EXPECT_DOUBLE_EQ(display.GetScale(), 1000.0 / 300.0);
}

TEST_F(MFCDisplayTest, FitOfASmallTargetOrABoxWithoutExtentStaysUsable) {
    // Unfitted: one metre per pixel from (10, 10).
    EXPECT_EQ(display.WorldToPixel({5, 5}).x, 15);
    EXPECT_EQ(display.WorldToPixel({5, 5}).y, 5);

    // A target no larger than its margins: one usable pixel, not a size
    // wrapped round to four billion.
    for (uint32_t size : {100u, 80u, 0u}) {
        OutlineBox(0, 1000, 0, 1000);
        display.FitToTrackBounds(50, 50, size, size);
        EXPECT_DOUBLE_EQ(display.GetScale(), 1000.0) << size;
        const auto [tl, br] = Corners(0, 1000, 0, 1000);
        EXPECT_EQ(tl, QPoint(50, 50)) << size;
        EXPECT_EQ(br, QPoint(51, 51)) << size;
    }

    // A single point, or no point at all, keeps the fit it had.
    OutlineBox(0, 1000, 0, 1000);
    display.FitToTrackBounds(50, 50, 400, 400);
    for (bool empty : {false, true}) {
        if (empty) {
            TrackPointList::ResetBounds();
        } else {
            OutlineBox(300, 300, 700, 700);
        }
        display.FitToTrackBounds(50, 50, 400, 400);
        EXPECT_DOUBLE_EQ(display.GetScale(), 1000.0 / 300.0);
        EXPECT_EQ(display.GetXOffset(), 50);
        EXPECT_EQ(display.GetYOffset(), 350);
        EXPECT_DOUBLE_EQ(display.GetPixelsPerMetre(), 0.4);
    }

    // A box of no height is fitted by its width and centred vertically.
    OutlineBox(0, 1000, 0, 0);
    display.FitToTrackBounds(50, 50, 400, 400);
    EXPECT_DOUBLE_EQ(display.GetScale(), 1000.0 / 300.0);
    EXPECT_DOUBLE_EQ(display.GetPixelsPerMetre(), 0.4);
    const auto [left, right] = Corners(0, 1000, 0, 0);
    EXPECT_EQ(left, QPoint(50, 200));
    EXPECT_EQ(right, QPoint(350, 200));
}

TEST_F(MFCDisplayTest, SegmentsDrawInTheirLapColourUnlessToldNotTo) {
    OutlineBox(0, 1000, 0, 1000);
    display.FitToTrackBounds(50, 50, 400, 400);
    const QPen before = painter.pen();

    const PixelPoint hidden = display.DrawSegment({600, 300}, {300, 600}, 2, true);
    EXPECT_TRUE(device.ops.empty());
    EXPECT_EQ(hidden.x, 230);
    EXPECT_EQ(hidden.y, 260);

    const PixelPoint drawn = display.DrawSegment({600, 300}, {300, 600}, 2, false);
    EXPECT_EQ(drawn.x, 230);
    ASSERT_EQ(device.ops.size(), 1u);
    const auto& line = device.ops[0];
    EXPECT_EQ(line.kind, Kind::kLine);
    EXPECT_EQ(At(line, 0), QPoint(140, 170));  // from the previous point
    EXPECT_EQ(At(line, 1), QPoint(230, 260));
    EXPECT_EQ(line.pen.color(), QColor(0, 251, 56));
    EXPECT_TRUE(line.pen.isCosmetic());
    EXPECT_EQ(painter.pen(), before);

    // An index beyond the colour table draws in the plain colour.
    display.DrawSegment({600, 300}, {300, 600}, 99, false);
    EXPECT_EQ(device.ops.back().pen.color(), QColor(Qt::black));
}

TEST_F(MFCDisplayTest, DotsAreFourDevicePixelsToEachSideAtEveryZoom) {
    const CarMarker marker(*track);
    display.DrawDot(marker, {100, 50}, 1);
    painter.scale(4, 4);
    display.DrawDot(marker, {100, 50}, 1);
    painter.resetTransform();
    painter.scale(0.5, 0.5);
    display.DrawDot(marker, {100, 50}, 1);
    ASSERT_EQ(device.ops.size(), 3u);
    EXPECT_EQ(device.ops[0].rect, QRectF(96, 46, 8, 8));
    EXPECT_EQ(device.ops[1].rect, QRectF(99, 49, 2, 2));
    EXPECT_EQ(device.ops[2].rect, QRectF(92, 42, 16, 16));
    for (const auto& op : device.ops) {
        EXPECT_EQ(op.kind, Kind::kEllipse);
        EXPECT_EQ(op.brush.color(), QColor(0, 0, 255));
        EXPECT_EQ(op.pen.color(), QColor(0, 0, 255));
        EXPECT_TRUE(op.pen.isCosmetic());
    }
}

TEST_F(MFCDisplayTest, SplitLinesAreRedAndFiveLogicalUnitsWide) {
    OutlineBox(0, 1000, 0, 1000);
    display.FitToTrackBounds(50, 50, 400, 400);
    const QPen before = painter.pen();
    track->DrawSplitLines(display);
    ASSERT_EQ(device.ops.size(), 4u);
    // The start/finish line at the origin, from the outer edge on the left
    // (7.112 m) to the one on the right.
    const auto& start = device.ops[0];
    EXPECT_EQ(start.kind, Kind::kLine);
    EXPECT_EQ(At(start, 0), QPoint(50, 348));
    EXPECT_EQ(At(start, 1), QPoint(50, 352));
    for (const auto& op : device.ops) {
        EXPECT_EQ(op.pen.color(), QColor(255, 0, 0));
        EXPECT_EQ(op.pen.widthF(), 5.0);
        EXPECT_FALSE(op.pen.isCosmetic());
        EXPECT_EQ(op.pen.style(), Qt::SolidLine);
    }
    EXPECT_EQ(painter.pen(), before);
}

TEST_F(MFCDisplayTest, PolylinesNeedTwoPointsAndLeaveTheirPenSelected) {
    OutlineBox(0, 1000, 0, 1000);
    display.FitToTrackBounds(50, 50, 400, 400);
    painter.setPen(Qt::green);
    display.DrawPolyline({});
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
    display.DrawPolyline({{500, 500}});
    EXPECT_TRUE(device.ops.empty());
    EXPECT_EQ(painter.pen().color(), QColor(Qt::black));

    display.DrawPolyline({{0, 0}, {300, 300}, {600, 0}});
    ASSERT_EQ(device.ops.size(), 1u);
    EXPECT_EQ(device.ops[0].kind, Kind::kPolyline);
    ASSERT_EQ(device.ops[0].points.size(), 3u);
    EXPECT_EQ(At(device.ops[0], 1), QPoint(140, 260));
    EXPECT_EQ(device.ops[0].pen.color(), QColor(Qt::black));

    TrackPointList outline;
    outline.AddPoint({0, 0});
    outline.AddPoint({1000, 1000});
    display.DrawHighlightedSection(outline);
    EXPECT_EQ(device.ops.back().pen.color(), QColor(Qt::white));
    EXPECT_EQ(painter.pen().color(), QColor(Qt::white));
    display.DrawSection(outline);
    EXPECT_EQ(device.ops.back().pen.color(), QColor(Qt::black));
    display.DrawHighlightedLine({0, 0}, {10, 10});
    EXPECT_EQ(device.ops.back().pen.color(), QColor(Qt::white));
    display.DrawLine({0, 0}, {10, 10});
    EXPECT_EQ(device.ops.back().pen.color(), QColor(Qt::black));
    EXPECT_TRUE(device.ops.back().pen.isCosmetic());
}

TEST_F(MFCDisplayTest, CarOutlineScalesWithTheMapWithoutFlippingY) {
    // 0.1 m per pixel.
    OutlineBox(0, 40, 0, 40);
    display.FitToTrackBounds(0, 0, 400, 400);
    ASSERT_DOUBLE_EQ(display.GetScale(), 0.1);
    const CarMarker marker(*track);
    marker.DrawOutline(display, {200, 200}, 90.0, 3, false);
    marker.DrawOutline(display, {200, 200}, 90.0, 3, true);
    ASSERT_EQ(device.ops.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const auto& shape = device.ops[i];
        EXPECT_EQ(shape.kind, Kind::kPolygon);
        ASSERT_EQ(shape.points.size(), 37u);
        // The tail (y -1.5 m) lies above the position: y is not flipped.
        EXPECT_EQ(At(shape, 0).y(), i == 0 ? 185 : 170);
        EXPECT_EQ(At(shape, 4), i == 0 ? QPoint(207, 190) : QPoint(214, 181));
        double top = 1e9;
        double bottom = -1e9;
        for (const QPointF& p : shape.points) {
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
        EXPECT_EQ(bottom - top, i == 0 ? 30 : 60);
        EXPECT_EQ(shape.brush.color(), QColor(240, 240, 0));
        EXPECT_EQ(shape.pen.color(), QColor(240, 240, 0));
    }
}

TEST_F(MFCDisplayTest, SurfacesAndSpeedTrackPiecesFillInTheirColours) {
    display.FitToSurfaceBounds(50, 50, 400, 400);
    const SurfacePolygon& grass = track->GetSection(0).GetExtraShape(0);
    display.DrawSurface(grass);
    ASSERT_EQ(device.ops.size(), 1u);
    EXPECT_EQ(device.ops[0].kind, Kind::kPolygon);
    EXPECT_EQ(device.ops[0].points.size(), grass.GetPoints().size());
    EXPECT_EQ(device.ops[0].brush.color(), QColor(50, 128, 50));  // entry 9
    EXPECT_EQ(device.ops[0].pen.color(), QColor(50, 128, 50));

    SpdTrkVisitor visitor(track->GetLength(), {-2.0, 4.0}, false, 0);
    track->Accept(visitor);
    device.ops.clear();
    display.FitToSpeedTrackBounds(visitor, 0, 0, 400, 400);
    display.DrawSpeedTrack(visitor);
    ASSERT_EQ(device.ops.size(), visitor.GetPieces().size());
    int left = 400;
    int right = 0;
    for (size_t i = 0; i < device.ops.size(); ++i) {
        const auto& piece = visitor.GetPieces()[i];
        const QColor colour(piece.colour.red, piece.colour.green, piece.colour.blue);
        EXPECT_EQ(device.ops[i].brush.color(), colour) << i;
        EXPECT_EQ(device.ops[i].pen.color(), colour) << i;
        for (const QPointF& p : device.ops[i].points) {
            left = std::min(left, p.toPoint().x());
            right = std::max(right, p.toPoint().x());
        }
    }
    // The band's box spans the full width.
    EXPECT_EQ(left, 0);
    EXPECT_NEAR(right, 400, 1);
}

TEST_F(MFCDisplayTest, BeginDrawRecordsTwoDevicePixelsInLogicalUnits) {
    painter.scale(0.5, 0.5);
    display.BeginDraw(painter, QRect(-5, -5, 10, 10), fixture::kMapColours);
    EXPECT_EQ(display.GetTwoDevicePixels(), 4);
    EXPECT_FALSE(display.IsPrinting());
}

}  // namespace
