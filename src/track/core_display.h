#pragma once
// The painter through which track geometry draws itself. Sections, split
// lines, driving lines and car markers pass world coordinates in metres; an
// implementation maps them to logical pixels of its target (px = x / scale
// + x offset, py = y offset - y / scale, each quotient rounded half away
// from zero: world y grows upwards, pixel y downwards) and draws with its
// own pens. Colour indexes name entries of the document's colour table.
// Nothing passed in is owned by the painter.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "track/pixel_point.h"
#include "track/world_point.h"

class CarMarker;
class SpdTrkVisitor;
class SplitLine;
class SurfacePolygon;
class TrackPointList;

class CoreDisplay {
public:
    // Points of the car outline, turned to the car's heading (metres).
    static constexpr size_t kCarOutlinePoints = 37;

    virtual ~CoreDisplay() = default;

    // One step of a driving line, from the previous point to the current
    // one, in the colour of colour_index; nothing is drawn when no_draw is
    // set. Returns the logical pixel of the current point in either case.
    virtual PixelPoint DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour_index,
                                   bool no_draw) = 0;
    // The car outline, filled and outlined in the colour of colour_index,
    // each point scaled to pixels and added to position without flipping y.
    virtual void DrawCarShape(const CarMarker& marker, PixelPoint position,
                              const std::array<WorldPoint, kCarOutlinePoints>& outline, int32_t colour_index) = 0;
    // A dot of fixed device size (about 8 device pixels across) centred on
    // a logical position.
    virtual void DrawDot(const CarMarker& marker, PixelPoint position, int32_t colour_index) = 0;
    // The logical pixel of a world point.
    virtual PixelPoint WorldToPixel(const WorldPoint& world) = 0;
    // The polygon filled and outlined in the colour of its colour index.
    virtual void DrawSurface(const SurfacePolygon& polygon) = 0;
    // A thick red line from the line's first point to its second.
    virtual void DrawSplitLine(const SplitLine& line) = 0;
    // Lines through the points in turn with the plain pen; fewer than two
    // points draw nothing.
    virtual void DrawPolyline(const std::vector<WorldPoint>& points) = 0;
    // A section's outline with the plain pen, or with the highlight pen.
    virtual void DrawSection(const TrackPointList& outline) = 0;
    virtual void DrawHighlightedSection(const TrackPointList& outline) = 0;
    // One line with the plain pen, or with the highlight pen.
    virtual void DrawLine(const WorldPoint& from, const WorldPoint& to) = 0;
    virtual void DrawHighlightedLine(const WorldPoint& from, const WorldPoint& to) = 0;
    // The coloured pieces of a speed-along-track visitor.
    virtual void DrawSpeedTrack(const SpdTrkVisitor& visitor) = 0;
};
