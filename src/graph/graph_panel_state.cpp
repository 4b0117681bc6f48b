#include "graph/graph_panel_state.h"

#include <algorithm>
#include <cmath>

#include "graph/graph_commands.h"
#include "graph/graph_model.h"
#include "graph/graph_props.h"

namespace {

// A range of zero width gets room around its value: a tenth of the value
// each way, or 1 around 0.
void Widen(double& a, double& b) {
    if (a != b) return;
    const double d = a != 0.0 ? std::fabs(a) * 0.1 : 1.0;
    const double v = a;
    a = v - d;
    b = v + d;
    // Values so large that the tenth vanishes in rounding.
    if (a == b) {
        a = std::nextafter(v, -INFINITY);
        b = std::nextafter(v, INFINITY);
    }
}

}  // namespace

GraphPanelState::Rect GraphPanelState::Rect::Normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

GraphPanelState::Rect GraphPanelState::Rect::United(const Rect& other) const {
    const Rect a = Normalized();
    const Rect b = other.Normalized();
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

int GraphPanelState::SetFlags(int flags) {
    const int previous = flags_;
    flags_ = flags;
    return previous;
}

void GraphPanelState::GetRange(double& x0, double& x1, double& y0, double& y1) const {
    x0 = x0_;
    x1 = x1_;
    y0 = y0_;
    y1 = y1_;
}

bool GraphPanelState::SetRange(double x0, double x1, double y0, double y1) {
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) return false;
    Widen(x0, x1);
    Widen(y0, y1);
    if (x0 == x0_ && x1 == x1_ && y0 == y0_ && y1 == y1_) return false;
    x0_ = x0;
    x1_ = x1;
    y0_ = y0;
    y1_ = y1;
    BuildScales();
    return true;
}

void GraphPanelState::SetClientSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    has_scales_ = true;
    BuildScales();
}

void GraphPanelState::BuildScales() {
    if (!has_scales_) return;
    x_scale_.SetRange(0, width_, x0_, x1_);
    y_scale_.SetRange(height_, 0, y0_, y1_);
}

void GraphPanelState::ExtendXMin(double v) {
    if (x0_ <= x1_)
        SetRange(v, x1_, y0_, y1_);
    else
        SetRange(x0_, v, y0_, y1_);
}

void GraphPanelState::ExtendXMax(double v) {
    if (x0_ > x1_)
        SetRange(v, x1_, y0_, y1_);
    else
        SetRange(x0_, v, y0_, y1_);
}

void GraphPanelState::ExtendYMin(double v) {
    if (y0_ <= y1_)
        SetRange(x0_, x1_, v, y1_);
    else
        SetRange(x0_, x1_, y0_, v);
}

void GraphPanelState::ExtendYMax(double v) {
    if (y0_ > y1_)
        SetRange(x0_, x1_, v, y1_);
    else
        SetRange(x0_, x1_, y0_, v);
}

GraphPanelState::PointAdded GraphPanelState::OnPointAdded(const CGraphProps& curve, int index, bool redraw,
                                                          bool has_canvas) {
    if (!curve.IsVisible() || index < 0 || index >= curve.GetCount()) return PointAdded::Nothing;
    const GraphPoint p = curve.GetPoint(index);
    if ((flags_ & kAutoExtend) != 0) {
        bool extended = false;
        if (p.x < std::min(x0_, x1_)) {
            ExtendXMin(p.x);
            extended = true;
        }
        if (p.x > std::max(x0_, x1_)) {
            ExtendXMax(p.x);
            extended = true;
        }
        if (p.y < std::min(y0_, y1_)) {
            ExtendYMin(p.y);
            extended = true;
        }
        if (p.y > std::max(y0_, y1_)) {
            ExtendYMax(p.y);
            extended = true;
        }
        if (extended) return redraw ? PointAdded::Render : PointAdded::Nothing;
    }
    if (!redraw || !has_canvas) return PointAdded::Nothing;
    if (index != 0 && index != curve.GetCount() - 1) return PointAdded::Render;
    return PointAdded::Incremental;
}

bool GraphPanelState::FitToData(int command, const GraphModel& model) {
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    if (!model.GetDataBounds(x_min, x_max, y_min, y_max)) return false;
    double x0 = x0_, x1 = x1_, y0 = y0_, y1 = y1_;
    if (command == graph_command::kFitWidth || command == graph_command::kFitPage) {
        x0 = x_min;
        x1 = x_max;
    }
    if (command == graph_command::kFitHeight || command == graph_command::kFitPage) {
        y0 = y_min;
        y1 = y_max;
    }
    return SetRange(x0, x1, y0, y1);
}

double GraphPanelState::XValueAt(int x) const { return has_scales_ ? x_scale_.PixelToValue(x) : x0_; }
double GraphPanelState::YValueAt(int y) const { return has_scales_ ? y_scale_.PixelToValue(y) : y0_; }

void GraphPanelState::BeginPan(int x, int y) {
    pan_prev_x_ = pan_cur_x_ = x;
    pan_prev_y_ = pan_cur_y_ = y;
    panning_ = true;
}

bool GraphPanelState::PanStep(int x, int y) {
    if (!has_scales_) return false;
    const double dx = x_scale_.PixelToValue(pan_prev_x_) - x_scale_.PixelToValue(x);
    const double dy = y_scale_.PixelToValue(pan_prev_y_) - y_scale_.PixelToValue(y);
    return SetRange(x0_ + dx, x1_ + dx, y0_ + dy, y1_ + dy);
}

bool GraphPanelState::PanTo(int x, int y) {
    if (!panning_) return false;
    pan_prev_x_ = pan_cur_x_;
    pan_prev_y_ = pan_cur_y_;
    pan_cur_x_ = x;
    pan_cur_y_ = y;
    return PanStep(x, y);
}

bool GraphPanelState::EndPan(int x, int y) {
    if (!panning_) return false;
    panning_ = false;
    pan_prev_x_ = pan_cur_x_;
    pan_prev_y_ = pan_cur_y_;
    return PanStep(x, y);
}

void GraphPanelState::BeginBand(int x, int y) {
    band_ = {x, y, x, y};
    band_active_ = true;
}

GraphPanelState::Rect GraphPanelState::MoveBand(int x, int y) {
    const Rect old = band_.Normalized();
    band_.right = x;
    band_.bottom = y;
    tracker_ = band_.Normalized();
    return old.United(tracker_).Grown(2);
}

GraphPanelState::Rect GraphPanelState::EndBand(int x, int y) {
    const Rect old = band_.Normalized();
    band_.right = x;
    band_.bottom = y;
    band_active_ = false;
    tracker_ = band_.Normalized();
    if (band_.right != band_.left || band_.bottom != band_.top) zoom_tool_on_ = true;
    return old.United(tracker_).Grown(2);
}

GraphPanelState::Rect GraphPanelState::ToggleZoomTool() {
    if (zoom_tool_on_) {
        zoom_tool_on_ = false;
    } else {
        zoom_tool_on_ = true;
        tracker_ = {5, 5, 50, 50};
    }
    return TrackerOuter();
}

GraphPanelState::Hit GraphPanelState::HitTest(int x, int y) const {
    const Rect r = tracker_.Normalized();
    if (x < r.left || x > r.right || y < r.top || y > r.bottom) return kHitNothing;
    const bool left = x < r.left + kHandleSize;
    const bool right = x > r.right - kHandleSize;
    const bool top = y < r.top + kHandleSize;
    const bool bottom = y > r.bottom - kHandleSize;
    const int mid_x = (r.left + r.right) / 2;
    const int mid_y = (r.top + r.bottom) / 2;
    const bool centre_x = std::abs(x - mid_x) <= kHandleSize / 2;
    const bool centre_y = std::abs(y - mid_y) <= kHandleSize / 2;
    if (top && left) return kTopLeft;
    if (top && right) return kTopRight;
    if (bottom && right) return kBottomRight;
    if (bottom && left) return kBottomLeft;
    if (top && centre_x) return kTop;
    if (right && centre_y) return kRight;
    if (bottom && centre_x) return kBottom;
    if (left && centre_y) return kLeft;
    return kMiddle;
}

bool GraphPanelState::BeginTrack(int x, int y) {
    if (!zoom_tool_on_) return false;
    track_hit_ = HitTest(x, y);
    track_x_ = x;
    track_y_ = y;
    track_start_ = tracker_.Normalized();
    return track_hit_ != kHitNothing;
}

GraphPanelState::Rect GraphPanelState::TrackTo(int x, int y) {
    const Rect old = TrackerOuter();
    if (track_hit_ == kHitNothing) return old;
    const int dx = x - track_x_;
    const int dy = y - track_y_;
    Rect r = track_start_;
    switch (track_hit_) {
        case kMiddle:
            r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
            break;
        case kTopLeft:
            r.left += dx;
            r.top += dy;
            break;
        case kTopRight:
            r.right += dx;
            r.top += dy;
            break;
        case kBottomRight:
            r.right += dx;
            r.bottom += dy;
            break;
        case kBottomLeft:
            r.left += dx;
            r.bottom += dy;
            break;
        case kTop:
            r.top += dy;
            break;
        case kRight:
            r.right += dx;
            break;
        case kBottom:
            r.bottom += dy;
            break;
        case kLeft:
            r.left += dx;
            break;
        case kHitNothing:
            break;
    }
    tracker_ = r.Normalized();
    return old.United(TrackerOuter());
}

bool GraphPanelState::ApplyZoom() {
    if (!zoom_tool_on_) return false;
    zoom_tool_on_ = false;
    const Rect outer = TrackerOuter();
    return SetRange(XValueAt(outer.left), XValueAt(outer.right), YValueAt(outer.bottom), YValueAt(outer.top));
}
