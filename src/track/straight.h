#pragma once
// A straight section: its start point lies on the centre line beside the
// position of the track's first trace in its first cross record; its end
// point is the next section's start, and its length the distance between
// the two.

#include "track/section.h"

class Straight : public Section {
public:
    // See Section::CreateSection.
    Straight(const Track& track, const TrackBlock& block, uint64_t word_index);

    void ComputeStartPoint() override;
    // Quadrilaterals: trace j-1 at the start, at the end, trace j at the
    // end, at the start.
    void BuildSurfaces() override;
    // The start point and the end point.
    void BuildOutline() override;
    WorldPoint LocalToWorld(double along, double lateral) const override;
    WorldPoint TracePointAt(double along, const Trace& trace) const override;
    void Accept(SectionVisitor& visitor) const override;
    double ComputeLength() override;
    // Plain and highlighted lines along the centre line.
    void DrawPartial(CoreDisplay& painter) const override;
};
