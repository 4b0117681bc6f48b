// The main window's commands of the replay library and ranking tools:
// File > "Add replay lap using Lap Finder..." (also on the main tool bar),
// Tools > "QELRank Handicap" and Tools > "Track Organizer".

#include <QMenuBar>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "records/mounted_media.h"
#include "records/ui/lap_finder.h"
#include "records/ui/qel_rank.h"
#include "records/ui/track_organiser.h"

void CMainFrame::BuildLibraryCommands() {
    const auto idle = [this] { return Idle(); };
    AddCommand({kLapFinder, "Add replay lap using Lap Finder...", ":/icons/lap_finder.svg", {},
                [this] {
                    MountedMedia media;
                    LapFinder finder(doc_, media, this);
                    finder.exec();
                },
                [this] { return LapsStill(); }, {}});
    AddCommand({kQELRankHandicap, "QELRank Handicap", ":/icons/qelrank_handicap.svg", {},
                [this] {
                    QELRank dialog(doc_, this);
                    dialog.exec();
                },
                idle, {}});
    AddCommand({kTrackOrganizer, "Track Organizer", ":/icons/track_organizer.svg", {},
                [this] {
                    TrackOrganiser dialog(doc_.GetQELDirectory(), ui_, this);
                    dialog.exec();
                },
                idle, {}});
}

void CMainFrame::BuildLibraryMenus() {
    QMenu* file = MenuNamed("&File");
    // Right after "Add replay lap...".
    const QList<QAction*> items = file->actions();
    const int at = static_cast<int>(items.indexOf(Action(kAddReplayLap)));
    file->insertAction(at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr, Action(kLapFinder));
    QMenu* tools = MenuNamed("&Tools");
    tools->addAction(Action(kQELRankHandicap));
    tools->addAction(Action(kTrackOrganizer));
}
