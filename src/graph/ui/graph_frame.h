#pragma once
// The frame inside a graph window: its client is the container (rulers
// and plot), and beside it docks the "Points" bar that lists a curve's
// points. It relays every notice of the graph window to the panel and
// then to the point list, and shows, hides, freezes and thaws the list.
//
// The point list itself is attached by its owner (SetPointList); until
// then the bar is empty and notices go to the panel alone.

#include <QMainWindow>

#include "graph/graph_frame_link.h"
#include "graph/ui/graph_base_class.h"

class CGraphContainer;
class QDockWidget;
class QTimer;

class CGraphFrame : public QMainWindow, public CGraphBaseClass, public GraphFrameLink {
public:
    static constexpr int kBarId = 11003;
    static constexpr int kTimerPeriodMs = 100;

    // A nonzero timer flag starts the 100 ms timer that keeps the bar's
    // command state current.
    explicit CGraphFrame(int timer_flag, QWidget* parent = nullptr);
    ~CGraphFrame() override;

    // The point list shown in the bar and told of every notice (not
    // owned; the widget becomes the bar's content). Null detaches it.
    void SetPointList(QWidget* widget, GraphNotifyReceiver* list);

    void SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) override;
    void SendGraphCommand10(int flags);
    int GetPanelMode() const override;
    bool GetAxisRange(double& x0, double& x1, double& y0, double& y1) const override;
    void ShowPointsBar(int flags) override;
    void DrawGraph(QPainter& painter, const QRect& rect);
    // Places the bar and the container for the frame's size now.
    void LayOut();

    // Command 4106 shows the bar when hidden and hides it when shown.
    void OnGraphCommand(int id) override;

    CGraphContainer* GetContainer() const { return container_; }
    QDockWidget* GetPointsBar() const { return points_bar_; }
    bool IsPointsBarShown() const;
    bool HasTimer() const { return timer_ != nullptr; }

protected:
    QWidget* GraphWidget() override { return this; }

private:
    void OnTimer();

    CGraphContainer* container_ = nullptr;
    QDockWidget* points_bar_ = nullptr;
    GraphNotifyReceiver* point_list_ = nullptr;
    QTimer* timer_ = nullptr;
};
