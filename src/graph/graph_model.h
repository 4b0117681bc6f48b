#pragma once
// The data side of a graph window: the curves in a fixed number of slots,
// the two axis labels, and the notices that tell the windows showing them
// about every change (through the frame link, once the frame exists;
// changes before that are kept but announced to no one).
//
// A graph index is a slot index, 0..capacity-1; an index outside the slots
// or of an empty slot finds no curve. The model owns its curves.
//
// Axes: the label operations take 1 (GetAxisLabel) or any nonzero value
// (SetAxisLabel, FormatAxisValue) for the x axis and anything else for the
// y axis, so SetAxisLabel(..., 5, ...) sets the x label while
// GetAxisLabel(5) returns the y label; callers rely on both.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graph/graph_axis_label.h"
#include "graph/graph_notice.h"
#include "graph/graph_props.h"

class GraphFrameLink;

class GraphModel {
public:
    explicit GraphModel(int capacity);
    virtual ~GraphModel();
    GraphModel(const GraphModel&) = delete;
    GraphModel& operator=(const GraphModel&) = delete;

    // The frame that relays notices and holds the panel (not owned; null
    // detaches it).
    void SetFrameLink(GraphFrameLink* frame) { frame_ = frame; }
    GraphFrameLink* GetFrameLink() const { return frame_; }
    int GetCapacity() const { return static_cast<int>(slots_.size()); }

    // A visible curve with its own pens in the lowest free slot; the slot
    // index, or -1 when every slot is taken.
    int AddGraph(uint32_t colour, const std::string& title, bool redraw, bool sorted = true,
                 bool allow_duplicates = false);
    // The index, or -1 for no curve there.
    int RemoveGraph(int index, bool redraw);
    CGraphProps* GetGraph(int index) const;
    int GetGraphCount() const { return graph_count_; }
    // The first (next) present curve, its slot in `position`; null and -1
    // after the last.
    CGraphProps* GetFirstGraph(int& position) const;
    CGraphProps* GetNextGraph(int& position) const;

    // Index -1 places the point by the curve's own order, any other index
    // inserts it there. Returns -1 for no curve, else the index argument
    // unchanged (so -1 also after placing); the notice carries the index
    // where the point landed.
    int AddPoint(int graph, double x, double y, bool redraw, int index = -1);
    // The point's new index, or -1.
    int SetPoint(int graph, int index, double x, double y, bool redraw);
    // The index, or -1 for no curve.
    int RemovePoint(int graph, int index, bool redraw);
    // One curve, or every present curve for -1 (one notice with graph -1).
    void ClearPoints(int graph, bool redraw);

    // Both return 0 without a frame, 1 when the notice was sent.
    int SetPanelFlags(int flags, bool redraw);
    int SetRange(double x0, double x1, double y0, double y1, bool redraw);
    // The panel's; 0 without frame or panel.
    int GetPanelFlags() const;
    // The panel's range; 0, 10, 0, 10 without frame or panel.
    void GetRange(double& x0, double& x1, double& y0, double& y1) const;
    // The corners of the visible curves that have points; false, with the
    // outputs untouched, when there is none.
    bool GetDataBounds(double& x_min, double& x_max, double& y_min, double& y_max) const;

    CGraphAxisLabel* GetAxisLabel(int axis) { return axis == 1 ? &x_label_ : &y_label_; }
    const CGraphAxisLabel* GetAxisLabel(int axis) const { return axis == 1 ? &x_label_ : &y_label_; }
    void SetAxisLabel(const std::string& title, const std::string& unit, int decimals, int axis, bool redraw);
    std::string FormatAxisValue(double value, int axis, int style) const;

    // Flag word: 1 re-renders the plot, 4 repaints the rulers, -1 all.
    void Redraw(int flags);
    void ShowPointsBar(int flags);

private:
    void Send(GraphNotifyCode code, GraphNotice notice);

    std::vector<std::unique_ptr<CGraphProps>> slots_;
    int graph_count_ = 0;
    CGraphAxisLabel y_label_;
    CGraphAxisLabel x_label_;
    GraphFrameLink* frame_ = nullptr;
};
