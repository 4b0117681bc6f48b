#pragma once
// The client of the graph frame: the vertical ruler along the left edge,
// the horizontal ruler along the top (they overlap in the top-left
// corner) and the plotting panel in the rest, each ruler as thick as it
// asks to be on the screen. Draws all three into any painter for printing
// and images.

#include <QWidget>

#include "graph/graph_notice.h"
#include "graph/ui/f_h_ruler.h"
#include "graph/ui/f_v_ruler.h"

class CGraphPanel;

class CGraphContainer : public QWidget {
public:
    static constexpr int kId = 11001;

    explicit CGraphContainer(QWidget* parent = nullptr);
    ~CGraphContainer() override;

    // Notices go to the panel.
    void SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice);
    void SendGraphCommand10(int flags);
    // The panel's flag word.
    int GetPanelMode() const;
    // The panel's range; false with the outputs untouched without a panel.
    bool GetAxisRange(double& x0, double& x1, double& y0, double& y1) const;
    // Rulers and plot into `rect` of the painter's device, the rulers as
    // thick as they ask to be on that device.
    void DrawGraph(QPainter& painter, const QRect& rect);

    // Places rulers and panel for the container's size now.
    void LayOut();

    CGraphPanel* GetPanel() const { return panel_; }
    FVRuler* GetVRuler() { return &v_ruler_; }
    FHRuler* GetHRuler() { return &h_ruler_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    FVRuler v_ruler_;
    FHRuler h_ruler_;
    CGraphPanel* panel_ = nullptr;
};
