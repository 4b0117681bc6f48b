#pragma once
// The zoom and scroll arithmetic of the track-map view, without any window.
//
// A logical image (the square map, extent x extent units) is shown scaled
// by a zoom factor (device pixels per logical unit) in a client area of the
// window. The total device size is the zoom factor times the base size,
// truncated; the client shows the part of it at the scroll position, and an
// image smaller than the client is centred in it. Points convert between
// logical units and client pixels as the window's mapping does.
//
// The zoom factor is held between limits that keep every device size
// inside 32 bits (at most 2^26 pixels on a side) and at least one pixel, so
// no number of zoom steps overflows or divides by zero.

#include <cstdint>

class ZoomModel {
public:
    struct Point {
        int64_t x = 0;
        int64_t y = 0;
    };
    struct Size {
        int64_t width = 0;
        int64_t height = 0;
    };
    struct Rect {
        int64_t left = 0, top = 0, right = 0, bottom = 0;
    };

    static constexpr int64_t kMaxDeviceSize = int64_t{1} << 26;
    // A drag box smaller than this on both sides counts as a click.
    static constexpr int64_t kClickBox = 10;
    static constexpr double kClickZoom = 1.25;

    // The logical size and its device size at zoom 1; page and line sizes
    // in logical units, 0 for a tenth of the total (and of the page).
    void SetZoomSizes(int64_t width, int64_t height, Size page, Size line);
    void SetZoomSizes(int64_t width, int64_t height) { SetZoomSizes(width, height, Size{0, 0}, Size{0, 0}); }
    // The window's client area in pixels.
    void SetClientSize(Size client);

    // Zooms so the rectangle fills the client, centred on its centre; a
    // box under 10 device pixels both ways zooms in by 1.25 about its
    // centre instead.
    void DoZoomIn(Rect r);
    // Multiplies (divides) the zoom factor and centres on the logical
    // point, or on the client's centre when none is given.
    void ZoomInBy(const Point* p, double factor);
    void ZoomOutBy(const Point* p, double factor);
    // Fits the whole image into the client. A client without area keeps
    // the zoom as it is.
    void DoZoomFull();
    // Scrolls so the logical point lies at the client's centre (as far as
    // the scroll range allows).
    void CenterOnLogicalPoint(Point p);
    // Scrolls by n device pixels: direction 1 up, 2 left, 3 down, 4 right.
    // Nothing moves unless both scroll bars are shown. False when nothing
    // changed.
    bool ScrollByStep(int direction, int64_t n);
    // Sets the scroll position, held inside the scroll range.
    void SetScrollPosition(Point device);

    Point LogicalToDevice(Point p) const;
    Point DeviceToLogical(Point p) const;
    Point GetLogicalCenterPoint() const;
    // The size fitted into `size` with the image's aspect, and what is left.
    void FitToAspect(Size& size, Size& leftover) const;

    double GetZoomFactor() const { return zoom_; }
    Size GetLogicalSize() const { return logical_; }
    Size GetTotalDeviceSize() const { return total_device_; }
    Size GetClientSize() const { return client_; }
    Point GetScrollPosition() const { return scroll_; }
    // Scroll range: total device size less the client, never negative.
    Size GetScrollLimit() const;
    // A scroll bar is shown in a direction where the image exceeds the client.
    bool HasHorizontalBar() const { return total_device_.width > client_.width; }
    bool HasVerticalBar() const { return total_device_.height > client_.height; }
    // Client pixel of logical (0, 0): minus the scroll position, or the
    // centring offset where the image is smaller than the client.
    Point GetOrigin() const;
    Size GetPageSize() const { return page_device_; }
    Size GetLineSize() const { return line_device_; }

private:
    void SetZoom(double zoom);
    void UpdateDeviceSizes();

    Size logical_{1, 1};
    Size base_{1, 1};
    Size total_device_{1, 1};
    Size client_{0, 0};
    Point scroll_;
    Size page_;
    Size line_;
    Size page_device_;
    Size line_device_;
    double zoom_ = 1.0;
};
