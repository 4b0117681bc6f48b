#pragma once
// The plotting panel's state and arithmetic without a window: the range
// and display flags, the value-to-pixel scales of the client area, range
// extension as points arrive, fitting to the data, panning, the rubber
// band and the zoom rectangle. The panel window feeds it sizes and mouse
// positions (client pixels) and paints what it says.
//
// The x scale maps x0..x1 onto the client's left..right edge and the y
// scale y0..y1 onto its bottom..top edge, so y grows upwards; either range
// may run backwards. A range of zero width on an axis is widened around
// its value (by a tenth of its size each way, or by 1 around 0), so no
// mapping divides by zero; ranges with an end that is not a finite number
// are refused.

#include "graph/axis_scale.h"

class CGraphProps;
class GraphModel;

class GraphPanelState {
public:
    enum Flag {
        kAutoExtend = 1,   // a point added outside the range widens it
        kPointMarks = 2,   // "Point marks"
        kCoordinates = 4,  // coordinate tooltip and cursor listener
        kGrid = 8,         // dotted grid at the ruler ticks ("Axis")
        kNoLines = 16,     // no connecting lines
    };
    static constexpr int kDefaultFlags = 11;
    // Half the side of the tracker's resize handles, in pixels.
    static constexpr int kHandleSize = 6;

    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        Rect Normalized() const;
        Rect Grown(int by) const { return {left - by, top - by, right + by, bottom + by}; }
        Rect United(const Rect& other) const;
        bool operator==(const Rect&) const = default;
    };

    // Where a point that was just added leaves the picture.
    enum class PointAdded {
        Nothing,      // hidden curve, no such point, or nothing to draw now
        Render,       // the whole plot must be drawn again
        Incremental,  // draw the new point (and its one segment) alone
    };

    // Tracker hit codes: corners, edges, inside.
    enum Hit { kHitNothing = -1, kTopLeft, kTopRight, kBottomRight, kBottomLeft, kTop, kRight, kBottom, kLeft, kMiddle };

    int GetFlags() const { return flags_; }
    // Returns the previous word.
    int SetFlags(int flags);
    // When all the bits are set they are cleared, else set.
    static int ToggledFlags(int flags, int bits) { return (flags & bits) == bits ? flags & ~bits : flags | bits; }

    void GetRange(double& x0, double& x1, double& y0, double& y1) const;
    // False when the (widened) range equals the current one or an end is
    // not finite; nothing changes then.
    bool SetRange(double x0, double x1, double y0, double y1);
    // The client size in pixels; builds the scales.
    void SetClientSize(int width, int height);
    bool HasScales() const { return has_scales_; }
    const AxisScale& XScale() const { return x_scale_; }
    const AxisScale& YScale() const { return y_scale_; }
    // Scales for drawing into another rectangle with the same range.
    AxisScale XScaleFor(int left, int right) const { return AxisScale(left, right, x0_, x1_); }
    AxisScale YScaleFor(int bottom, int top) const { return AxisScale(bottom, top, y0_, y1_); }

    // Move whichever end holds the smaller (larger) value to v; x0 (x1)
    // when they are equal.
    void ExtendXMin(double v);
    void ExtendXMax(double v);
    void ExtendYMin(double v);
    void ExtendYMax(double v);

    // What a point added at `index` of `curve` asks for; extends the range
    // first when flag 1 is set.
    PointAdded OnPointAdded(const CGraphProps& curve, int index, bool redraw, bool has_canvas);

    // "Fit..." Width (4103), Height (4104) or Page (4105): the range set to
    // the visible data's bounds on those axes. False when there is no
    // visible curve with points or nothing changed.
    bool FitToData(int command, const GraphModel& model);

    // Shift and left button: the data follows the pointer.
    void BeginPan(int x, int y);
    bool IsPanning() const { return panning_; }
    // One step to (x, y); true when the range moved.
    bool PanTo(int x, int y);
    // The last step, then panning ends.
    bool EndPan(int x, int y);

    // The rubber band (left button with the zoom tool off).
    void BeginBand(int x, int y);
    bool IsBandActive() const { return band_active_; }
    // The rectangle to repaint: old and new band, grown by 2.
    Rect MoveBand(int x, int y);
    // Ends the band; a band of any size turns the zoom tool on with the
    // band as its rectangle. Returns the rectangle to repaint.
    Rect EndBand(int x, int y);

    bool IsZoomToolOn() const { return zoom_tool_on_; }
    // Command 4101: off when on; else on with the rectangle reset to
    // (5, 5, 50, 50). Returns the tracker's outer rectangle to repaint.
    Rect ToggleZoomTool();
    const Rect& GetTracker() const { return tracker_; }
    // The tracker rectangle grown by one pixel for its border.
    Rect TrackerOuter() const { return tracker_.Normalized().Grown(1); }
    Hit HitTest(int x, int y) const;
    // Dragging a handle or the inside with the zoom tool on; false when the
    // press is outside the tracker.
    bool BeginTrack(int x, int y);
    bool IsTracking() const { return track_hit_ != kHitNothing; }
    // Returns the rectangle to repaint (old and new outer rectangles).
    Rect TrackTo(int x, int y);
    void EndTrack() { track_hit_ = kHitNothing; }
    // Zooms to the tracker's outer rectangle and turns the tool off; false
    // when the tool is off.
    bool ApplyZoom();

    // The cursor position in axis values.
    double XValueAt(int x) const;
    double YValueAt(int y) const;

private:
    void BuildScales();
    bool PanStep(int x, int y);

    double x0_ = 0.0;
    double x1_ = 10.0;
    double y0_ = 0.0;
    double y1_ = 10.0;
    int width_ = 0;
    int height_ = 0;
    bool has_scales_ = false;
    AxisScale x_scale_;
    AxisScale y_scale_;
    int flags_ = kDefaultFlags;
    bool zoom_tool_on_ = false;
    Rect tracker_{10, 10, 50, 50};
    bool band_active_ = false;
    Rect band_;
    bool panning_ = false;
    int pan_prev_x_ = 0;
    int pan_prev_y_ = 0;
    int pan_cur_x_ = 0;
    int pan_cur_y_ = 0;
    Hit track_hit_ = kHitNothing;
    int track_x_ = 0;
    int track_y_ = 0;
    Rect track_start_;
};
