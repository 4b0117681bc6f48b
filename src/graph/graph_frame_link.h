#pragma once
// What the graph window reaches through its frame: the relay of notices
// (to the plotting panel, then to the point list), the panel's range and
// flags, and the point list's bar.

#include "graph/graph_notice.h"

class GraphFrameLink {
public:
    virtual ~GraphFrameLink() = default;
    // Codes 1 to 10 go to the panel, then to the point list; 11 and 12 to
    // the point list alone.
    virtual void SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) = 0;
    // The panel's flag word; 0 without a panel.
    virtual int GetPanelMode() const = 0;
    // The panel's range; false, with the outputs untouched, without one.
    virtual bool GetAxisRange(double& x0, double& x1, double& y0, double& y1) const = 0;
    // Bit by bit in this order: 1 shows the point list's bar, 2 hides it,
    // 4 freezes the list, 8 makes it live again.
    virtual void ShowPointsBar(int flags) = 0;
};
