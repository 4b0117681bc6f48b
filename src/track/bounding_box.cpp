#include "track/bounding_box.h"

#include <algorithm>

void BoundingBox::Add(const WorldPoint& p) {
    if (empty_) {
        min_x_ = max_x_ = p.x;
        min_y_ = max_y_ = p.y;
        empty_ = false;
        return;
    }
    min_x_ = std::min(min_x_, p.x);
    max_x_ = std::max(max_x_, p.x);
    min_y_ = std::min(min_y_, p.y);
    max_y_ = std::max(max_y_, p.y);
}

void BoundingBox::Reset() {
    *this = BoundingBox();
}
