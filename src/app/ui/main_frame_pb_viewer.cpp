// The main window's command for the personal-best viewer: Tools >
// "PB Viewer".

#include <QMenuBar>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "records/ui/pb_viewer.h"

void CMainFrame::BuildPBViewerCommands() {
    AddCommand({kPBViewer, "PB Viewer", ":/icons/pb_viewer.svg", {}, [this] { OnPBViewer(); },
                [this] { return Idle(); }, {}});
}

void CMainFrame::BuildPBViewerMenus() { MenuNamed("&Tools")->addAction(Action(kPBViewer)); }

void CMainFrame::OnPBViewer() {
    PBViewer dialog(doc_, ui_, this);
    dialog.exec();
}
