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
    : FittedDisplay(),
      plain_pen_(CosmeticPen(ToQColor(plain_colour))),
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

QPoint MFCDisplay::MapQ(const WorldPoint& p) const {
    const PixelPoint q = Map(p);
    return QPoint(q.x, q.y);
}

void MFCDisplay::MapPolygon(const std::vector<WorldPoint>& points) {
    polygon_.resize(static_cast<qsizetype>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) polygon_[static_cast<qsizetype>(i)] = MapQ(points[i]);
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
    const QPoint to = MapQ(current);
    if (!no_draw && painter_ != nullptr) {
        const QPen old = painter_->pen();
        painter_->setPen(PenOf(colour_index));
        painter_->drawLine(MapQ(previous), to);
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
            QPoint(ToInt32(int64_t{ScaleLength(outline[i].x)} + position.x),
                   ToInt32(int64_t{ScaleLength(outline[i].y)} + position.y));
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
    painter_->drawLine(MapQ(line.GetFirstPoint()), MapQ(line.GetSecondPoint()));
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
    painter_->drawLine(MapQ(from), MapQ(to));
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
