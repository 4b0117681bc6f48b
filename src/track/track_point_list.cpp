#include "track/track_point_list.h"

#include "track/bounding_box.h"

namespace {

BoundingBox& OutlineBox() {
    static BoundingBox box;
    return box;
}

}  // namespace

void TrackPointList::AddPoint(const WorldPoint& p) {
    points_.push_back(p);
    OutlineBox().Add(p);
}

double TrackPointList::GetMinX() { return OutlineBox().GetMinX(); }
double TrackPointList::GetMaxX() { return OutlineBox().GetMaxX(); }
double TrackPointList::GetMinY() { return OutlineBox().GetMinY(); }
double TrackPointList::GetMaxY() { return OutlineBox().GetMaxY(); }
void TrackPointList::ResetBounds() { OutlineBox().Reset(); }
