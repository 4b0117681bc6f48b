#pragma once
// The "Points" bar of a graph frame: a docking, resizable bar that lists
// the points of one curve as a table of x and y, with a combo box at the
// top to choose the curve. It follows every notice of the graph window
// (PointListState holds what it shows) and can be frozen while the host
// loads many points, then brought up to date at once. A right click on
// the bar or its list offers "Properties", the sheet with the graph
// window's "Axis" and "Graphs" pages.

#include "controls/sizing_control_bar.h"
#include "graph/graph_notice.h"
#include "graph/point_list_state.h"
#include "graph/point_list_view.h"
#include "graph/ui/graph_base_class.h"

class C3DListCtrl;
class CGraphComboBox;
class PointListModel;

class CPointViewBar : public CSizingControlBar,
                      public CGraphBaseClass,
                      public GraphNotifyReceiver,
                      private PointListView {
public:
    static constexpr int kComboId = 11005;
    static constexpr int kListId = 11006;

    explicit CPointViewBar(QWidget* parent = nullptr);
    ~CPointViewBar() override;

    void OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice) override;
    // "Properties" (4107).
    void AppendMenuItems(QMenu* menu) override;
    // 4107: the property sheet from this bar upward; on OK the graph
    // window redraws everything.
    void OnGraphCommand(int id) override;

    // The slot of the curve shown, or -1.
    int GetCurrentGraph() const { return state_.GetCurrentGraph(); }
    bool IsLive() const { return state_.IsLive(); }
    const PointListState& GetState() const { return state_; }
    CGraphComboBox* GetCombo() const { return combo_; }
    C3DListCtrl* GetList() const { return list_; }
    // The popup menu as every ancestor builds it; owned by the caller.
    QMenu* BuildPopupMenu();
    // The width in which both columns show a value with its unit
    // ("-1234.56 Meter") whole, beside the list's scroll bar.
    int OpeningWidth() const;

protected:
    QWidget* GraphWidget() override { return this; }
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BeginQuiet() override;
    void EndQuiet() override;
    void InsertRow(int row) override;
    void DeleteRow(int row) override;
    void SetRowCount(int count) override;
    void RepaintRows(int first, int last) override;
    void RepaintCombo(bool now) override;
    const GraphModel* Graph();

    PointListState state_;
    CGraphComboBox* combo_ = nullptr;
    C3DListCtrl* list_ = nullptr;
    PointListModel* model_ = nullptr;
    int quiet_depth_ = 0;
};
