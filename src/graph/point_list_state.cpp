#include "graph/point_list_state.h"

#include <algorithm>

#include "graph/graph_model.h"
#include "graph/point_list_view.h"

namespace {

// Repaint suppressed between construction and destruction when asked.
class Quietly {
public:
    Quietly(PointListView& view, bool quiet) : view_(view), quiet_(quiet) {
        if (quiet_) view_.BeginQuiet();
    }
    ~Quietly() {
        if (quiet_) view_.EndQuiet();
    }
    Quietly(const Quietly&) = delete;
    Quietly& operator=(const Quietly&) = delete;

private:
    PointListView& view_;
    bool quiet_;
};

int PointCount(const GraphModel* model, int graph) {
    const CGraphProps* curve = model != nullptr ? model->GetGraph(graph) : nullptr;
    return curve != nullptr ? curve->GetCount() : 0;
}

}  // namespace

int PointListState::GetCurrentGraph() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(entries_.size())) return -1;
    return entries_[static_cast<size_t>(selected_)];
}

void PointListState::SetRows(int count) {
    rows_ = count;
    view_.SetRowCount(count);
}

void PointListState::OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice, const GraphModel* model,
                                   bool visible) {
    const bool quiet = !notice.redraw && visible;
    const int current = GetCurrentGraph();
    const bool follows = live_ && current != -1 && notice.graph == current;
    switch (code) {
        case GraphNotifyCode::PointAdded: {
            if (!follows) break;
            Quietly q(view_, quiet);
            // A point that replaced one at the same x, or an insert that
            // was refused, leaves the count as it was: the list keeps one
            // row per point.
            const int count = PointCount(model, current);
            if (count == rows_ + 1 && notice.point >= 0 && notice.point <= rows_) {
                ++rows_;
                view_.InsertRow(notice.point);
            } else if (count != rows_) {
                SetRows(count);
            } else if (notice.point >= 0 && notice.point < rows_) {
                view_.RepaintRows(notice.point, notice.point);
            }
            break;
        }
        case GraphNotifyCode::PointRemoved: {
            if (!follows) break;
            Quietly q(view_, quiet);
            const int count = PointCount(model, current);
            if (count == rows_ - 1 && notice.point >= 0 && notice.point < rows_) {
                --rows_;
                view_.DeleteRow(notice.point);
            } else if (count != rows_) {
                SetRows(count);
            }
            break;
        }
        case GraphNotifyCode::PointChanged: {
            if (!follows) break;
            Quietly q(view_, quiet);
            // A changed point of a sorted curve may move, or replace
            // another point with its x: every row may read differently.
            const int count = PointCount(model, current);
            if (count != rows_)
                SetRows(count);
            else if (rows_ > 0)
                view_.RepaintRows(0, rows_ - 1);
            break;
        }
        case GraphNotifyCode::GraphAdded: {
            Quietly q(view_, quiet);
            entries_.push_back(notice.graph);
            if (selected_ == -1) selected_ = static_cast<int>(entries_.size()) - 1;
            view_.RepaintCombo(false);
            break;
        }
        case GraphNotifyCode::GraphRemoved: {
            const auto found = std::find(entries_.begin(), entries_.end(), notice.graph);
            if (found == entries_.end()) break;
            Quietly q(view_, quiet);
            const int entry = static_cast<int>(found - entries_.begin());
            entries_.erase(found);
            if (entry < selected_)
                --selected_;
            else if (entry == selected_)
                selected_ = -1;
            if (entries_.empty()) {
                selected_ = -1;
                SetRows(0);
            } else if (notice.graph == current) {
                selected_ = 0;
                Refill(model);
            }
            view_.RepaintCombo(false);
            break;
        }
        case GraphNotifyCode::PointsCleared:
            if (notice.graph == -1 || (current != -1 && notice.graph == current)) {
                Quietly q(view_, quiet);
                SetRows(0);
            }
            break;
        case GraphNotifyCode::RangeSet:
            view_.RepaintCombo(false);
            break;
        case GraphNotifyCode::LabelChanged:
            if (notice.redraw) Refill(model);
            break;
        case GraphNotifyCode::ListLive:
            live_ = true;
            [[fallthrough]];
        case GraphNotifyCode::Redraw:
            view_.RepaintCombo(true);
            Refill(model);
            break;
        case GraphNotifyCode::ListFrozen:
            live_ = false;
            break;
    }
}

void PointListState::SelectEntry(int entry, const GraphModel* model) {
    selected_ = entry >= 0 && entry < static_cast<int>(entries_.size()) ? entry : -1;
    Refill(model);
}

void PointListState::Refill(const GraphModel* model) {
    if (!live_) return;
    const int current = GetCurrentGraph();
    const int count = current == -1 ? 0 : PointCount(model, current);
    if (count != rows_)
        SetRows(count);
    else if (count >= 1)
        view_.RepaintRows(0, count - 1);
}

std::string PointListState::RowText(const GraphModel* model, int graph, int row, int column) {
    const CGraphProps* curve = model != nullptr ? model->GetGraph(graph) : nullptr;
    if (curve == nullptr || row < 0 || row >= curve->GetCount()) return "";
    const GraphPoint& p = curve->GetPoint(row);
    if (column == 0) return model->FormatAxisValue(p.x, 1, 1);
    if (column == 1) return model->FormatAxisValue(p.y, 0, 1);
    return "";
}
