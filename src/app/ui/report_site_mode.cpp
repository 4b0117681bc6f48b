#include "app/ui/report_site_mode.h"

#include <QApplication>
#include <iostream>
#include <memory>
#include <ostream>

#include "app/command_line.h"
#include "app/export_reports_mode.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/rpy_graph_view.h"
#include "interaction/batch_interaction.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "settings/hive_cache.h"
#include "settings/path_lookup.h"
#include "settings/settings.h"
#include "track/track.h"

// The view's cursors live in a static library, whose resources the linker
// would otherwise leave out.
static void InitResources() { Q_INIT_RESOURCE(ostrevan); }

SiteChartImages::TrackMap ViewTrackMap(CRpyGraphDoc& doc, CRpyGraphView& view) {
    return [&doc, &view](const std::string& bmp_path, int edge, std::string* bytes) {
        if (!doc.IsTrackLoaded()) return ReportSiteImages::Result::kNoTrack;
        const int size = doc.GetBMPSizeInPixel();
        doc.SetBMPSizeInPixel(edge);
        const bool saved = bytes ? view.TrackMapBitmap(*bytes) : view.SaveTrackMapBitmap(bmp_path);
        doc.SetBMPSizeInPixel(size);
        return saved ? ReportSiteImages::Result::kWritten : ReportSiteImages::Result::kFailed;
    };
}

int RunReportSite(const CommandLine& command, Settings& settings, Interaction& ui, std::ostream& out,
                  const report_site::FolderWait& wait) {
    std::string folder = command.folder.empty() ? settings.GetRecordsPath() : command.folder;
    if (!folder.empty()) {
        // A stored Windows path leads to its Wine drive.
        if (const auto local = path_lookup::ToLocalPath(folder)) folder = local->string();
    }
    // Without a folder the site would be written at the root of the file
    // system: nothing is written.
    if (folder.empty()) {
        ui.ShowMessage("No export path set. Please set this\r\npath in File->Settings dialog.", Interaction::Icon::Error);
        return 1;
    }

    const ModeReplay replay = LoadModeReplay(
        command.replay_path, ui,
        "Sorry, but Ostrevan cannot load this file correct.\r\nPlease contact us so that we can analyze why.");
    if (!replay.ok()) return 1;
    Header* header = replay.header.get();
    Drivers* drivers = replay.drivers.get();

    CRpyGraphDoc doc(settings, ui);
    auto track = Track::Load(doc.GetQELDirectory(), header->track_folder);
    if (!track) {
        ui.ShowMessage(
            "Can't find track for this replay!\nYou'll not be able to see any track maps nor speed data!\n"
            "Make sure QEL Path is set correctly in File->Settings",
            Interaction::Icon::Error);
        return 1;
    }
    doc.LendTrackSlot(std::move(track));
    CRpyGraphView view(doc);
    const auto result = WriteSiteWithCharts(ui, &doc, *header, *drivers, folder, ViewTrackMap(doc, view), wait);
    doc.LendTrackSlot(nullptr);
    for (const std::string& problem : result.problems) ui.ShowMessage(problem, Interaction::Icon::Error);
    if (result.busy) return 1;
    if (result.folder.empty()) {
        ui.ShowMessage("Could not create site!\r\nPlease verify export path in File->Settings", Interaction::Icon::Error);
        return 1;
    }
    out << result.folder << '\n';
    return result.complete() ? 0 : 1;
}

int RunReportSiteProcess(int& argc, char** argv, const CommandLine& command) {
    // No window is ever shown: the charts and the track map are drawn on
    // Qt's offscreen platform, which must be chosen before the application
    // object exists.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The mode has taken its arguments: Qt reads none of them, nor options
    // of its own after them (another platform would need a display).
    int qt_argc = argc > 0 ? 1 : 0;
    QApplication app(qt_argc, argv);
    InitResources();
    BatchInteraction ui;
    // An unattended run leaves the configuration folder as it finds it.
    HiveCache::WriteNothing();
    Settings& settings = Settings::Instance();
    for (const std::string& problem : settings.GetLoadProblems()) ui.ShowMessage(problem, Interaction::Icon::Warning, {});
    settings.InitProgramFolder();
    return RunReportSite(command, settings, ui, std::cout);
}
