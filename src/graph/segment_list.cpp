#include "graph/segment_list.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graph/axis_scale.h"
#include "graph/points_collection.h"

namespace {

constexpr double kLimit = AxisScale::kPixelLimit;

// The truncated pixel, held inside 64 bits; compared as the pixel drawn
// last, so points far outside still count as different places.
int64_t Truncated(double pixel) {
    if (std::isnan(pixel)) return 0;
    constexpr double kHold = 4.0e18;
    return static_cast<int64_t>(std::clamp(pixel, -kHold, kHold));
}

bool Inside(int64_t v) { return v >= -AxisScale::kPixelLimit && v <= AxisScale::kPixelLimit; }

// Liang-Barsky: cuts the segment to the square +-kLimit; false when
// nothing of it lies inside.
bool Clip(double& x0, double& y0, double& x1, double& y1) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + kLimit, kLimit - x0, y0 + kLimit, kLimit - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    const double bx = x0 + t1 * dx, by = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    x1 = bx;
    y1 = by;
    return true;
}

int32_t Held(double v) { return static_cast<int32_t>(std::clamp(v, -kLimit, kLimit)); }

}  // namespace

void SegmentList::AddSegment(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    if (Inside(x0) && Inside(y0) && Inside(x1) && Inside(y1)) {
        if (!run_open_) {
            run_starts_.push_back(points_.size());
            points_.push_back({static_cast<int32_t>(x0), static_cast<int32_t>(y0)});
        }
        points_.push_back({static_cast<int32_t>(x1), static_cast<int32_t>(y1)});
        run_open_ = true;
        return;
    }
    double ax = static_cast<double>(x0), ay = static_cast<double>(y0);
    double bx = static_cast<double>(x1), by = static_cast<double>(y1);
    run_open_ = false;
    if (!Clip(ax, ay, bx, by)) return;
    run_starts_.push_back(points_.size());
    points_.push_back({Held(ax), Held(ay)});
    points_.push_back({Held(bx), Held(by)});
}

void SegmentList::Build(const CPointsCollection& points, const AxisScale& x_scale, const AxisScale& y_scale,
                        bool lines, bool marks) {
    points_.clear();
    run_starts_.clear();
    marks_.clear();
    run_open_ = false;
    const std::vector<GraphPoint>& source = points.GetPoints();
    if (source.empty()) return;

    int64_t last_x = Truncated(x_scale.ValueToPixel(source.front().x));
    int64_t last_y = Truncated(y_scale.ValueToPixel(source.front().y));
    if (marks && Inside(last_x) && Inside(last_y))
        marks_.push_back({static_cast<int32_t>(last_x), static_cast<int32_t>(last_y)});
    for (size_t i = 1; i < source.size(); ++i) {
        const int64_t x = Truncated(x_scale.ValueToPixel(source[i].x));
        const int64_t y = Truncated(y_scale.ValueToPixel(source[i].y));
        if (x == last_x && y == last_y) continue;
        if (marks && Inside(x) && Inside(y)) marks_.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
        if (lines) AddSegment(last_x, last_y, x, y);
        last_x = x;
        last_y = y;
    }
    CompressColumns();
}

void SegmentList::CompressColumns() {
    size_t out = 0;
    const size_t runs = run_starts_.size();
    for (size_t run = 0; run < runs; ++run) {
        const size_t begin = run_starts_[run];
        const size_t end = run + 1 < runs ? run_starts_[run + 1] : points_.size();
        run_starts_[run] = out;
        for (size_t i = begin; i < end;) {
            size_t j = i + 1;
            while (j < end && points_[j].x == points_[i].x) ++j;
            if (j - i <= 4) {
                for (size_t k = i; k < j; ++k) points_[out++] = points_[k];
            } else {
                size_t lo = i;
                size_t hi = i;
                for (size_t k = i + 1; k < j; ++k) {
                    if (points_[k].y < points_[lo].y) lo = k;
                    if (points_[k].y > points_[hi].y) hi = k;
                }
                const Pixel keep[4] = {points_[i], points_[std::min(lo, hi)], points_[std::max(lo, hi)],
                                       points_[j - 1]};
                // Points are only ever moved down (out <= i), and keep
                // holds copies, so nothing unread is overwritten.
                for (const Pixel& p : keep)
                    if (out == run_starts_[run] || !(points_[out - 1] == p)) points_[out++] = p;
            }
            i = j;
        }
    }
    points_.resize(out);
}
