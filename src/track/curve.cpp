#include "track/curve.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "track/core_display.h"
#include "track/round.h"
#include "track/section_visitor.h"
#include "track/track.h"
#include "track/track_block.h"

namespace {

constexpr uint64_t kCentreXWord = 5;
constexpr uint64_t kCentreYWord = 6;
constexpr uint64_t kAngleWord = 7;

}  // namespace

Curve::Curve(const Track& track, const TrackBlock& block, uint64_t w) : Section(track, block, w) {
    constexpr double k = TrackBlock::kTrackUnit;
    centre_ = {block.Int(w + kCentreXWord) * k, block.Int(w + kCentreYWord) * k};
    // Signed: 2^30 is half a turn.
    angle_ = block.Int(w + kAngleWord) * std::numbers::pi / 1073741824.0;
    SetEndHeading(heading_ + angle_);

    // The straight line through (first trace value, its radius) and (last
    // trace value, its radius), taken at lateral offset 0. The reader has
    // made sure the two trace values differ.
    const uint32_t t = track.GetTraceCount();
    const double p0 = track.GetTraceValue(0);
    const double pl = track.GetTraceValue(t - 1);
    const double r0 = cross_.at(0).words[6];
    const double rl = cross_.at(t - 1).words[6];
    rho_ = (rl - pl * (rl - r0) / (pl - p0)) * k;
    // Every point on the curve divides by the radius.
    if (rho_ == 0.0) block.Fail(" ; curve radius is 0");
}

WorldPoint Curve::OnArc(double w, double t) const {
    const double a = IsLeft() ? t - std::numbers::pi / 2 : t + std::numbers::pi / 2;
    return {centre_.x + w * std::cos(a), centre_.y + w * std::sin(a)};
}

void Curve::ComputeStartPoint() {
    start_point_ = OnArc(std::fabs(rho_), heading_);
}

double Curve::ComputeLength() {
    computed_length_ = rho_ * angle_;
    return computed_length_;
}

WorldPoint Curve::LocalToWorld(double along, double lateral) const {
    const double r = std::fabs(rho_);
    if (IsLeft()) return OnArc(r - lateral, heading_ + along / r);
    return OnArc(r + lateral, heading_ - along / r);
}

void Curve::TraceRadii(const Trace& trace, double& w0, double& w1) const {
    const double r = std::fabs(rho_);
    if (IsLeft()) {
        w0 = r - trace.GetStartOffset();
        w1 = r - trace.GetEndOffset();
    } else {
        w0 = r + trace.GetStartOffset();
        w1 = r + trace.GetEndOffset();
    }
}

WorldPoint Curve::TracePointAt(double along, const Trace& trace) const {
    double w0 = 0.0;
    double w1 = 0.0;
    TraceRadii(trace, w0, w1);
    return OnArc(w0 + (w1 - w0) * along / length_, heading_ + along * angle_ / length_);
}

int64_t Curve::GetSampleCount() const {
    return std::max<int64_t>(1, Round(0.2 * computed_length_));
}

std::vector<WorldPoint> Curve::ArcPoints(const Trace& trace) const {
    double w0 = 0.0;
    double w1 = 0.0;
    TraceRadii(trace, w0, w1);
    const int64_t m = GetSampleCount();
    std::vector<WorldPoint> points;
    points.reserve(static_cast<size_t>(m) + 1);
    for (int64_t i = 0; i < m; ++i) {
        points.push_back(OnArc(w0 + i * (w1 - w0) / m, heading_ + i * angle_ / m));
    }
    // The last point takes the end heading itself, so neighbouring sections
    // meet without a sliver.
    points.push_back(OnArc(w1, end_heading_));
    return points;
}

void Curve::BuildSurfaces() {
    surfaces_.clear();
    if (traces_.size() < 2) return;
    surfaces_.reserve(traces_.size() - 1);
    std::vector<WorldPoint> previous = ArcPoints(traces_[0]);
    for (size_t j = 1; j < traces_.size(); ++j) {
        std::vector<WorldPoint> current = ArcPoints(traces_[j]);
        SurfacePolygon& p = surfaces_.emplace_back(traces_[j - 1]);
        for (auto it = previous.rbegin(); it != previous.rend(); ++it) p.AddPoint(*it);
        for (const WorldPoint& q : current) p.AddPoint(q);
        previous = std::move(current);
    }
}

void Curve::BuildOutline() {
    const double r = std::fabs(rho_);
    const int64_t m = GetSampleCount();
    outline_.AddPoint(start_point_);
    for (int64_t i = 0; i < m; ++i) outline_.AddPoint(OnArc(r, heading_ + i * angle_ / m));
    outline_.AddPoint(OnArc(r, end_heading_));
}

void Curve::Accept(SectionVisitor& visitor) const {
    visitor.VisitCurve(*this);
}

void Curve::DrawPartial(CoreDisplay& painter) const {
    painter.DrawSection(outline_);

    double offset = 0.0;
    double span = 0.0;
    if (range_from_ && range_to_) {
        offset = highlight_from_ - start_distance_;
        span = highlight_to_ - highlight_from_;
    } else if (range_from_) {
        offset = highlight_from_ - start_distance_;
        span = end_distance_ - highlight_from_;
    } else {
        span = highlight_to_ - start_distance_;
    }

    // The run follows the outline's own points, picked in proportion to the
    // computed length; a curve of no length (angle 0) has no points to pick
    // and is highlighted as one line.
    const std::vector<WorldPoint>& points = outline_.GetPoints();
    const int64_t count = static_cast<int64_t>(points.size());
    int64_t first = 0;
    int64_t n = 0;
    if (computed_length_ > 0.0) {
        first = std::max<int64_t>(0, Round(count * offset / computed_length_));
        n = Round(count * span / computed_length_);
    }
    WorldPoint p = range_from_ ? LocalToWorld(highlight_from_ - start_distance_, 0.0) : start_point_;
    const WorldPoint q = range_to_ ? LocalToWorld(highlight_to_ - start_distance_, 0.0) : end_point_;
    for (int64_t i = first; i < first + n && i < count; ++i) {
        painter.DrawHighlightedLine(p, points[static_cast<size_t>(i)]);
        p = points[static_cast<size_t>(i)];
    }
    painter.DrawHighlightedLine(p, q);
}
