#pragma once
// The plotting surface of a graph: draws every visible curve of the
// enclosing graph window into an off-screen canvas and copies it to the
// screen, draws points one by one as they arrive at a curve's ends, keeps
// both rulers' ranges equal to its own, and gives the user the mouse
// tools: the coordinate tooltip (which also tells the cursor listener),
// panning with Shift and the left button, the zoom rectangle, fitting to
// the data and the popup menu of graph options, which also shows or hides
// the "Points" bar and opens the "Properties" sheet.
//
// Full renders are deferred to the next paint, so any number of changes
// within one turn of the event loop costs one render. DrawGraph draws the
// same picture into any painter (printing, images).
//
// The canvas is a 32-bit image, the raster engine's own format: in 16 bits
// a render and its copy to the screen take several times as long, and the
// curves lose the exact colours the track map and the lap boxes show.

#include <QImage>
#include <QPolygon>
#include <QWidget>

#include "graph/graph_notice.h"
#include "graph/graph_panel_state.h"
#include "graph/segment_list.h"
#include "graph/ui/graph_base_class.h"

class CGraphPropertyPage;
class FHRuler;
class FVRuler;
class GraphCursorListener;
class QMenu;

class CGraphPanel : public QWidget, public CGraphBaseClass, public GraphNotifyReceiver {
public:
    // The rulers belong to the container and outlive the panel.
    CGraphPanel(FVRuler* v_ruler, FHRuler* h_ruler, QWidget* parent = nullptr);
    ~CGraphPanel() override;

    int GetFlags() const { return state_.GetFlags(); }
    // Stores a different word, re-rendering when `redraw` is set; returns
    // the previous word.
    int SetFlags(int flags, bool redraw);
    void GetRange(double& x0, double& x1, double& y0, double& y1) const { state_.GetRange(x0, x1, y0, y1); }
    void SetRange(double x0, double x1, double y0, double y1, bool redraw);
    const GraphPanelState& GetState() const { return state_; }

    // Background, curves and (flag 8) the grid within `rect`.
    void DrawGraph(QPainter& painter, const QRect& rect);
    // Scales and canvas for the panel's current size (done on every
    // resize; callable while hidden).
    void LayOut();
    // Asks for a full render of the canvas at the next paint.
    void Render();
    // The number of full renders of the canvas so far.
    int GetRenderCount() const { return render_count_; }
    const QImage& GetCanvas() const { return canvas_; }

    // Not owned; null stops the calls.
    void SetCursorListener(GraphCursorListener* listener) { cursor_listener_ = listener; }
    // "x=<x value> <unit>, y=<y value> <unit>" at a client pixel, followed
    // by the cursor listener's text; "" without scales or graph window.
    std::string FormatTipText(int x, int y);

    // The popup menu as every ancestor builds it; owned by the caller.
    QMenu* BuildPopupMenu();

    void OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice) override;
    void AppendMenuItems(QMenu* menu) override;
    void OnGraphCommand(int id) override;
    // "General": the range and flags 2, 4 and 8.
    void AddPropertyPages(CPropertySheet* sheet) override;
    // On OK the range and flags 2, 4 and 8 from the page, without redraw;
    // the other flags keep their states.
    void ApplyPropertyPages(int result) override;

protected:
    QWidget* GraphWidget() override { return this; }
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RenderCanvas();
    void DrawSeries(QPainter& painter, const QRect& rect);
    void DrawGrid(QPainter& painter, const QRect& rect);
    void DrawTracker(QPainter& painter) const;
    void OnPointAdded(const GraphNotice& notice);
    void OnAxisLabelChanged(int axis, bool redraw);
    // After the state's range changed: rulers follow, and a render.
    void RangeChanged(bool redraw);
    void UpdateRect(const GraphPanelState::Rect& r);
    void UpdateCursor(int x, int y);
    static int MarkSize(const QPaintDevice& device);

    GraphPanelState state_;
    QImage canvas_;
    bool canvas_stale_ = true;
    int render_count_ = 0;
    FVRuler* v_ruler_;
    FHRuler* h_ruler_;
    GraphCursorListener* cursor_listener_ = nullptr;
    CGraphPropertyPage* general_page_ = nullptr;
    // Scratch reused by every pass.
    SegmentList segments_;
    QPolygon polygon_;
};
