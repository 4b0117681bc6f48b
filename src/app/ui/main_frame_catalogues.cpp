// The main window's command for replay CD catalogues: Tools > "Replay CD
// Database Creator", also on the main tool bar.

#include <QMenuBar>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "records/mounted_media.h"
#include "records/ui/replay_cd_database_creator.h"

void CMainFrame::BuildCatalogueCommands() {
    AddCommand({kReplayCDDatabaseCreator, "Replay CD Database Creator", ":/icons/cd_database.svg", {},
                [this] { OnReplayCDDatabaseCreator(); }, [this] { return Idle(); }, {}});
}

void CMainFrame::BuildCatalogueMenus() {
    MenuNamed("&Tools")->addAction(Action(kReplayCDDatabaseCreator));
}

void CMainFrame::OnReplayCDDatabaseCreator() {
    MountedMedia media;
    ReplayCDDatabaseCreator dialog(doc_.GetQELDirectory(), media, ui_, this);
    dialog.exec();
}
