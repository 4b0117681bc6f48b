// The main window's commands into the report window, the settings dialog
// and the loaded-laps arranger.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/choose_lap_for_report.h"
#include "app/loaded_laps_arranger.h"
#include "app/options.h"
#include "document/report_lap_picker.h"
#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
#include "interaction/interaction.h"
#include "reports/loaded_laps.h"
#include "reports/report_kind.h"
#include "reports/ui/report.h"

void CMainFrame::BuildViewCommands() {
    // Reports read the loaded laps: none runs while a playback steps them.
    const auto idle = [this] { return Idle(); };
    const auto laps_still = [this] { return LapsStill(); };
    // The detailed race report also waits while a race runs backwards.
    const auto idle_forward = [this] { return Idle() && !view_->Playback().fast_reverse; };
    struct Entry {
        int id;
        const char* text;
        int kind;
        void (CMainFrame::*run)(int);
    };
    const Entry entries[] = {
        {kReportsPractice, "Practice", kReportPractice, &CMainFrame::OnLapOrFileReport},
        {kReportsRace, "Race", kReportRace, &CMainFrame::OnLapOrFileReport},
        {kReportsLapByLap, "Lap by lap", kReportLapByLap, &CMainFrame::OnLapOrFileReport},
        {kReportsComplete, "Complete(all above)", kReportComplete, &CMainFrame::OnLapOrFileReport},
        {kReportsMechanical, "Mechanical", kReportMechanical, &CMainFrame::OnLapOrFileReport},
        {kReportsLapChart, "Lap Chart", kReportLapChart, &CMainFrame::OnLapOrFileReport},
        {kReportsDetailedRace, "Detailed Race Report", kReportDetailedRace, &CMainFrame::OnChosenLapReport},
        {kToolsEngineDetection, "Engine detection", kReportEngineDetection, &CMainFrame::OnLapOrFileReport},
        {kToolsSeasonEngineInfo, "Season/Engine info", kReportSeasonEngineMod, &CMainFrame::OnLapOrFileReport},
        {kToolsLaptimeVerifier, "Online Laptime Verifier", kReportLaptimeVerifier, &CMainFrame::OnLoadedLapsReport},
        {kToolsSectorTimes, "Sector Times", kReportSectorTimes, &CMainFrame::OnLoadedLapsReport},
        {kToolsSpeedReport, "Speed Report", kReportSpeed, &CMainFrame::OnLoadedLapsReport},
    };
    for (const Entry& e : entries) {
        const auto run = e.run;
        const int kind = e.kind;
        AddCommand({e.id, e.text, {}, {}, [this, run, kind] { (this->*run)(kind); },
                    e.id == kReportsDetailedRace ? std::function<bool()>(idle_forward) : idle, {}});
    }
    AddCommand({kSettings, "Settings...", ":/icons/settings.svg", {}, [this] { OnSettings(); }, {}, {}});
    AddCommand({kArrangeLaps, "Move/Remove loaded replay laps", ":/icons/arrange.svg", {}, [this] { OnArrangeLaps(); },
                laps_still, {}});
}

void CMainFrame::BuildViewMenus() {
    QMenu* file = MenuNamed("&File");
    // Move/Remove follows the commands that add laps; Settings stands
    // before the print commands.
    const QList<QAction*> items = file->actions();
    const int after_open = static_cast<int>(items.indexOf(Action(kOpenNewest)));
    file->insertAction(after_open >= 0 && after_open + 1 < items.size() ? items[after_open + 1] : nullptr,
                       Action(kArrangeLaps));
    QAction* print = Action(kPrint);
    file->insertAction(print, Action(kSettings));
    file->insertSeparator(print);

    // The text reports head the Reports menu, above the charts and the site.
    QMenu* reports = MenuNamed("&Reports");
    QAction* first = reports->actions().isEmpty() ? nullptr : reports->actions().front();
    for (int id : {kReportsPractice, kReportsRace, kReportsLapByLap, kReportsComplete, kReportsMechanical,
                   kReportsLapChart, kReportsDetailedRace})
        reports->insertAction(first, Action(id));
    if (first) reports->insertSeparator(first);
    QMenu* tools = MenuNamed("&Tools");
    for (int id : {kToolsEngineDetection, kToolsSeasonEngineInfo}) tools->addAction(Action(id));
    tools->addSeparator();
    for (int id : {kToolsLaptimeVerifier, kToolsSectorTimes, kToolsSpeedReport}) tools->addAction(Action(id));
}

void CMainFrame::OpenReport(int kind, Drivers* drivers, Header* header) {
    const LoadedLaps laps = ReportLapPicker::CollectLoadedLaps(doc_);
    Report report(ui_, this);
    report.m_pDrivers = drivers;
    report.m_pHeader = header;
    report.m_pDoc = &doc_;
    report.m_nKind = kind;
    report.m_bOffTrackInRaceReport = doc_.GetOffTheTrackInRaceReport();
    report.m_bRetireInRaceReport = doc_.GetRetireInRaceReport();
    report.m_pLaps = &laps;
    report.exec();
}

namespace {

ReportLapPicker::OneLapChooser DefaultChooser(Interaction& ui, QWidget* parent) {
    return [&ui, parent](const std::vector<std::string>& captions) {
        ChooseLapForReport dialog(ui, parent);
        dialog.SetCaptions(captions);
        return dialog.Run();
    };
}

}  // namespace

ReportLapPicker CMainFrame::ReportPicker() {
    return ReportLapPicker(doc_, one_lap_chooser_ ? one_lap_chooser_ : DefaultChooser(ui_, this));
}

void CMainFrame::OnLapOrFileReport(int kind) {
    auto replay = ReportPicker().ChooseLapOrFile(false);
    if (replay) OpenReport(kind, replay->drivers, replay->header);
}

void CMainFrame::OnChosenLapReport(int kind) {
    const int slot = ReportPicker().ChooseReportLap();
    if (slot < 0) {
        ui_.ShowMessage("This report cannot be run unless you have loaded a lap.");
        return;
    }
    LapSlot& lap = doc_.GetSlot(slot);
    OpenReport(kind, lap.drivers.get(), lap.header.get());
}

void CMainFrame::OnLoadedLapsReport(int kind) {
    if (doc_.GetLoadedCount() == 0) {
        ui_.ShowMessage("No replay lap loaded!");
        return;
    }
    OpenReport(kind, nullptr, nullptr);
}

void CMainFrame::OnSettings() {
    Options dialog(doc_, ui_, this);
    dialog.exec();
    // The unit and the bitmap size may have changed.
    doc_.redraw = true;
    view_->viewport()->update();
    plot_settings_->UpdateLoadedLaps();
}

void CMainFrame::OnArrangeLaps() {
    LoadedLapsArranger dialog(doc_, ui_, this);
    dialog.SetUntickAll([this] { plot_settings_->UntickAll(); });
    dialog.exec();
}
