#pragma once
// One curve of a telemetry graph built from a lap without any window: the
// kind's channel turned into y values over the lap's distance (metres),
// for the kind's range of samples.
//
// The points come out as a sorted graph curve holds them: in increasing
// distance, and a sample at the distance of an earlier one (a standing
// car) replaces it. Laps of five samples or fewer give no points.

#include <cstdint>
#include <vector>

#include "graph/graph_point.h"

class GetRpyInfo;

struct TelemetryCurve {
    std::vector<GraphPoint> points;
    bool plotted = false;  // at least one sample was plotted
    // The last sample plotted, in sample order (not the largest x).
    double last_x = 0.0;
    double last_y = 0.0;
};

// Speed in km/h times this is the speed the graphs show in miles per hour.
inline constexpr double kGraphMphFactor = 0.621;

// `kind` is a GraphKind (1-21); `wheel` (0 left front, 1 right front, 2
// left rear, 3 right rear) is read by the by-wheel kinds only. `mph`
// converts Speed. An unknown kind, a wheel outside 0..3 or channels
// shorter than the sample count give no points.
TelemetryCurve BuildTelemetryCurve(const GetRpyInfo& lap, int kind, int wheel, bool mph);
