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

int RunExportReports(const CommandLine& command, const Settings& settings, Interaction& ui, std::ostream& out) {
    auto header = std::make_unique<Header>();
    if (header->Load(command.replay_path) != 0) {
        ui.ShowMessage("HeaderClass: Error reading file!", Interaction::Icon::Error);
        ui.ShowMessage(command.replay_path, Interaction::Icon::Error);
        return 1;
    }
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(command.replay_path) != 0) {
        ui.ShowMessage("DriversClass: Error reading file!", Interaction::Icon::Error);
        return 1;
    }
    if (drivers->driver_count != drivers->chunk_driver_count) {
        ui.ShowMessage("Sorry, but Ostrevan cannot load this file correct.\r\nPlease contact us so that we can analyse why.",
                       Interaction::Icon::Error);
        return 1;
    }

    ReportInput in;
    in.header = header.get();
    in.drivers = drivers.get();
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
