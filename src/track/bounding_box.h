#pragma once
// Least and greatest x and y of the points added since the last reset. The
// outline and surface polygons of every track widen one such box each, and
// the painter fits the map to it.

#include "track/world_point.h"

class BoundingBox {
public:
    // The first point after a reset sets all four limits.
    void Add(const WorldPoint& p);
    // Marks the box empty; the limits then read 0.
    void Reset();

    bool IsEmpty() const { return empty_; }
    double GetMinX() const { return min_x_; }
    double GetMaxX() const { return max_x_; }
    double GetMinY() const { return min_y_; }
    double GetMaxY() const { return max_y_; }

private:
    bool empty_ = true;
    double min_x_ = 0.0;
    double max_x_ = 0.0;
    double min_y_ = 0.0;
    double max_y_ = 0.0;
};
