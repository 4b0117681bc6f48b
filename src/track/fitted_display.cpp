#include "track/fitted_display.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "track/round.h"
#include "track/spd_trk_visitor.h"
#include "track/surface_polygon.h"
#include "track/track_point_list.h"


void FittedDisplay::FitToSpeedTrackBounds(const SpdTrkVisitor& visitor, uint32_t margin_x, uint32_t margin_y,
                                          uint32_t width, uint32_t height) {
    FitToBounds(visitor.GetMinX(), visitor.GetMaxX(), visitor.GetMinY(), visitor.GetMaxY(), margin_x, margin_y,
                width, height);
}

void FittedDisplay::FitToTrackBounds(uint32_t margin_x, uint32_t margin_y, uint32_t width, uint32_t height) {
    FitToBounds(TrackPointList::GetMinX(), TrackPointList::GetMaxX(), TrackPointList::GetMinY(),
                TrackPointList::GetMaxY(), margin_x, margin_y, width, height);
}

void FittedDisplay::FitToSurfaceBounds(uint32_t margin_x, uint32_t margin_y, uint32_t width, uint32_t height) {
    FitToBounds(SurfacePolygon::GetMinX(), SurfacePolygon::GetMaxX(), SurfacePolygon::GetMinY(),
                SurfacePolygon::GetMaxY(), margin_x, margin_y, width, height);
}

void FittedDisplay::FitToBounds(double min_x, double max_x, double min_y, double max_y, uint32_t margin_x,
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

PixelPoint FittedDisplay::Map(const WorldPoint& p) const {
    return {ToInt32(RoundHeld(p.x / scale_) + x_offset_), ToInt32(y_offset_ - RoundHeld(p.y / scale_))};
}

int32_t FittedDisplay::ScaleLength(double metres) const { return ToInt32(RoundHeld(metres / scale_)); }

PixelPoint FittedDisplay::DrawSegment(const WorldPoint& current, const WorldPoint&, int32_t, bool) {
    return Map(current);
}

PixelPoint FittedDisplay::WorldToPixel(const WorldPoint& world) { return Map(world); }
