#include "graph/time_difference.h"

#include <algorithm>
#include <cmath>

#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"

namespace {

constexpr double kTick = 1.0 / 36.0;

// The lap time text of a non-negative number of milliseconds; values
// beyond the 24 bits of a lap-time word are held at its largest.
std::string TimeText(double ms) {
    const double held = std::isfinite(ms) ? std::clamp(std::trunc(ms), 0.0, 16777215.0) : 0.0;
    return CRpyGraphDoc::FormatLapTime(static_cast<uint32_t>(held));
}

// A lap the difference can walk: two samples at least, with distances.
bool Walkable(const GetRpyInfo& lap) {
    const size_t count = lap.sample_count;
    return count >= 2 && lap.distance.size() > count && lap.distance_raw.size() > 2;
}

double StartOffset(const GetRpyInfo& lap) {
    // The raw distance already run at sample 2, in ticks of the start step;
    // a car standing at the start has no step and no offset.
    if (lap.start_distance_step == 0) return 0.0;
    return lap.distance_raw[2] * kTick / lap.start_distance_step;
}

}  // namespace

void TimeDifference::Compute(const GetRpyInfo& a, const GetRpyInfo& b, uint32_t lap_time_a, uint32_t lap_time_b,
                             double y_min, double y_max) {
    *this = TimeDifference();
    finish_ = static_cast<int64_t>(Drivers::LapMs(lap_time_a)) - static_cast<int64_t>(Drivers::LapMs(lap_time_b));

    const double half = (y_max - y_min) * 0.5;
    centre_ = y_min + half;

    if (Walkable(a) && Walkable(b)) {
        const int64_t count_a = a.sample_count;
        const int64_t count_b = b.sample_count;
        const double d = std::max(a.distance[static_cast<size_t>(count_a - 2)],
                                  b.distance[static_cast<size_t>(count_b - 2)]);
        const int64_t shorter = std::min(count_a, count_b);
        n_ = shorter < 1000 ? static_cast<int>(shorter / 2) : 1000;
        step_ = n_ > 0 && std::isfinite(d) && d > 0.0 ? d / n_ : 0.0;
        if (step_ == 0.0) n_ = 0;
    }
    finish_step_ = n_ <= 3 ? 4 : n_ + 1;
    values_.assign(static_cast<size_t>(finish_step_ + 1), 0.0);

    if (n_ > 3) {
        const double off_a = StartOffset(a);
        const double off_b = StartOffset(b);
        const int64_t last_a = a.sample_count;
        const int64_t last_b = b.sample_count;
        int64_t ia = 1;
        int64_t ib = 1;
        for (int k = 3; k <= n_ - 1; ++k) {
            const double target = k * step_;
            if (ia < last_a) ++ia;
            while (ia < last_a && a.distance[static_cast<size_t>(ia)] < target) ++ia;
            if (ib < last_b) ++ib;
            while (ib < last_b && b.distance[static_cast<size_t>(ib)] < target) ++ib;

            const double x = b.distance[static_cast<size_t>(ib)];
            const double d0 = a.distance[static_cast<size_t>(ia - 1)];
            const double d1 = a.distance[static_cast<size_t>(ia)];
            // A car standing between the two samples reached x at the first.
            const double fa = d1 != d0 ? (x - d0) / (d1 - d0) : 0.0;
            const double ta = (static_cast<double>(ia - 2) * kTick + fa * kTick + off_a) * 1000.0;
            const double tb = (static_cast<double>(ib - 2) * kTick + kTick + off_b) * 1000.0;
            const double v = ta - tb;
            values_[static_cast<size_t>(k)] = v;
            max_diff_ = std::max(max_diff_, v);
            min_diff_ = std::min(min_diff_, v);
        }
        last_target_ = (n_ - 1) * step_;
    } else {
        // Too few steps to walk: the zero line reaches the finish point.
        last_target_ = finish_step_ * step_;
    }

    const double largest = std::max(max_diff_, std::fabs(min_diff_));
    // Laps that never differ stay on the centre line.
    scale_ = largest > 0.0 ? half * 0.99 / largest : 0.0;
    values_[static_cast<size_t>(finish_step_)] = static_cast<double>(finish_);
}

std::vector<TimeDifference::Point> TimeDifference::CurvePoints() const {
    std::vector<Point> points;
    for (int k = 3; k <= n_ - 1; ++k)
        points.push_back({k * step_, values_[static_cast<size_t>(k)] * scale_ + centre_});
    points.push_back({finish_step_ * step_, static_cast<double>(finish_) * scale_ + centre_});
    return points;
}

std::string TimeDifference::SignedTime(bool positive, double ms) {
    std::string text = positive ? "+" : "-";
    text += TimeText(std::fabs(ms));
    return text;
}

std::string TimeDifference::FinishText() const {
    return SignedTime(finish_ > 0, static_cast<double>(finish_));
}

std::string TimeDifference::MaxBehindText() const {
    if (max_diff_ == 0.0) return "NA";
    return SignedTime(std::trunc(max_diff_) > 0.0, std::trunc(max_diff_));
}

std::string TimeDifference::MaxAheadText() const {
    if (min_diff_ == 0.0) return "NA";
    return SignedTime(std::trunc(min_diff_) > 0.0, std::trunc(min_diff_));
}

std::string TimeDifference::SpreadText() const {
    const double spread = max_diff_ + std::fabs(min_diff_);
    if (spread == 0.0) return "NA";
    return TimeText(std::fabs(std::trunc(spread)));
}

std::string TimeDifference::AtDistanceText(double x) const {
    if (step_ <= 0.0 || !std::isfinite(x)) return {};
    // The step whose distance is nearest to x: the curve's point there.
    const double k = std::floor(x / step_ + 0.5);
    if (k < 3.0 || k >= n_) return {};
    const double d = values_[static_cast<size_t>(k)];
    return SignedTime(d > 0.0, std::trunc(std::fabs(d) + 0.5));
}

std::string TimeDifference::CursorText(double y) const {
    const double v = scale_ != 0.0 ? (y - centre_) / scale_ : 0.0;
    return ", timediff=" + SignedTime(v > 0.0, std::trunc(std::fabs(v) + 0.5));
}
