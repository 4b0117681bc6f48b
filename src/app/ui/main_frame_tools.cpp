// The main window's analysis tools: Tools > Gearchange Analyser, Traction
// Circle, Ratings and SpeedTrack, each a modal window over the loaded laps.

#include <QAction>
#include <QMenu>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "interaction/interaction.h"
#include "tools/ui/gear_change_analyse.h"
#include "tools/ui/ratings.h"
#include "tools/ui/speed_track.h"
#include "tools/ui/traction_circle.h"

void CMainFrame::BuildToolCommands() {
    // The tools read the loaded laps: none opens while a playback steps
    // them. Each says itself when there are too few laps.
    const auto idle = [this] { return Idle(); };
    struct Entry {
        int id;
        const char* text;
        const char* icon;
        void (CMainFrame::*run)();
    };
    const Entry entries[] = {
        {kToolsGearChange, "Gearchange Analyser", ":/icons/gearchange.svg", &CMainFrame::OnToolsGearChange},
        {kToolsTractionCircle, "Traction Circle", ":/icons/traction_circle.svg", &CMainFrame::OnToolsTractionCircle},
        {kToolsRatings, "Ratings", ":/icons/ratings.svg", &CMainFrame::OnToolsRatings},
        {kToolsSpeedTrack, "SpeedTrack", "", &CMainFrame::OnToolsSpeedTrack},
    };
    for (const Entry& e : entries) {
        const auto run = e.run;
        AddCommand({e.id, e.text, e.icon, {}, [this, run] { (this->*run)(); }, idle, {}});
    }
}

void CMainFrame::BuildToolMenus() {
    QMenu* tools = MenuNamed("&Tools");
    for (int id : {kToolsGearChange, kToolsTractionCircle, kToolsRatings, kToolsSpeedTrack})
        tools->addAction(Action(id));
    tools->addSeparator();
}

void CMainFrame::OnToolsGearChange() {
    GearChangeAnalyse dialog(doc_, ui_, this);
    dialog.exec();
}

void CMainFrame::OnToolsTractionCircle() {
    if (doc_.GetLoadedCount() == 0 || doc_.GetTrack() == nullptr) {
        ui_.ShowMessage("No replay lap loaded!");
        return;
    }
    TractionCircle dialog(doc_, ui_, this);
    dialog.exec();
}
void CMainFrame::OnToolsRatings() {
    if (doc_.GetLoadedCount() == 0) {
        ui_.ShowMessage("No replay lap loaded!");
        return;
    }
    Ratings dialog(doc_, ui_, this);
    dialog.exec();
}
void CMainFrame::OnToolsSpeedTrack() {
    if (doc_.GetLoadedCount() < 2 || doc_.GetTrack() == nullptr) {
        ui_.ShowMessage("At least two laps must be loaded to use this feature.");
        return;
    }
    SpeedTrack dialog(doc_, ui_, this);
    dialog.exec();
}
