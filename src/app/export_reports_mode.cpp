#include "app/export_reports_mode.h"

#include <memory>
#include <ostream>

#include "app/command_line.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/report_files.h"
#include "reports/report_input.h"
#include "reports/report_text.h"
#include "settings/settings.h"

ModeReplay::ModeReplay() = default;
ModeReplay::~ModeReplay() = default;
ModeReplay::ModeReplay(ModeReplay&&) noexcept = default;

ModeReplay LoadModeReplay(const std::string& path, Interaction& ui, const char* counts_disagree_text) {
    ModeReplay replay;
    auto header = std::make_unique<Header>();
    if (header->Load(path) != 0) {
        ui.ShowMessage("HeaderClass: Error reading file!", Interaction::Icon::Error);
        ui.ShowMessage(path, Interaction::Icon::Error);
        return replay;
    }
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path) != 0) {
        ui.ShowMessage("DriversClass: Error reading file!", Interaction::Icon::Error);
        return replay;
    }
    if (drivers->driver_count != drivers->chunk_driver_count) {
        ui.ShowMessage(counts_disagree_text, Interaction::Icon::Error);
        return replay;
    }
    replay.header = std::move(header);
    replay.drivers = std::move(drivers);
    return replay;
}

int RunExportReports(const CommandLine& command, const Settings& settings, Interaction& ui, std::ostream& out) {
    const ModeReplay replay = LoadModeReplay(
        command.replay_path, ui,
        "Sorry, but Ostrevan cannot load this file correct.\r\nPlease contact us so that we can analyse why.");
    if (!replay.ok()) return 1;

    ReportInput in;
    in.header = replay.header.get();
    in.drivers = replay.drivers.get();
    in.file_time = report_text::FileTimeText(command.replay_path);
    in.off_track_in_race_report = settings.GetOffTheTrackInRaceReport() == 1;
    in.retire_in_race_report = settings.GetRetireInRaceReport() == 1;

    const auto result = report_files::ExportAllReports(in, command.output_prefix, command.mech);
    for (const auto& file : result.written) out << file << '\n';
    if (!result.ok()) {
        ui.ShowMessage(result.error + "\r\n" + result.failed_file, Interaction::Icon::Error);
        return 1;
    }
    return 0;
}
