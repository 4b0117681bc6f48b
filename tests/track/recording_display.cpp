#include "recording_display.h"

#include "track/round.h"
#include "track/split_line.h"
#include "track/surface_polygon.h"
#include "track/track_point_list.h"

PixelPoint RecordingDisplay::PixelOf(const WorldPoint& world) {
    return {static_cast<int32_t>(Round(world.x)), static_cast<int32_t>(Round(world.y))};
}

PixelPoint RecordingDisplay::DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour_index,
                                         bool no_draw) {
    calls.push_back({Kind::kSegment, {current, previous}, colour_index, {}, no_draw});
    return PixelOf(current);
}

void RecordingDisplay::DrawCarShape(const CarMarker&, PixelPoint position,
                                    const std::array<WorldPoint, kCarOutlinePoints>& outline, int32_t colour_index) {
    calls.push_back({Kind::kCarShape, {outline.begin(), outline.end()}, colour_index, position});
}

void RecordingDisplay::DrawDot(const CarMarker&, PixelPoint position, int32_t colour_index) {
    calls.push_back({Kind::kDot, {}, colour_index, position});
}

PixelPoint RecordingDisplay::WorldToPixel(const WorldPoint& world) {
    calls.push_back({Kind::kWorldToPixel, {world}});
    return PixelOf(world);
}

void RecordingDisplay::DrawSurface(const SurfacePolygon& polygon) {
    calls.push_back({Kind::kSurface, polygon.GetPoints(), polygon.GetColourIndex()});
}

void RecordingDisplay::DrawSplitLine(const SplitLine& line) {
    calls.push_back({Kind::kSplitLine, {line.GetFirstPoint(), line.GetSecondPoint()}});
}

void RecordingDisplay::DrawPolyline(const std::vector<WorldPoint>& points) {
    calls.push_back({Kind::kPolyline, points});
}

void RecordingDisplay::DrawSection(const TrackPointList& outline) {
    calls.push_back({Kind::kSection, outline.GetPoints()});
}

void RecordingDisplay::DrawHighlightedSection(const TrackPointList& outline) {
    calls.push_back({Kind::kHighlightedSection, outline.GetPoints()});
}

void RecordingDisplay::DrawLine(const WorldPoint& from, const WorldPoint& to) {
    calls.push_back({Kind::kLine, {from, to}});
}

void RecordingDisplay::DrawHighlightedLine(const WorldPoint& from, const WorldPoint& to) {
    calls.push_back({Kind::kHighlightedLine, {from, to}});
}

void RecordingDisplay::DrawSpeedTrack(const SpdTrkVisitor&) {
    calls.push_back({Kind::kSpeedTrack, {}});
}

std::string RecordingDisplay::Letters() const {
    std::string s;
    for (const Call& c : calls) {
        switch (c.kind) {
        case Kind::kSection: s += 'S'; break;
        case Kind::kHighlightedSection: s += 'H'; break;
        case Kind::kLine: s += 'l'; break;
        case Kind::kHighlightedLine: s += 'h'; break;
        case Kind::kSurface: s += 'F'; break;
        case Kind::kSplitLine: s += 'X'; break;
        default: s += '?'; break;
        }
    }
    return s;
}
