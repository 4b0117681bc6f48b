// The main window's commands that write files from loaded laps: a lap as a
// one-lap replay, all laps merged into one replay, a lap's telemetry as
// text (document commands) and a lap as a groove file (a command of the
// track map's Tools menu).

#include <QAction>
#include <QApplication>
#include <QMenuBar>

#include "app/save_which_lap.h"
#include "app/ui/groove.h"
#include "document/report_lap_picker.h"
#include "app/ui/main_frame.h"
#include "app/ui/merge_parameters.h"
#include "app/ui/rpy_graph_view.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"

void CMainFrame::BuildWriterCommands() {
    // Writing from the laps waits while they play.
    const auto idle_laps = [this] { return LapsStill(); };
    AddCommand({kSaveReplayLap, "&Save replay lap...", ":/icons/save_lap.svg", {}, [this] { doc_.OnSaveReplayLap(); },
                idle_laps, {}});
    AddCommand({kMergeAllLaps, "Merge all laps to one replay file...", ":/icons/merge.svg", {},
                [this] { doc_.OnMergeAllLaps(); }, idle_laps, {}});
    AddCommand({kSaveTelemetryText, "Save telemetry to text file", {}, {}, [this] { doc_.OnSaveTelemetryText(); }, {},
                {}});
    AddCommand({kExportLapToGroove, "Export Lap To Groove (GRV) File", {}, {}, [this] { OnExportLapToGroove(); }, {},
                {}});

    // The dialogs are found through the active window, so the document
    // never holds on to this window.
    doc_.SetSaveLapChooser([this](const std::vector<std::string>& captions) {
        SaveWhichLap dialog(ui_, QApplication::activeWindow());
        dialog.SetCaptions(captions);
        return dialog.Run();
    });
    doc_.SetMergeParametersDialog(
        [](CRpyGraphDoc& doc) { return MergeParameters::Ask(doc, QApplication::activeWindow()); });
    groove_dialog = [this]() -> std::optional<groove_export::Parameters> {
        groove dialog(ui_, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Parameters();
    };
}

void CMainFrame::BuildWriterMenus() {
    if (QMenu* file = MenuNamed("&File")) {
        // After the commands that add laps, before printing.
        QAction* before = nullptr;
        const auto actions = file->actions();
        const int newest = static_cast<int>(actions.indexOf(Action(kOpenNewest)));
        if (newest >= 0 && newest + 1 < actions.size()) before = actions[newest + 1];
        file->insertSeparator(before);
        for (int id : {kSaveReplayLap, kMergeAllLaps, kSaveTelemetryText}) file->insertAction(before, Action(id));
    }
    QMenu* track_tools = MenuNamed("&Tools")->addMenu("Track Creating Tools");
    track_tools->addAction(Action(kExportLapToGroove));
}

void CMainFrame::OnExportLapToGroove() {
    const int slot = ReportPicker().ChooseReportLap();
    if (slot < 0 || !groove_dialog) return;
    const auto parameters = groove_dialog();
    if (!parameters) return;
    groove_export::ExportLap(doc_, slot, *parameters);
}
