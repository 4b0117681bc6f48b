#pragma once
// The start/finish line or a split line: a line across the full width of
// the track at one distance along the lap, from the section's last trace
// (first point) to its first trace (second point), in metres.

#include "track/world_point.h"

class Track;

class SplitLine {
public:
    // Sets the line across the track at `distance` metres along the lap.
    // Throws ZAVROException "findSection returned -1" when the distance is
    // not on the lap (at or beyond the lap length); the line is then
    // unchanged. A section without traces gives a line of no width on the
    // centre line.
    void Compute(const Track& track, double distance);

    const WorldPoint& GetFirstPoint() const { return first_; }
    const WorldPoint& GetSecondPoint() const { return second_; }

private:
    WorldPoint first_;
    WorldPoint second_;
};
