#pragma once
// The frame inside a graph window: its client is the container (rulers
// and plot), and beside it docks the "Points" bar that lists a curve's
// points (docked on the right, 150 pixels wide, at start). It relays
// every notice of the graph window to the panel and then to the point
// list, and shows, hides, freezes and thaws the list.

#include <QMainWindow>

#include "graph/graph_frame_link.h"
#include "graph/ui/graph_base_class.h"

class CGraphContainer;
class CPointViewBar;
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

    void SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) override;
    void SendGraphCommand10(int flags);
    int GetPanelMode() const override;
    bool GetAxisRange(double& x0, double& x1, double& y0, double& y1) const override;
    void ShowPointsBar(int flags) override;
    void DrawGraph(QPainter& painter, const QRect& rect);
    // Places the bar and the container for the frame's size now.
    void LayOut();

    // Command 4106 hides the bar when shown; when hidden it shows it and
    // makes the list live, so the user sees the curve's points even when
    // the host froze the list.
    void OnGraphCommand(int id) override;

    CGraphContainer* GetContainer() const { return container_; }
    QDockWidget* GetPointsBar() const;
    CPointViewBar* GetPointViewBar() const { return points_bar_; }
    bool IsPointsBarShown() const;
    bool HasTimer() const { return timer_ != nullptr; }

protected:
    QWidget* GraphWidget() override { return this; }

private:
    void OnTimer();

    CGraphContainer* container_ = nullptr;
    CPointViewBar* points_bar_ = nullptr;
    QTimer* timer_ = nullptr;
};
