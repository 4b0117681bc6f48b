#include "tools/traction_circle_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "replay/get_rpy_info.h"

namespace {

constexpr size_t kFirstPlotted = 12;

// The fraction of a sample by which raw distance `raw` overshoots `metres`,
// in seconds; a zero step adds nothing.
double Overshoot(double raw, double metres, double step) {
    if (step == 0.0) return 0.0;
    return (raw - metres * 2000.0) / 36.0 / step;
}

}  // namespace

TractionGeometry TractionGeometry::ForSize(int width, int height) {
    TractionGeometry g;
    g.scale = std::min(width, height) * 0.2;
    g.cx = width / 2;
    g.cy = height / 2;
    return g;
}

TractionTrace TraceLap(const GetRpyInfo& lap, int start, int end, int range_max, bool travel,
                       const TractionGeometry& geometry) {
    TractionTrace trace;
    const auto& lon = travel ? lap.accel_travel_long : lap.accel_long;
    const auto& lat = travel ? lap.accel_travel_lat : lap.accel_lat;
    const auto& d = lap.distance;
    const auto& raw = lap.distance_raw;
    size_t n = lap.sample_count;
    for (size_t size : {lon.size(), lat.size(), d.size(), raw.size()}) n = size == 0 ? 0 : std::min(n, size - 1);

    size_t first = 2;
    while (first <= n && d[first] < start) ++first;
    if (first > n) return trace;  // the range starts past the lap's samples
    trace.first = first;
    size_t i = std::max(first, kFirstPlotted);
    if (i > n) return trace;
    trace.from = i;
    const auto point = [&](size_t k) {
        return TractionPoint{geometry.cx + static_cast<int>(std::trunc(geometry.scale * lat[k])),
                             geometry.cy + static_cast<int>(std::trunc(lon[k] * geometry.scale))};
    };
    trace.points.push_back(point(i));
    while (d[i] < end && i + 1 <= n) {
        ++i;
        trace.points.push_back(point(i));
    }
    trace.last = i;

    // Whole samples between the two ends plus the fractions of a sample by
    // which each end overshoots its distance.
    size_t from = first;
    double s1 = 0.0;
    if (start == 0) {
        from = 2;
        s1 = lap.start_distance_step;
    } else if (from >= 1) {
        s1 = static_cast<double>(raw[from]) - static_cast<double>(raw[from - 1]);
    }
    size_t to = trace.last;
    double s2 = 0.0;
    if (range_max == end && n >= 2) {
        to = n - 2;
        s2 = lap.end_distance_step;
    } else if (to >= 1) {
        s2 = static_cast<double>(raw[to]) - static_cast<double>(raw[to - 1]);
    }
    const double seconds = (static_cast<double>(to) - static_cast<double>(from)) / 36.0 +
                           Overshoot(raw[from], start, s1) - Overshoot(raw[to], end, s2);
    trace.hundredths = std::max<int64_t>(0, static_cast<int64_t>(std::trunc(seconds * 100.0)));
    return trace;
}

std::string FormatRangeTime(int64_t hundredths) {
    const auto t = static_cast<uint32_t>(hundredths) & 0xFFFFFF;
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u", t / 100, t % 100);
    return text;
}

std::vector<TractionPoint> CirclePoints(const TractionGeometry& geometry, double g) {
    const double r = std::trunc(geometry.scale * g);
    std::vector<TractionPoint> points;
    points.reserve(361);
    for (int degree = 0; degree <= 360; ++degree) {
        const double a = degree * 0.017453292519943295;
        points.push_back({static_cast<int>(std::trunc(std::cos(a) * r)) + geometry.cx,
                          static_cast<int>(std::trunc(std::sin(a) * r)) + geometry.cy});
    }
    return points;
}
