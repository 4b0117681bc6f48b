#pragma once
// A point of the track plane in metres: x to the right, y up.

struct WorldPoint {
    double x = 0.0;
    double y = 0.0;
};
