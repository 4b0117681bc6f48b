#include "track/car_marker.h"

#include <cmath>
#include <numbers>

#include "track/section.h"
#include "track/track.h"

CarMarker::CarMarker(const Track& track) : track_(&track) {}

std::optional<PixelPoint> CarMarker::PlaceAtDistance(CoreDisplay& painter, double distance, double lateral) const {
    const int i = track_->findSection(distance);
    if (i < 0) return std::nullopt;
    const Section& s = track_->GetSection(static_cast<size_t>(i));
    return painter.WorldToPixel(s.LocalToWorld(distance - s.GetStartDistance(), lateral));
}

void CarMarker::DrawOutline(CoreDisplay& painter, PixelPoint position, double heading, int32_t colour_index,
                            bool oversize) const {
    painter.DrawCarShape(*this, position, Rotate(heading, oversize), colour_index);
}

void CarMarker::DrawExtra(CoreDisplay& painter, PixelPoint position, int32_t colour_index) const {
    painter.DrawDot(*this, position, colour_index);
}

CarMarker::Outline CarMarker::Rotate(double heading, bool oversize) {
    // The outline points along +y; a heading of 90 degrees is that
    // direction.
    const double angle = heading * std::numbers::pi * (1.0 / 180.0) - std::numbers::pi / 2;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double size = oversize ? 2.0 : 1.0;
    Outline out;
    for (size_t i = 0; i < kOutline.size(); ++i) {
        const WorldPoint& p = kOutline[i];
        out[i] = {(c * p.x - s * p.y) * size, (c * p.y + s * p.x) * size};
    }
    return out;
}
