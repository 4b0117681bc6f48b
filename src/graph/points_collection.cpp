#include "graph/points_collection.h"

#include <algorithm>

void CPointsCollection::Init(bool sorted, bool allow_duplicates) {
    sorted_ = sorted;
    allow_duplicates_ = allow_duplicates;
    points_.clear();
    max_ = GraphPoint{};
    min_ = GraphPoint{};
}

void CPointsCollection::Widen(double x, double y) {
    if (points_.empty()) {
        max_ = GraphPoint{x, y};
        min_ = GraphPoint{x, y};
        return;
    }
    if (x > max_.x) max_.x = x;
    if (x < min_.x) min_.x = x;
    if (y > max_.y) max_.y = y;
    if (y < min_.y) min_.y = y;
}

void CPointsCollection::InsertAt(int index, const GraphPoint& point) {
    points_.insert(points_.begin() + index, point);
}

int CPointsCollection::AddPoint(double x, double y, bool recalc) {
    Widen(x, y);
    const GraphPoint point{x, y};
    const int count = GetCount();
    if (!sorted_ || count == 0) {
        points_.push_back(point);
        return count;
    }
    if (x < points_.front().x) {
        InsertAt(0, point);
        return 0;
    }
    if (x > points_.back().x) {
        points_.push_back(point);
        return count;
    }
    // The first point whose x is not below the new one; x lies within the
    // first and last x here, so there is one.
    const auto at = std::lower_bound(points_.begin(), points_.end(), x,
                                     [](const GraphPoint& p, double v) { return p.x < v; });
    const int i = static_cast<int>(at - points_.begin());
    if (at->x == x && !allow_duplicates_) {
        *at = point;
        if (recalc) RecalcBounds();
        return i;
    }
    points_.insert(at, point);
    return i;
}

int CPointsCollection::InsertPoint(int index, const GraphPoint& point, bool recalc) {
    const int count = GetCount();
    if (index < 0 || index > count) return -1;
    if (index == count || sorted_) return AddPoint(point, recalc);
    InsertAt(index, point);
    if (recalc) RecalcBounds();
    return index;
}

int CPointsCollection::ReplacePoint(int index, const GraphPoint& point, bool recalc) {
    if (index < 0 || index >= GetCount()) return -1;
    points_.erase(points_.begin() + index);
    if (sorted_) return AddPoint(point, recalc);
    InsertPoint(index, point, recalc);
    return index;
}

void CPointsCollection::RemovePoint(int index, bool recalc) {
    if (index < 0 || index >= GetCount()) return;
    points_.erase(points_.begin() + index);
    if (recalc) RecalcBounds();
}

void CPointsCollection::RecalcBounds() {
    if (points_.empty()) {
        max_ = GraphPoint{};
        min_ = GraphPoint{};
        return;
    }
    min_ = max_ = points_.front();
    for (size_t i = 1; i < points_.size(); ++i) {
        const GraphPoint& p = points_[i];
        if (p.x < min_.x)
            min_.x = p.x;
        else if (p.x > max_.x)
            max_.x = p.x;
        if (p.y < min_.y)
            min_.y = p.y;
        else if (p.y > max_.y)
            max_.y = p.y;
    }
}

void CPointsCollection::Clear() {
    points_.clear();
    max_ = GraphPoint{};
    min_ = GraphPoint{};
}
