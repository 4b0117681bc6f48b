#include "track/ui/mfc_display.h"

#include <QPainter>
#include <QPaintDevice>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "track/bounding_box.h"
#include "track/round.h"
#include "track/spd_trk_visitor.h"
#include "track/split_line.h"
#include "track/surface_polygon.h"
#include "track/track_point_list.h"

namespace {

int32_t ToInt32(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Round(q), held well inside 64 bits so that adding an offset cannot
// overflow.
int64_t RoundHeld(double q) {
    constexpr int64_t kHold = int64_t{1} << 40;
    return std::clamp<int64_t>(Round(q), -kHold, kHold);
}

QPen CosmeticPen(const QColor& colour) {
    QPen pen(colour, 0, Qt::SolidLine);
    pen.setCosmetic(true);
    return pen;
}

// The corner offsets of a dot's box: 5 device pixels from the centre in
// the directions 3 pi / 4 and 7 pi / 4, rounded half away from zero, which
// makes a box 4 pixels to each side.
const int64_t kDotOffset = Round(5.0 * std::cos(std::numbers::pi / 4));

}  // namespace

MFCDisplay::MFCDisplay(uint32_t plain_colour, uint32_t highlight_colour)
    : plain_pen_(CosmeticPen(ToQColor(plain_colour))),
      highlight_pen_(CosmeticPen(ToQColor(highlight_colour))),
      plain_brush_(ToQColor(plain_colour)),
      split_pen_(QColor(255, 0, 0), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) {}

QColor MFCDisplay::ToQColor(uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

void MFCDisplay::BeginDraw(QPainter& painter, const QRect& clip, std::span<const uint32_t> colours) {
    painter_ = &painter;
    clip_ = clip;
    const QPaintDevice* device = painter.device();
    printing_ = device != nullptr && device->devType() == QInternal::Printer;

    bool invertible = false;
    const QTransform to_logical = painter.combinedTransform().inverted(&invertible);
    if (invertible) {
        const double dx = to_logical.map(QPointF(1, 1)).x() - to_logical.map(QPointF(0, 0)).x();
        two_device_pixels_ = ToInt32(RoundHeld(2.0 * std::fabs(dx)));
    }

    if (!std::equal(colours.begin(), colours.end(), colours_.begin(), colours_.end())) {
        colours_.assign(colours.begin(), colours.end());
        colour_pens_.clear();
        colour_brushes_.clear();
        for (uint32_t c : colours_) {
            colour_pens_.push_back(CosmeticPen(ToQColor(c)));
            colour_brushes_.emplace_back(ToQColor(c));
        }
    }
}

void MFCDisplay::SetDC(QPainter& painter) {
    painter_ = &painter;
}

void MFCDisplay::FitToSpeedTrackBounds(const SpdTrkVisitor& visitor, uint32_t margin_x, uint32_t margin_y,
                                       uint32_t width, uint32_t height) {
    FitToBounds(visitor.GetMinX(), visitor.GetMaxX(), visitor.GetMinY(), visitor.GetMaxY(), margin_x, margin_y,
                width, height);
}

void MFCDisplay::FitToTrackBounds(uint32_t margin_x, uint32_t margin_y, uint32_t width, uint32_t height) {
    FitToBounds(TrackPointList::GetMinX(), TrackPointList::GetMaxX(), TrackPointList::GetMinY(),
                TrackPointList::GetMaxY(), margin_x, margin_y, width, height);
}

void MFCDisplay::FitToSurfaceBounds(uint32_t margin_x, uint32_t margin_y, uint32_t width, uint32_t height) {
    FitToBounds(SurfacePolygon::GetMinX(), SurfacePolygon::GetMaxX(), SurfacePolygon::GetMinY(),
                SurfacePolygon::GetMaxY(), margin_x, margin_y, width, height);
}

void MFCDisplay::FitToBounds(double min_x, double max_x, double min_y, double max_y, uint32_t margin_x,
                             uint32_t margin_y, uint32_t width, uint32_t height) {
    const double dx = max_x - min_x;
    const double dy = max_y - min_y;
    // An empty box reads as a single point at the origin. Every extent
    // would divide by zero, so the previous fit is kept: the map is fitted
    // before any track has been read.
    const bool has_x = dx > 0.0 && std::isfinite(dx);
    const bool has_y = dy > 0.0 && std::isfinite(dy);
    if (!has_x && !has_y) return;

    // The margins come off a size in unsigned pixels; a small window must
    // not wrap round to a huge usable size.
    const double usable_w = static_cast<double>(std::max<int64_t>(1, int64_t{width} - 2 * int64_t{margin_x}));
    const double usable_h = static_cast<double>(std::max<int64_t>(1, int64_t{height} - 2 * int64_t{margin_y}));
    const double ex = has_x ? dx : 0.0;
    const double ey = has_y ? dy : 0.0;
    scale_ = std::max(ex / usable_w, ey / usable_h);

    const int64_t cx = RoundHeld((usable_w - ex / scale_) * 0.5) - RoundHeld(min_x / scale_);
    const int64_t cy = RoundHeld((usable_h - ey / scale_) * 0.5) + RoundHeld(max_y / scale_);
    x_offset_ = ToInt32(int64_t{margin_x} + cx);
    y_offset_ = ToInt32(int64_t{margin_y} + cy);

    if (has_x && has_y) {
        pixels_per_metre_ = std::min(width / dx, height / dy);
    } else {
        pixels_per_metre_ = has_x ? width / dx : height / dy;
    }
}

QPoint MFCDisplay::Map(const WorldPoint& p) const {
    return QPoint(ToInt32(RoundHeld(p.x / scale_) + x_offset_), ToInt32(y_offset_ - RoundHeld(p.y / scale_)));
}

PixelPoint MFCDisplay::WorldToPixel(const WorldPoint& world) {
    const QPoint q = Map(world);
    return {q.x(), q.y()};
}

void MFCDisplay::MapPolygon(const std::vector<WorldPoint>& points) {
    polygon_.resize(static_cast<qsizetype>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) polygon_[static_cast<qsizetype>(i)] = Map(points[i]);
}

const QPen& MFCDisplay::PenOf(int32_t colour_index) const {
    if (colour_index < 0 || static_cast<size_t>(colour_index) >= colour_pens_.size()) return plain_pen_;
    return colour_pens_[static_cast<size_t>(colour_index)];
}

const QBrush& MFCDisplay::BrushOf(int32_t colour_index) const {
    if (colour_index < 0 || static_cast<size_t>(colour_index) >= colour_brushes_.size()) return plain_brush_;
    return colour_brushes_[static_cast<size_t>(colour_index)];
}

PixelPoint MFCDisplay::DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour_index,
                                   bool no_draw) {
    const QPoint to = Map(current);
    if (!no_draw && painter_ != nullptr) {
        const QPen old = painter_->pen();
        painter_->setPen(PenOf(colour_index));
        painter_->drawLine(Map(previous), to);
        painter_->setPen(old);
    }
    return {to.x(), to.y()};
}

void MFCDisplay::FillPolygon(const QPen& pen, const QBrush& brush) {
    const QPen old_pen = painter_->pen();
    const QBrush old_brush = painter_->brush();
    painter_->setPen(pen);
    painter_->setBrush(brush);
    painter_->drawPolygon(polygon_);
    painter_->setPen(old_pen);
    painter_->setBrush(old_brush);
}

void MFCDisplay::DrawCarShape(const CarMarker&, PixelPoint position,
                              const std::array<WorldPoint, kCarOutlinePoints>& outline, int32_t colour_index) {
    if (painter_ == nullptr) return;
    // The outline is added to the position as it is: its y is not flipped
    // like a world point's.
    polygon_.resize(static_cast<qsizetype>(outline.size()));
    for (size_t i = 0; i < outline.size(); ++i) {
        polygon_[static_cast<qsizetype>(i)] =
            QPoint(ToInt32(RoundHeld(outline[i].x / scale_) + position.x),
                   ToInt32(RoundHeld(outline[i].y / scale_) + position.y));
    }
    FillPolygon(PenOf(colour_index), BrushOf(colour_index));
}

void MFCDisplay::DrawDot(const CarMarker&, PixelPoint position, int32_t colour_index) {
    if (painter_ == nullptr) return;
    // The box is laid out in device pixels, so the dot keeps its size at
    // every zoom.
    const QTransform to_device = painter_->combinedTransform();
    bool invertible = false;
    const QTransform to_logical = to_device.inverted(&invertible);
    if (!invertible) return;
    const QPointF centre = to_device.map(QPointF(position.x, position.y));
    const double x = static_cast<double>(Round(centre.x()));
    const double y = static_cast<double>(Round(centre.y()));
    const double o = static_cast<double>(kDotOffset);
    const QPointF a = to_logical.map(QPointF(x - o, y + o));
    const QPointF b = to_logical.map(QPointF(x + o, y - o));

    const QPen old_pen = painter_->pen();
    const QBrush old_brush = painter_->brush();
    painter_->setPen(PenOf(colour_index));
    painter_->setBrush(BrushOf(colour_index));
    painter_->drawEllipse(QRectF(a, b).normalized());
    painter_->setPen(old_pen);
    painter_->setBrush(old_brush);
}

void MFCDisplay::DrawSurface(const SurfacePolygon& polygon) {
    if (painter_ == nullptr) return;
    MapPolygon(polygon.GetPoints());
    const int32_t index = polygon.GetColourIndex();
    FillPolygon(PenOf(index), BrushOf(index));
}

void MFCDisplay::DrawSplitLine(const SplitLine& line) {
    if (painter_ == nullptr) return;
    const QPen old = painter_->pen();
    painter_->setPen(split_pen_);
    painter_->drawLine(Map(line.GetFirstPoint()), Map(line.GetSecondPoint()));
    painter_->setPen(old);
}

void MFCDisplay::DrawPolylineWith(const QPen& pen, const std::vector<WorldPoint>& points) {
    if (painter_ == nullptr || points.empty()) return;
    painter_->setPen(pen);
    if (points.size() < 2) return;
    MapPolygon(points);
    painter_->drawPolyline(polygon_);
}

void MFCDisplay::DrawPolyline(const std::vector<WorldPoint>& points) {
    DrawPolylineWith(plain_pen_, points);
}

void MFCDisplay::DrawSection(const TrackPointList& outline) {
    DrawPolylineWith(plain_pen_, outline.GetPoints());
}

void MFCDisplay::DrawHighlightedSection(const TrackPointList& outline) {
    DrawPolylineWith(highlight_pen_, outline.GetPoints());
}

void MFCDisplay::DrawLineWith(const QPen& pen, const WorldPoint& from, const WorldPoint& to) {
    if (painter_ == nullptr) return;
    painter_->setPen(pen);
    painter_->drawLine(Map(from), Map(to));
}

void MFCDisplay::DrawLine(const WorldPoint& from, const WorldPoint& to) {
    DrawLineWith(plain_pen_, from, to);
}

void MFCDisplay::DrawHighlightedLine(const WorldPoint& from, const WorldPoint& to) {
    DrawLineWith(highlight_pen_, from, to);
}

void MFCDisplay::DrawSpeedTrack(const SpdTrkVisitor& visitor) {
    if (painter_ == nullptr) return;
    for (const SpdTrkVisitor::Piece& piece : visitor.GetPieces()) {
        const QColor colour(piece.colour.red, piece.colour.green, piece.colour.blue);
        MapPolygon(piece.points);
        FillPolygon(CosmeticPen(colour), QBrush(colour));
    }
}
