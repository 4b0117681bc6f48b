#include "track/surface_polygon.h"

#include "track/bounding_box.h"
#include "track/trace.h"

namespace {

BoundingBox& SurfaceBox() {
    static BoundingBox box;
    return box;
}

int32_t PolygonKind(int32_t trace_kind) {
    switch (trace_kind) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 9:
    case Trace::kFlaggedKind:
        return trace_kind;
    default:
        // Kind 10 has no surface colour of its own and joins the others.
        return Trace::kOtherKind;
    }
}

}  // namespace

SurfacePolygon::SurfacePolygon(const Trace& trace) : trace_(&trace), kind_(PolygonKind(trace.GetKind())) {}

void SurfacePolygon::AddPoint(const WorldPoint& p) {
    points_.push_back(p);
    SurfaceBox().Add(p);
}

int32_t SurfacePolygon::GetColourIndex() const {
    switch (kind_) {
    case 1: return 7;
    case 2: return 8;
    case 3: return 14;
    case 4: return 9;
    case 5: return 12;
    case 6: return 10;
    case 7: return 6;
    case Trace::kFlaggedKind: return 13;
    default: return 15;
    }
}

double SurfacePolygon::GetMinX() { return SurfaceBox().GetMinX(); }
double SurfacePolygon::GetMaxX() { return SurfaceBox().GetMaxX(); }
double SurfacePolygon::GetMinY() { return SurfaceBox().GetMinY(); }
double SurfacePolygon::GetMaxY() { return SurfaceBox().GetMaxY(); }
void SurfacePolygon::ResetBounds() { SurfaceBox().Reset(); }
