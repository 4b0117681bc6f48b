#pragma once
// A curve section: an arc about a centre Z, turning left (counter-
// clockwise) when its angle is 0 or more and right when it is negative.
// The signed centre-line radius rho is read off the first and last cross
// records, which hold the signed radii of the track's first and last
// traces; r = |rho|. Its computed length is rho x angle.

#include <cstdint>
#include <vector>

#include "track/section.h"

class Curve : public Section {
public:
    // See Section::CreateSection; also throws the block's path followed by
    // " ; curve radius is 0" when the centre-line radius comes out 0.
    Curve(const Track& track, const TrackBlock& block, uint64_t word_index);

    // Z + r n(h - pi/2) on a left curve, Z + r n(h + pi/2) on a right one.
    void ComputeStartPoint() override;
    // Polygon j-1: the arc of trace j-1 backwards, then the arc of trace j.
    void BuildSurfaces() override;
    // The start point, m points on the centre arc (the first of them again
    // the start), and the arc's end: m + 2 points.
    void BuildOutline() override;
    // Advances by arc length on the centre radius; a positive lateral
    // offset lies nearer the centre on a left curve, farther out on a right
    // one.
    WorldPoint LocalToWorld(double along, double lateral) const override;
    WorldPoint TracePointAt(double along, const Trace& trace) const override;
    void Accept(SectionVisitor& visitor) const override;
    double ComputeLength() override;
    // The plain outline, then the highlighted run over it.
    void DrawPartial(CoreDisplay& painter) const override;

    // Polyline of one trace from the section's start to its end, one point
    // per 5 m of arc: GetSampleCount() + 1 points.
    std::vector<WorldPoint> ArcPoints(const Trace& trace) const;
    // m = Round(0.2 x computed length), at least 1.
    int64_t GetSampleCount() const;

    bool IsLeft() const { return angle_ >= 0; }
    // Radians, signed (positive turns left).
    double GetAngle() const { return angle_; }
    // Signed centre-line radius rho, metres.
    double GetRadius() const { return rho_; }
    const WorldPoint& GetCentre() const { return centre_; }

private:
    // Radii of a trace at the start and the end of the section.
    void TraceRadii(const Trace& trace, double& w0, double& w1) const;
    // Z + w n(t - pi/2) on a left curve, Z + w n(t + pi/2) on a right one.
    WorldPoint OnArc(double w, double t) const;

    double angle_ = 0.0;
    double rho_ = 0.0;
    WorldPoint centre_;
};
