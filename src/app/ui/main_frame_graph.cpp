// The main window's way into the telemetry graphs: Tools > Graph (also on
// the main tool bar) and the graph command 32838, both opening the graph
// window on the loaded laps.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/ui/main_frame.h"
#include "app/ui/modal_owner_stacking.h"
#include "app/ui/rpy_graph_view.h"
#include "graph/ui/new_graph.h"
#include "interaction/interaction.h"

void CMainFrame::BuildGraphCommands() {
    // Graph waits while a lap or race plays; 32838 is always there.
    AddCommand({kGraph, "&Graph", ":/icons/graph.svg", {}, [this] { OnGraph(); },
                [this] { return Idle(); }, {}});
    AddCommand({kGraphTool, "Telemetry graph", ":/icons/graph.svg", {}, [this] { OnGraph(); }, {}, {}});
    Action(kGraphTool)->setStatusTip("Compare the loaded laps in telemetry graphs");
}

void CMainFrame::BuildGraphMenus() {
    QMenu* tools = MenuNamed("&Tools");
    tools->insertAction(tools->actions().isEmpty() ? nullptr : tools->actions().front(), Action(kGraph));
}

void CMainFrame::OnGraph() {
    if (doc_.GetLoadedCount() == 0) {
        ui_.ShowMessage("No replay lap loaded!");
        return;
    }
    NewGraph graph(doc_, this);
    // Its map and time-difference windows stay in front of it.
    new ModalOwnerStacking(graph);
    graph.exec();
}
