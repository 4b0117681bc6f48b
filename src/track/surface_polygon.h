#pragma once
// A filled band of a section between two adjacent traces, coloured by the
// surface kind of the first of the two. Every point added widens one
// process-wide box, the surface box, shared by all tracks; the track-map
// view fits the map to it. Track::Clear resets it.

#include <cstdint>
#include <vector>

#include "track/world_point.h"

class Trace;

class SurfacePolygon {
public:
    // The trace is not owned and must outlive the polygon (both belong to
    // the same section).
    explicit SurfacePolygon(const Trace& trace);

    void AddPoint(const WorldPoint& p);
    const std::vector<WorldPoint>& GetPoints() const { return points_; }
    const Trace& GetTrace() const { return *trace_; }

    // The trace's kind where it is 1 to 7, 9 or 2048; 2049 for any other.
    int32_t GetKind() const { return kind_; }
    // Colour-table index of the kind: 1 -> 7, 2 -> 8, 3 -> 14, 4 -> 9,
    // 5 -> 12, 6 -> 10, 7 -> 6, 2048 -> 13, any other -> 15.
    int32_t GetColourIndex() const;

    // The surface box; all four read 0 while it is empty.
    static double GetMinX();
    static double GetMaxX();
    static double GetMinY();
    static double GetMaxY();
    static void ResetBounds();

private:
    const Trace* trace_;
    std::vector<WorldPoint> points_;
    int32_t kind_;
};
