#pragma once
// The point set of one graph curve, with its bounding corners.
//
// A sorted collection keeps its points in non-decreasing x: a point whose x
// is already present replaces that point, or, when duplicates are allowed,
// is inserted in front of it. An unsorted collection keeps the order given.
//
// The corners are widened as points arrive and recomputed only on request
// (`recalc`), so after a replacement or removal without recalc they may
// still include a point that is gone; callers that need exact corners pass
// recalc or call RecalcBounds. An empty collection has all four bounds 0.

#include <cstddef>
#include <vector>

#include "graph/graph_point.h"

class CPointsCollection {
public:
    CPointsCollection() = default;
    CPointsCollection(bool sorted, bool allow_duplicates) { Init(sorted, allow_duplicates); }

    // Sets both flags and empties the collection.
    void Init(bool sorted, bool allow_duplicates);

    // Places the point and returns the index at which it now stands.
    int AddPoint(double x, double y, bool recalc);
    int AddPoint(const GraphPoint& point, bool recalc) { return AddPoint(point.x, point.y, recalc); }
    // Inserts before the point at `index` (an unsorted collection), or
    // places the point by its x (sorted, or index equal to the count).
    // Returns the index used, or -1 for an index outside 0..count.
    int InsertPoint(int index, const GraphPoint& point, bool recalc);
    // Replaces the point at `index`; returns where the new point stands,
    // or -1 for an index outside 0..count-1.
    int ReplacePoint(int index, const GraphPoint& point, bool recalc);
    // An index outside 0..count-1 is ignored.
    void RemovePoint(int index, bool recalc);
    void RecalcBounds();
    // Count 0 and bounds 0; the storage stays allocated.
    void Clear();

    int GetCount() const { return static_cast<int>(points_.size()); }
    // index in 0..count-1.
    const GraphPoint& GetPoint(int index) const { return points_[static_cast<size_t>(index)]; }
    const std::vector<GraphPoint>& GetPoints() const { return points_; }
    const GraphPoint& GetMax() const { return max_; }
    const GraphPoint& GetMin() const { return min_; }
    bool IsSorted() const { return sorted_; }
    bool AllowsDuplicates() const { return allow_duplicates_; }

private:
    void Widen(double x, double y);
    void InsertAt(int index, const GraphPoint& point);

    std::vector<GraphPoint> points_;
    GraphPoint max_;
    GraphPoint min_;
    bool sorted_ = false;
    bool allow_duplicates_ = false;
};
