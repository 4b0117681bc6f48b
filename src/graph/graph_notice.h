#pragma once
// The change notices of a graph: the graph window tells the windows that
// show its data (the plotting panel first, then the point list) about
// every change through direct calls, before the changing operation
// returns. The codes keep the graph component's numbering.

class GraphModel;

enum class GraphNotifyCode {
    PointAdded = 1,     // graph, point (where it landed), redraw
    PointRemoved = 2,   // graph, point, redraw
    PointChanged = 3,   // graph, point (the index given), redraw
    GraphAdded = 4,     // graph, redraw
    GraphRemoved = 5,   // graph, redraw
    PointsCleared = 6,  // graph (-1 for all), redraw
    RangeSet = 8,       // x0, x1, y0, y1, flags, redraw
    LabelChanged = 9,   // axis (nonzero = x), redraw
    Redraw = 10,        // redraw_flags: 1 the plot, 4 both rulers (-1 all)
    ListLive = 11,      // the point list follows the data again
    ListFrozen = 12,    // the point list stops following until live
};

// The record of a notice; only the fields of its code are meaningful.
struct GraphNotice {
    int graph = -1;
    int point = -1;
    bool redraw = false;
    double x0 = 0.0;
    double x1 = 0.0;
    double y0 = 0.0;
    double y1 = 0.0;
    int flags = 0;
    int axis = 0;
    int redraw_flags = 0;
    GraphModel* sender = nullptr;
};

class GraphNotifyReceiver {
public:
    virtual ~GraphNotifyReceiver() = default;
    virtual void OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice) = 0;
};
