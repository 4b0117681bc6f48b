#pragma once
// The track map's painter over a QPainter, so that the same drawing goes
// into a widget, a printer or a QImage. It is fitted to a bounding box and
// a target size as FittedDisplay says, which fixes its scale and offsets
// until the next fit, and bound to a QPainter for every drawing pass
// (BeginDraw); SetDC switches the QPainter within a pass. Logical pixels
// are the QPainter's coordinates, before its own transform.
//
// Sections, lines, driving lines and the outlines of filled shapes are
// drawn with cosmetic pens, one device pixel wide at every zoom; the start/
// finish and split lines with a red pen 5 logical units wide. Colour
// indexes name entries of the colour table given to BeginDraw (COLORREF
// values, 0x00BBGGRR); an index outside the table draws in the plain
// colour. Nothing is antialiased. Drawing calls outside a pass draw
// nothing (DrawSegment and WorldToPixel still convert).

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <cstdint>
#include <span>
#include <vector>

#include "track/fitted_display.h"

class BoundingBox;
class QPainter;

class MFCDisplay : public FittedDisplay {
public:
    // Colours as COLORREF: the plain pen draws sections and lines, the
    // highlight pen the highlighted ones. The track map passes black and
    // white. Until the first fit, scale is 1 metre per pixel and both
    // offsets are 10.
    MFCDisplay(uint32_t plain_colour, uint32_t highlight_colour);

    // Starts a drawing pass into `painter`, which must stay active until
    // the pass ends. Reads the colour table now (later changes to it are
    // seen by the next pass) and records the clip rectangle, whether the
    // painter draws on a printer, and the width of two device pixels in
    // logical units; the drawing itself uses none of the three.
    void BeginDraw(QPainter& painter, const QRect& clip, std::span<const uint32_t> colours);
    // Draws into another painter for the rest of the pass.
    void SetDC(QPainter& painter);

    // Recorded by BeginDraw for the owner.
    int32_t GetTwoDevicePixels() const { return two_device_pixels_; }
    bool IsPrinting() const { return printing_; }
    const QRect& GetClipRect() const { return clip_; }

    // The colour of a COLORREF value (0x00BBGGRR).
    static QColor ToQColor(uint32_t colorref);

    PixelPoint DrawSegment(const WorldPoint& current, const WorldPoint& previous, int32_t colour_index,
                           bool no_draw) override;
    void DrawCarShape(const CarMarker& marker, PixelPoint position,
                      const std::array<WorldPoint, kCarOutlinePoints>& outline, int32_t colour_index) override;
    // An ellipse in the box 4 device pixels to each side of the position,
    // whatever the painter's transform.
    void DrawDot(const CarMarker& marker, PixelPoint position, int32_t colour_index) override;
    void DrawSurface(const SurfacePolygon& polygon) override;
    void DrawSplitLine(const SplitLine& line) override;
    // Select the plain (or highlight) pen when there is a point, and leave
    // it selected; a single point draws nothing.
    void DrawPolyline(const std::vector<WorldPoint>& points) override;
    void DrawSection(const TrackPointList& outline) override;
    void DrawHighlightedSection(const TrackPointList& outline) override;
    // Leave their pen selected.
    void DrawLine(const WorldPoint& from, const WorldPoint& to) override;
    void DrawHighlightedLine(const WorldPoint& from, const WorldPoint& to) override;
    // Each piece filled and outlined in its own colour, in order.
    void DrawSpeedTrack(const SpdTrkVisitor& visitor) override;

private:
    QPoint MapQ(const WorldPoint& p) const;
    // Fills polygon_ with the mapped points.
    void MapPolygon(const std::vector<WorldPoint>& points);
    void DrawLineWith(const QPen& pen, const WorldPoint& from, const WorldPoint& to);
    void DrawPolylineWith(const QPen& pen, const std::vector<WorldPoint>& points);
    // Fills and outlines polygon_, restoring the painter's pen and brush.
    void FillPolygon(const QPen& pen, const QBrush& brush);
    const QPen& PenOf(int32_t colour_index) const;
    const QBrush& BrushOf(int32_t colour_index) const;

    QPen plain_pen_;
    QPen highlight_pen_;
    QBrush plain_brush_;
    QPen split_pen_;
    int32_t two_device_pixels_ = 0;
    bool printing_ = false;
    QRect clip_;
    QPainter* painter_ = nullptr;
    // The colour table of the pass, with a pen and a brush per entry made
    // once rather than per shape.
    std::vector<uint32_t> colours_;
    std::vector<QPen> colour_pens_;
    std::vector<QBrush> colour_brushes_;
    // Scratch for mapped polygons, reused so drawing allocates only when a
    // polygon is larger than any before.
    QPolygon polygon_;
};
