#include "track/straight.h"

#include <cmath>
#include <numbers>

#include "track/core_display.h"
#include "track/section_visitor.h"
#include "track/track.h"
#include "track/track_block.h"

Straight::Straight(const Track& track, const TrackBlock& block, uint64_t word_index)
    : Section(track, block, word_index) {}

void Straight::ComputeStartPoint() {
    // The cross record holds the world position of the track's first trace,
    // which lies to the right of the centre line; the centre is |P0| to the
    // left of it. The sum is formed in track units and then scaled.
    const double p0 = std::fabs(static_cast<double>(track_->GetTraceValue(0)));
    const double left = heading_ + std::numbers::pi / 2;
    start_point_.x = (p0 * std::cos(left) + cross_.at(0).words[6]) * TrackBlock::kTrackUnit;
    start_point_.y = (p0 * std::sin(left) + cross_.at(0).words[7]) * TrackBlock::kTrackUnit;
}

double Straight::ComputeLength() {
    computed_length_ = std::hypot(end_point_.x - start_point_.x, end_point_.y - start_point_.y);
    return computed_length_;
}

WorldPoint Straight::LocalToWorld(double along, double lateral) const {
    return {start_point_.x + along * cos_heading_ - lateral * sin_heading_,
            start_point_.y + along * sin_heading_ + lateral * cos_heading_};
}

WorldPoint Straight::TracePointAt(double along, const Trace& trace) const {
    const double s = trace.GetStartOffset();
    const double e = trace.GetEndOffset();
    return LocalToWorld(along, s + (e - s) * along / length_);
}

void Straight::BuildOutline() {
    outline_.AddPoint(start_point_);
    outline_.AddPoint(end_point_);
}

void Straight::BuildSurfaces() {
    // Both ends are offset square to the start heading, so a band keeps its
    // four corners even where a trace does not change its offset.
    const double nx = std::cos(heading_ + std::numbers::pi / 2);
    const double ny = std::sin(heading_ + std::numbers::pi / 2);
    auto at_start = [&](const Trace& t) {
        return WorldPoint{start_point_.x + t.GetStartOffset() * nx, start_point_.y + t.GetStartOffset() * ny};
    };
    auto at_end = [&](const Trace& t) {
        return WorldPoint{end_point_.x + t.GetEndOffset() * nx, end_point_.y + t.GetEndOffset() * ny};
    };
    surfaces_.clear();
    if (traces_.size() < 2) return;
    surfaces_.reserve(traces_.size() - 1);
    for (size_t j = 1; j < traces_.size(); ++j) {
        SurfacePolygon& p = surfaces_.emplace_back(traces_[j - 1]);
        p.AddPoint(at_start(traces_[j - 1]));
        p.AddPoint(at_end(traces_[j - 1]));
        p.AddPoint(at_end(traces_[j]));
        p.AddPoint(at_start(traces_[j]));
    }
}

void Straight::Accept(SectionVisitor& visitor) const {
    visitor.VisitStraight(*this);
}

void Straight::DrawPartial(CoreDisplay& painter) const {
    const WorldPoint from = LocalToWorld(highlight_from_ - start_distance_, 0.0);
    const WorldPoint to = LocalToWorld(highlight_to_ - start_distance_, 0.0);
    if (range_from_ && range_to_) {
        painter.DrawLine(start_point_, from);
        painter.DrawHighlightedLine(from, to);
        painter.DrawLine(to, end_point_);
    } else if (range_from_) {
        painter.DrawLine(start_point_, from);
        painter.DrawHighlightedLine(from, end_point_);
    } else if (range_to_) {
        painter.DrawHighlightedLine(start_point_, to);
        painter.DrawLine(to, end_point_);
    }
}
