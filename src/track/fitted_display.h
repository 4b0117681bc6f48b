#pragma once
// The painter's fitting arithmetic without any drawing: a world point
// (metres) maps to the logical pixel px = Round(x / scale) + x offset,
// py = y offset - Round(y / scale), Round rounding half away from zero
// (world y grows upwards, pixel y downwards); pixels beyond the 32-bit range
// are held at its ends.
//
// On its own it is the painter of a virtual canvas: adding a lap fits it to
// the track on a canvas far larger than any window and reads the driving
// line's pixels back, to derive speeds and accelerations, without drawing.
// Its drawing calls draw nothing; DrawSegment and WorldToPixel convert.
// MFCDisplay draws the same mapping onto a QPainter.

#include <cstdint>

#include "track/core_display.h"

class FittedDisplay : public CoreDisplay {
public:
    // Until the first fit, scale is 1 metre per pixel and both offsets are
    // 10.
    FittedDisplay() = default;

    // Scale and centre a bounding box in a target of width x height pixels
    // with margins on each side: the tighter direction decides the scale,
    // and the box is centred in the other, the unused pixels split equally
    // (each half rounded half away from zero). Pixels per metre becomes the
    // smaller of width / box width and height / box height, without
    // margins.
    //
    // A target no larger than twice its margins is given a usable size of
    // one pixel. A box without extent in one direction is fitted by the
    // other; a box without extent in either (a single point, or empty
    // because no track has been read) leaves the fit as it was.
    void FitToBounds(double min_x, double max_x, double min_y, double max_y, uint32_t margin_x, uint32_t margin_y,
                     uint32_t width, uint32_t height);
    // The box of the last SpdTrkVisitor's bands:
    void FitToSpeedTrackBounds(const SpdTrkVisitor& visitor, uint32_t margin_x, uint32_t margin_y, uint32_t width,
                               uint32_t height);
    // The box of every section outline (TrackPointList):
    void FitToTrackBounds(uint32_t margin_x, uint32_t margin_y, uint32_t width, uint32_t height);
    // The box of every surface polygon (SurfacePolygon):
    void FitToSurfaceBounds(uint32_t margin_x, uint32_t margin_y, uint32_t width, uint32_t height);

    // Metres per logical pixel.
    double GetScale() const { return scale_; }
    int32_t GetXOffset() const { return x_offset_; }
    int32_t GetYOffset() const { return y_offset_; }
    double GetPixelsPerMetre() const { return pixels_per_metre_; }

    // The logical pixel of a world point.
    PixelPoint Map(const WorldPoint& p) const;
    // A length in metres as logical pixels, rounded and held like a point.
    int32_t ScaleLength(double metres) const;

    // Converts only.
    PixelPoint DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour_index,
                           bool no_draw) override;
    PixelPoint WorldToPixel(const WorldPoint& world) override;
    // Draw nothing.
    void DrawCarShape(const CarMarker&, PixelPoint, const std::array<WorldPoint, kCarOutlinePoints>&,
                      int32_t) override {}
    void DrawDot(const CarMarker&, PixelPoint, int32_t) override {}
    void DrawSurface(const SurfacePolygon&) override {}
    void DrawSplitLine(const SplitLine&) override {}
    void DrawPolyline(const std::vector<WorldPoint>&) override {}
    void DrawSection(const TrackPointList&) override {}
    void DrawHighlightedSection(const TrackPointList&) override {}
    void DrawLine(const WorldPoint&, const WorldPoint&) override {}
    void DrawHighlightedLine(const WorldPoint&, const WorldPoint&) override {}
    void DrawSpeedTrack(const SpdTrkVisitor&) override {}

private:
    double scale_ = 1.0;
    int32_t x_offset_ = 10;
    int32_t y_offset_ = 10;
    double pixels_per_metre_ = 1.0;
};
