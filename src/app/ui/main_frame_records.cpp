// The main window's command for the personal-best records: Tools >
// "E&xport Records", which writes the best-laps site of a driver.

#include <QMenuBar>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "records/ui/export_records.h"

void CMainFrame::BuildRecordsCommands() {
    AddCommand({kExportRecords, "E&xport Records", {}, {}, [this] { OnExportRecords(); },
                [this] { return !view_->playing && !view_->paused; }, {}});
}

void CMainFrame::BuildRecordsMenus() {
    // The Tools menu is shared with the other tools: use it when it is
    // already there.
    QMenu* tools = nullptr;
    for (QAction* a : menuBar()->actions())
        if (a->menu() && a->text() == "&Tools") tools = a->menu();
    if (!tools) {
        tools = menuBar()->addMenu("&Tools");
        connect(tools, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
    }
    tools->addAction(Action(kExportRecords));
}

void CMainFrame::OnExportRecords() {
    ExportRecords dialog(doc_, ui_, this);
    dialog.exec();
}
