#include "track/spd_trk_visitor.h"

#include <algorithm>
#include <cmath>

#include "track/curve.h"
#include "track/hsv_to_rgb.h"
#include "track/straight.h"

SpdTrkVisitor::SpdTrkVisitor(double lap_length, std::vector<double> values, bool fixed_scale, int32_t scale)
    : values_(std::move(values)) {
    if (!values_.empty()) piece_length_ = lap_length / static_cast<double>(values_.size());
    next_boundary_ = piece_length_;
    if (fixed_scale) {
        minimum_ = -static_cast<double>(scale);
        maximum_ = static_cast<double>(scale);
    } else if (!values_.empty()) {
        const auto [lo, hi] = std::minmax_element(values_.begin(), values_.end());
        minimum_ = *lo;
        maximum_ = *hi;
    }
}

bool SpdTrkVisitor::MakesPieces() const {
    return !values_.empty() && piece_length_ > 0.0 && std::isfinite(piece_length_);
}

double SpdTrkVisitor::GetMaxAbsValue() const {
    return std::max(std::fabs(minimum_), std::fabs(maximum_));
}

SpdTrkVisitor::Rgb SpdTrkVisitor::ValueColour(double value) const {
    const double m = GetMaxAbsValue();
    float brightness = m > 0.0 ? static_cast<float>(std::fabs(value) / m) : 0.0f;
    // NaN fails every comparison; it must not reach the byte conversion.
    if (!(brightness >= 0.0f)) brightness = 0.0f;
    if (brightness > 1.0f) brightness = 1.0f;
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    HsvToRgb(value >= 0.0 ? 0.33f : 0.0f, 1.0f, brightness, r, g, b);
    return {static_cast<uint8_t>(r * 255.0f), static_cast<uint8_t>(g * 255.0f), static_cast<uint8_t>(b * 255.0f)};
}

SpdTrkVisitor::Rgb SpdTrkVisitor::CurrentColour() const {
    return ValueColour(values_[value_index_]);
}

int64_t SpdTrkVisitor::CountBoundaries(const Section& section) const {
    if (!MakesPieces()) return 0;
    const double end = section.GetStartDistance() + section.GetComputedLength();
    // One piece per value: the boundary after the last value's piece lies
    // at the lap length, and when rounding puts it just inside the last
    // section it must not start a piece without a value. The cap also
    // bounds the count when a lap length shorter than the track's makes
    // the pieces run out early. The boundaries are stepped by the same
    // additions the visits make, so both agree on where each one falls.
    const size_t remaining = values_.size() - 1 - value_index_;
    size_t count = 0;
    for (double b = next_boundary_; count < remaining && b < end; b += piece_length_) ++count;
    return static_cast<int64_t>(count);
}

WorldPoint SpdTrkVisitor::Corner(const Section& section, double along, double lateral, bool widen) {
    const WorldPoint p = section.LocalToWorld(along, lateral);
    if (widen) bounds_.Add(p);
    return p;
}

void SpdTrkVisitor::VisitStraight(const Straight& straight) {
    if (!MakesPieces()) return;
    const double s0 = straight.GetStartDistance();
    const double lc = straight.GetComputedLength();
    const int64_t boundaries = CountBoundaries(straight);

    Piece piece{CurrentColour(), {}};
    piece.points.push_back(Corner(straight, 0.0, -kHalfWidth, true));
    piece.points.push_back(Corner(straight, 0.0, kHalfWidth, true));
    for (int64_t i = 0; i < boundaries; ++i) {
        const double along = next_boundary_ - s0;
        const WorldPoint left = Corner(straight, along, kHalfWidth, false);
        const WorldPoint right = Corner(straight, along, -kHalfWidth, false);
        piece.points.push_back(left);
        piece.points.push_back(right);
        pieces_.push_back(std::move(piece));
        ++value_index_;
        piece = Piece{CurrentColour(), {right, left}};
        next_boundary_ += piece_length_;
    }
    piece.points.push_back(Corner(straight, lc, kHalfWidth, true));
    piece.points.push_back(Corner(straight, lc, -kHalfWidth, true));
    pieces_.push_back(std::move(piece));
}

void SpdTrkVisitor::VisitCurve(const Curve& curve) {
    if (!MakesPieces()) return;
    const double s0 = curve.GetStartDistance();
    const double lc = curve.GetComputedLength();
    const int64_t boundaries = CountBoundaries(curve);

    double p = s0;
    for (int64_t i = 0; i < boundaries; ++i) {
        pieces_.push_back(CurvePiece(curve, p - s0, next_boundary_ - s0));
        p = next_boundary_;
        ++value_index_;
        next_boundary_ += piece_length_;
    }
    pieces_.push_back(CurvePiece(curve, p - s0, lc));
}

SpdTrkVisitor::Piece SpdTrkVisitor::CurvePiece(const Curve& curve, double from, double to) {
    // One step per half metre; a stretch shorter than that has no inner
    // points, only its two corners at the end.
    const double span = to - from;
    const int64_t steps = span >= 0.5 && std::isfinite(span) ? static_cast<int64_t>(2.0 * span) : 0;
    const double step = steps > 0 ? span / static_cast<double>(steps) : 0.0;

    Piece piece{CurrentColour(), {}};
    std::vector<WorldPoint> back;
    piece.points.reserve(static_cast<size_t>(2 * steps + 2));
    back.reserve(static_cast<size_t>(steps + 1));
    for (int64_t k = 0; k < steps; ++k) {
        const double along = from + static_cast<double>(k) * step;
        piece.points.push_back(Corner(curve, along, kHalfWidth, true));
        back.push_back(Corner(curve, along, -kHalfWidth, true));
    }
    piece.points.push_back(Corner(curve, to, kHalfWidth, true));
    back.push_back(Corner(curve, to, -kHalfWidth, true));
    piece.points.insert(piece.points.end(), back.rbegin(), back.rend());
    return piece;
}
