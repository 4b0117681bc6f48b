#include "app/zoom_model.h"

#include <algorithm>
#include <cmath>

namespace {

int64_t Truncate(double v) { return static_cast<int64_t>(v); }

}  // namespace

void ZoomModel::SetZoomSizes(int64_t width, int64_t height, Size page, Size line) {
    logical_ = {std::max<int64_t>(1, width), std::max<int64_t>(1, height)};
    base_ = logical_;
    page_ = page;
    line_ = line;
    SetZoom(zoom_);
}

void ZoomModel::SetClientSize(Size client) {
    client_ = {std::max<int64_t>(0, client.width), std::max<int64_t>(0, client.height)};
    SetScrollPosition(scroll_);
}

void ZoomModel::SetZoom(double zoom) {
    // Every device size stays between one pixel and the limit.
    const double largest = static_cast<double>(std::max(base_.width, base_.height));
    const double smallest = static_cast<double>(std::min(base_.width, base_.height));
    const double low = 1.0 / smallest;
    const double high = static_cast<double>(kMaxDeviceSize) / largest;
    if (!std::isfinite(zoom)) zoom = 1.0;
    zoom_ = std::clamp(zoom, low, high);
    total_device_ = {std::max<int64_t>(1, Truncate(zoom_ * static_cast<double>(base_.width))),
                     std::max<int64_t>(1, Truncate(zoom_ * static_cast<double>(base_.height)))};
    UpdateDeviceSizes();
}

void ZoomModel::UpdateDeviceSizes() {
    const double sx = static_cast<double>(total_device_.width) / static_cast<double>(logical_.width);
    const double sy = static_cast<double>(total_device_.height) / static_cast<double>(logical_.height);
    page_device_ = {Truncate(std::fabs(static_cast<double>(page_.width) * sx)),
                    Truncate(std::fabs(static_cast<double>(page_.height) * sy))};
    line_device_ = {Truncate(std::fabs(static_cast<double>(line_.width) * sx)),
                    Truncate(std::fabs(static_cast<double>(line_.height) * sy))};
    if (page_device_.width == 0) page_device_.width = total_device_.width / 10;
    if (page_device_.height == 0) page_device_.height = total_device_.height / 10;
    if (line_device_.width == 0) line_device_.width = page_device_.width / 10;
    if (line_device_.height == 0) line_device_.height = page_device_.height / 10;
    SetScrollPosition(scroll_);
}

ZoomModel::Size ZoomModel::GetScrollLimit() const {
    return {std::max<int64_t>(0, total_device_.width - client_.width),
            std::max<int64_t>(0, total_device_.height - client_.height)};
}

void ZoomModel::SetScrollPosition(Point device) {
    const Size limit = GetScrollLimit();
    scroll_ = {std::clamp<int64_t>(device.x, 0, limit.width), std::clamp<int64_t>(device.y, 0, limit.height)};
}

ZoomModel::Point ZoomModel::GetOrigin() const {
    Point origin{-scroll_.x, -scroll_.y};
    if (total_device_.width < client_.width) origin.x = (client_.width - total_device_.width) / 2;
    if (total_device_.height < client_.height) origin.y = (client_.height - total_device_.height) / 2;
    return origin;
}

ZoomModel::Point ZoomModel::LogicalToDevice(Point p) const {
    const Point o = GetOrigin();
    return {o.x + std::llround(static_cast<double>(p.x) * static_cast<double>(total_device_.width) /
                               static_cast<double>(logical_.width)),
            o.y + std::llround(static_cast<double>(p.y) * static_cast<double>(total_device_.height) /
                               static_cast<double>(logical_.height))};
}

ZoomModel::Point ZoomModel::DeviceToLogical(Point p) const {
    const Point o = GetOrigin();
    return {std::llround(static_cast<double>(p.x - o.x) * static_cast<double>(logical_.width) /
                         static_cast<double>(total_device_.width)),
            std::llround(static_cast<double>(p.y - o.y) * static_cast<double>(logical_.height) /
                         static_cast<double>(total_device_.height))};
}

ZoomModel::Point ZoomModel::GetLogicalCenterPoint() const {
    return DeviceToLogical({client_.width / 2, client_.height / 2});
}

void ZoomModel::FitToAspect(Size& size, Size& leftover) const {
    leftover = {0, 0};
    // A size without area has no aspect to fit: it stays as it is.
    if (size.width <= 0 || size.height <= 0) return;
    const double a = static_cast<double>(logical_.width) / static_cast<double>(logical_.height);
    const double e = static_cast<double>(size.width) / static_cast<double>(size.height);
    if (a > e) {
        const int64_t h = Truncate(static_cast<double>(size.width) / a);
        leftover = {0, size.height - h};
        size.height = h;
    } else if (a < e) {
        const int64_t w = Truncate(a * static_cast<double>(size.height));
        leftover = {size.width - w, 0};
        size.width = w;
    }
}

void ZoomModel::CenterOnLogicalPoint(Point p) {
    // The point's place in the whole device image, not in the client.
    const double x = static_cast<double>(p.x) * static_cast<double>(total_device_.width) /
                     static_cast<double>(logical_.width);
    const double y = static_cast<double>(p.y) * static_cast<double>(total_device_.height) /
                     static_cast<double>(logical_.height);
    SetScrollPosition({std::llround(x) - client_.width / 2, std::llround(y) - client_.height / 2});
}

void ZoomModel::DoZoomIn(Rect r) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    const Point m{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    const Point a = LogicalToDevice({r.left, r.top});
    const Point b = LogicalToDevice({r.right, r.bottom});
    if (std::max(b.x - a.x, b.y - a.y) < kClickBox) {
        ZoomInBy(&m, kClickZoom);
        return;
    }
    const double wide = static_cast<double>(client_.width + 1) / static_cast<double>(std::max<int64_t>(1, r.right - r.left));
    const double high =
        static_cast<double>(client_.height + 1) / static_cast<double>(std::max<int64_t>(1, r.bottom - r.top));
    // A box of no height (or width) is fitted by its other side.
    double zoom = std::min(wide, high);
    if (r.right == r.left) zoom = high;
    if (r.bottom == r.top) zoom = wide;
    SetZoom(zoom);
    CenterOnLogicalPoint(m);
}

void ZoomModel::ZoomInBy(const Point* p, double factor) {
    const Point centre = p ? *p : GetLogicalCenterPoint();
    SetZoom(zoom_ * factor);
    CenterOnLogicalPoint(centre);
}

void ZoomModel::ZoomOutBy(const Point* p, double factor) {
    const Point centre = p ? *p : GetLogicalCenterPoint();
    if (factor > 0) SetZoom(zoom_ / factor);
    CenterOnLogicalPoint(centre);
}

void ZoomModel::DoZoomFull() {
    Size fitted = client_;
    Size leftover;
    if (fitted.width <= 0 || fitted.height <= 0) return;
    FitToAspect(fitted, leftover);
    SetZoom(static_cast<double>(fitted.width) / static_cast<double>(base_.width));
    // The fitted size itself, not the zoom times the base, so the image
    // fills the client exactly.
    total_device_ = {std::max<int64_t>(1, fitted.width), std::max<int64_t>(1, fitted.height)};
    UpdateDeviceSizes();
}

bool ZoomModel::ScrollByStep(int direction, int64_t n) {
    // Panning needs both scroll bars: with one of them the image stays put.
    if (!HasHorizontalBar() || !HasVerticalBar()) n = 0;
    Point next = scroll_;
    switch (direction) {
    case 1: next.y -= n; break;
    case 2: next.x -= n; break;
    case 3: next.y += n; break;
    case 4: next.x += n; break;
    default: return false;
    }
    const Point before = scroll_;
    SetScrollPosition(next);
    return scroll_.x != before.x || scroll_.y != before.y;
}
