#pragma once
// The state of the "Points" bar without a window: the curve combo's
// entries (one per curve, holding the curve's slot), which one is
// selected, whether the list follows the data (live) or is frozen, and the
// number of rows the list shows. It applies the graph's notices and tells
// its view which rows and entries to change; the rows' texts are made
// from the selected curve's points when the view draws them.
//
// Frozen, the list skips all per-point work: row inserts, deletes and
// repaints are dropped and Refill does nothing, while curves still come
// and go in the combo and clears still empty the list. Becoming live
// refills it once, so it then has exactly as many rows as the curve has
// points.
//
// While live, the list keeps one row per point of the shown curve: a
// point that replaces another at the same x repaints that row instead of
// adding one, and an insert or removal the curve refused changes no row.

#include <string>
#include <vector>

#include "graph/graph_notice.h"

class GraphModel;
class PointListView;

class PointListState {
public:
    // `view` is not owned and outlives the state.
    explicit PointListState(PointListView& view) : view_(view) {}

    // Applies a notice of the graph `model` (the window that sent it).
    // `visible` says whether the bar shows; a notice without redraw then
    // changes the list quietly.
    void OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice, const GraphModel* model, bool visible);

    // The user picked another entry (-1 for none).
    void SelectEntry(int entry, const GraphModel* model);
    // Brings the rows up to the selected curve: nothing when frozen.
    void Refill(const GraphModel* model);

    // The slot of the selected entry's curve, or -1 when none is selected.
    int GetCurrentGraph() const;
    int GetSelectedEntry() const { return selected_; }
    const std::vector<int>& GetEntries() const { return entries_; }
    int GetRowCount() const { return rows_; }
    bool IsLive() const { return live_; }

    // Column 0 the point's x, column 1 its y, each with its axis label's
    // decimals and unit; "" for other columns, rows beyond the points or
    // no curve.
    static std::string RowText(const GraphModel* model, int graph, int row, int column);

private:
    void SetRows(int count);

    PointListView& view_;
    std::vector<int> entries_;
    int selected_ = -1;
    int rows_ = 0;
    bool live_ = true;
};
