#pragma once
// The point list of the "Points" bar: a sunken, two-column table with
// grid lines, whole-row single selection and no sorting. A right click
// shows the graph component's popup menu as the list's ancestors build it
// (from the bar: "Properties"), and the chosen command goes up from the
// list.

#include <QTableView>

#include "graph/ui/graph_base_class.h"

class C3DListCtrl : public QTableView, public CGraphBaseClass {
public:
    explicit C3DListCtrl(QWidget* parent = nullptr);
    ~C3DListCtrl() override;

    // The popup menu as every ancestor builds it; owned by the caller.
    QMenu* BuildPopupMenu();

protected:
    QWidget* GraphWidget() override { return this; }
    void mouseReleaseEvent(QMouseEvent* event) override;
};
