// The Reports menu's race charts: the graphical race report and the race
// history graph, each of the replay of a loaded lap or of a replay file
// chosen for the chart alone, which must hold race data.

#include <QMenu>
#include <QMenuBar>

#include "app/choose_lap_for_report.h"
#include "app/report_replay.h"
#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "reports/ui/graphical_race_report.h"
#include "reports/ui/relative_race_graph.h"

namespace {

// The Reports menu, made before Help when no other command has made it.
QMenu* ReportsMenu(QMenuBar* bar) {
    QAction* help = nullptr;
    for (QAction* action : bar->actions()) {
        if (action->menu() && action->text() == "&Reports") return action->menu();
        if (action->menu() && action->text() == "&Help") help = action;
    }
    auto* menu = new QMenu("&Reports", bar);
    bar->insertMenu(help, menu);
    return menu;
}

}  // namespace

void CMainFrame::BuildRaceChartCommands() {
    const auto idle = [this] { return !view_->playing && !view_->paused; };
    AddCommand({kGraphicalRaceReport, "Graphical Race Report", {}, {}, [this] { OnGraphicalRaceReport(); }, idle, {}});
    AddCommand({kRaceHistoryGraph, "Race History Graph", {}, {}, [this] { OnRaceHistoryGraph(); }, idle, {}});
}

void CMainFrame::BuildRaceChartMenu() {
    QMenu* reports = ReportsMenu(menuBar());
    reports->addAction(Action(kGraphicalRaceReport));
    reports->addAction(Action(kRaceHistoryGraph));
    connect(reports, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands, Qt::UniqueConnection);
}

namespace {

ReportReplay::Chooser OneLapChooser(Interaction& ui, QWidget* parent) {
    return [&ui, parent](const std::vector<std::string>& captions) {
        ChooseLapForReport dialog(ui, parent);
        dialog.SetCaptions(captions);
        return dialog.Run();
    };
}

}  // namespace

void CMainFrame::OnGraphicalRaceReport() {
    ReportReplay replay;
    if (!replay.Choose(doc_, ui_, OneLapChooser(ui_, this), true)) return;
    GraphicalRaceReport dialog(ui_);
    dialog.SetReplay(&doc_, replay.drivers(), replay.header());
    dialog.exec();
}

void CMainFrame::OnRaceHistoryGraph() {
    ReportReplay replay;
    if (!replay.Choose(doc_, ui_, OneLapChooser(ui_, this), true)) return;
    RelativeRaceGraph dialog(ui_);
    dialog.SetReplay(&doc_, replay.drivers(), replay.header());
    dialog.exec();
}
