// The Reports menu's report site commands: the site of a loaded lap's
// replay written into the export path, and the listener that writes one for
// every new replay.

#include <QMenu>

#include "document/report_lap_picker.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "app/ui/report_site_mode.h"
#include "app/ui/rpy_graph_view.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "reports/ui/report_site_listener.h"
#include "settings/path_lookup.h"
#include "settings/settings.h"

void CMainFrame::BuildReportSiteCommands() {
    const auto idle = [this] { return Idle(); };
    AddCommand({kGenerateReportSite, "Generate Report site (html)", {}, {}, [this] { OnGenerateReportSite(); }, idle, {}});
    AddCommand({kReportSiteListener, "Report Site Listener", {}, {}, [this] { OnReportSiteListener(); }, idle, {}});
}

void CMainFrame::BuildReportSiteMenu() {
    QMenu* reports = MenuNamed("&Reports");
    reports->addSeparator();
    reports->addAction(Action(kGenerateReportSite));
    reports->addAction(Action(kReportSiteListener));
}

void CMainFrame::OnGenerateReportSite() {
    std::string folder = doc_.GetSettings().GetRecordsPath();
    if (folder.empty()) {
        ui_.ShowMessage("No export path set. Please set this\r\npath in File->Settings dialog.");
        return;
    }
    if (const auto local = path_lookup::ToLocalPath(folder)) folder = local->string();
    // No lap says "No replay lap loaded!" first; that and a cancelled
    // choice both end here.
    const int slot = ReportPicker().ChooseReportLap();
    if (slot < 0) {
        ui_.ShowMessage("You need to load a lap from the replay\r\nyou want the Report Site for.");
        return;
    }
    const LapSlot& lap = doc_.GetSlot(slot);
    if (!lap.header || !lap.drivers) return;
    if (lap.drivers->race_present != 1) {
        ui_.ShowMessage(
            "This replay file does not contain race info!\r\nHTML Site export is only made for replays containing "
            "race info.");
        return;
    }
    ui_.BeginWait();
    ui_.ShowProgress("Please wait while generating report site...");
    const auto result = WriteSiteWithCharts(ui_, &doc_, *lap.header, *lap.drivers, folder, ViewTrackMap(doc_, *view_));
    ui_.ShowProgress({});
    ui_.EndWait();
    if (result.busy) {
        ui_.ShowMessage(result.problems.front(), Interaction::Icon::Error);
        return;
    }
    if (result.folder.empty()) {
        ui_.ShowMessage("Could not create site!\r\nPlease verify export path in File->Settings", Interaction::Icon::Error);
        return;
    }
    // A site without all its pictures is no success: say what is missing.
    if (!result.complete()) {
        std::string text = "The report site is not complete:";
        for (const std::string& problem : result.problems) text += "\r\n" + problem;
        ui_.ShowMessage(text, Interaction::Icon::Error);
    }
    if (ui_.AskYesNo("Report site created in:\r\n" + result.folder +
                     "\r\n\r\nDo you wish to launch the site in your browser?"))
        ui_.OpenWithProgram(result.folder + "index.html");
}

void CMainFrame::OnReportSiteListener() {
    listener_.reset();
    // Owned by the main window, so the window manager keeps it in front of
    // it: a listener that fell behind would leave the menus greyed with no
    // visible reason.
    listener_ = std::make_unique<ReportSiteListener>(ui_, doc_, ViewTrackMap(doc_, *view_), this);
    // The listener lends the document's track slot to every site it
    // writes: the program stays busy until the window closes.
    PlaybackController& playback = view_->Playback();
    connect(listener_.get(), &QDialog::finished, this, [this, &playback] {
        playback.SetListenerOpen(false);
        RefreshCommands();
    });
    playback.SetListenerOpen(true);
    listener_->show();
    RefreshCommands();
}
