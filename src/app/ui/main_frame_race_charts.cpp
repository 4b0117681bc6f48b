// The Reports menu's race charts: the graphical race report and the race
// history graph, each of the replay of a loaded lap or of a replay file
// chosen for the chart alone, which must hold race data.

#include <QMenu>
#include <QMenuBar>

#include "app/choose_lap_for_report.h"
#include "document/report_lap_picker.h"
#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "reports/ui/graphical_race_report.h"
#include "reports/ui/relative_race_graph.h"

void CMainFrame::BuildRaceChartCommands() {
    const auto idle = [this] { return Idle(); };
    AddCommand({kGraphicalRaceReport, "Graphical Race Report", {}, {}, [this] { OnGraphicalRaceReport(); }, idle, {}});
    AddCommand({kRaceHistoryGraph, "Race History Graph", {}, {}, [this] { OnRaceHistoryGraph(); }, idle, {}});
}

void CMainFrame::BuildRaceChartMenu() {
    QMenu* reports = MenuNamed("&Reports");
    reports->addAction(Action(kGraphicalRaceReport));
    reports->addAction(Action(kRaceHistoryGraph));
}


void CMainFrame::OnGraphicalRaceReport() {
    const auto replay = ReportPicker().ChooseLapOrFile(true);
    if (!replay) return;
    GraphicalRaceReport dialog(ui_);
    dialog.SetReplay(&doc_, replay->drivers, replay->header);
    dialog.exec();
}

void CMainFrame::OnRaceHistoryGraph() {
    const auto replay = ReportPicker().ChooseLapOrFile(true);
    if (!replay) return;
    RelativeRaceGraph dialog(ui_);
    dialog.SetReplay(&doc_, replay->drivers, replay->header);
    dialog.exec();
}
