#pragma once
// A painter that draws nothing and records every call with its points in
// metres, so tests can check the geometry and the order of drawing. Its
// logical pixel of a world point is (Round(x), Round(y)): one pixel per
// metre, y not flipped.

#include <string>
#include <vector>

#include "track/core_display.h"

class RecordingDisplay : public CoreDisplay {
public:
    enum class Kind {
        kSegment, kCarShape, kDot, kWorldToPixel, kSurface, kSplitLine, kPolyline,
        kSection, kHighlightedSection, kLine, kHighlightedLine, kSpeedTrack,
    };
    struct Call {
        Kind kind;
        std::vector<WorldPoint> points;
        int32_t colour = -1;
        PixelPoint position = {};  // car shapes and dots
        bool no_draw = false;      // segments
    };

    static PixelPoint PixelOf(const WorldPoint& world);

    PixelPoint DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour_index,
                           bool no_draw) override;
    void DrawCarShape(const CarMarker& marker, PixelPoint position,
                      const std::array<WorldPoint, kCarOutlinePoints>& outline, int32_t colour_index) override;
    void DrawDot(const CarMarker& marker, PixelPoint position, int32_t colour_index) override;
    PixelPoint WorldToPixel(const WorldPoint& world) override;
    void DrawSurface(const SurfacePolygon& polygon) override;
    void DrawSplitLine(const SplitLine& line) override;
    void DrawPolyline(const std::vector<WorldPoint>& points) override;
    void DrawSection(const TrackPointList& outline) override;
    void DrawHighlightedSection(const TrackPointList& outline) override;
    void DrawLine(const WorldPoint& from, const WorldPoint& to) override;
    void DrawHighlightedLine(const WorldPoint& from, const WorldPoint& to) override;
    void DrawSpeedTrack(const SpdTrkVisitor& visitor) override;

    // The kinds in call order, one letter each: S section, H highlighted
    // section, l line, h highlighted line, F surface, X split line, other
    // calls '?'.
    std::string Letters() const;

    std::vector<Call> calls;
};
