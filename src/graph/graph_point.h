#pragma once
// One point of a graph curve, in the curve's own units.

struct GraphPoint {
    double x = 0.0;
    double y = 0.0;
};
