// The main window's command for the personal-best records: Tools >
// "E&xport Records", which writes the best-laps site of a driver.

#include <QMenuBar>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "records/ui/export_records.h"

void CMainFrame::BuildRecordsCommands() {
    AddCommand({kExportRecords, "E&xport Records", ":/icons/export_records.svg", {}, [this] { OnExportRecords(); },
                [this] { return Idle(); }, {}});
}

void CMainFrame::BuildRecordsMenus() {
    MenuNamed("&Tools")->addAction(Action(kExportRecords));
}

void CMainFrame::OnExportRecords() {
    ExportRecords dialog(doc_, ui_, this);
    dialog.exec();
}
