#pragma once
// The outline of a section: its centre line as a polyline in metres. Every
// point added widens one process-wide box, the outline box, shared by all
// tracks; the painter fits the map to it. Track::Clear resets it.

#include <vector>

#include "track/world_point.h"

class TrackPointList {
public:
    void AddPoint(const WorldPoint& p);
    const std::vector<WorldPoint>& GetPoints() const { return points_; }

    // The outline box; all four read 0 while it is empty.
    static double GetMinX();
    static double GetMaxX();
    static double GetMinY();
    static double GetMaxY();
    static void ResetBounds();

private:
    std::vector<WorldPoint> points_;
};
