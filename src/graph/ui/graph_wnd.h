#pragma once
// The window through which a host uses the graph component: the curves,
// points, range, flags and axis labels of GraphModel, shown by a frame
// that holds the rulers, the plotting panel and the "Points" bar. Every
// change is announced to the panel and the point list before the changing
// call returns.
//
// The window owns its curves; destroying it deletes them.

#include <QWidget>

#include "graph/graph_model.h"
#include "graph/ui/graph_base_class.h"

class CAxisPropertyPage;
class CGraphFrame;
class CGraphPanel;
class CGraphicsPropertyPage;
class Interaction;
class QPainter;

class CGraphWnd : public QWidget, public GraphModel, public CGraphBaseClass {
public:
    // `capacity` curve slots; a nonzero frame flag starts the frame's
    // 100 ms update timer.
    CGraphWnd(int capacity, int frame_flags, QWidget* parent = nullptr);
    ~CGraphWnd() override;

    CGraphFrame* GetFrame() const { return frame_; }
    // The plotting panel (never null while the window lives).
    CGraphPanel* GetPanel() const;

    // Rulers and plot into `rect` of any painter (printing, images).
    void DrawToDC(QPainter& painter, const QRect& rect);
    // Places frame, rulers and panel for the window's current size now,
    // also while the window is hidden (hidden windows get their resize
    // events only when shown).
    void LayOut();

    // Where the graph's dialogs tell the user things (not owned; null
    // shows plain message boxes).
    void SetInteraction(Interaction* interaction) { interaction_ = interaction; }
    Interaction* GetInteraction() const { return interaction_; }

    // "Axis" (the labels' decimals, titles and units) and "Graphs" (the
    // curves' colours, titles and visibility).
    void AddPropertyPages(CPropertySheet* sheet) override;
    // On OK: both labels without redraw, then the copies onto the curves.
    void ApplyPropertyPages(int result) override;

protected:
    QWidget* GraphWidget() override { return this; }
    void resizeEvent(QResizeEvent* event) override;

private:
    CGraphFrame* frame_ = nullptr;
    Interaction* interaction_ = nullptr;
    CAxisPropertyPage* axis_page_ = nullptr;
    CGraphicsPropertyPage* graphs_page_ = nullptr;
};
