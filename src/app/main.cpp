// Ostrevan's entry point: the unattended report export and report site,
// or the interactive program (with -loadrpy, or with no mode at all).
// The report export needs no Qt; the modes that draw or show something run
// from libraries opened only for them (app/windows_library.h).

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/export_reports_mode.h"
#include "app/windows_library.h"
#include "interaction/batch_interaction.h"
#include "settings/hive_cache.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const CommandLine command = ParseCommandLine(args);
    const std::string missing = MissingModeArguments(
        args, DisplayAvailable(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")));
    if (!missing.empty()) {
        std::cerr << missing << '\n';
        return 2;
    }
    switch (command.mode) {
    case CommandLine::Mode::kExpReports: {
        BatchInteraction ui;
        // An unattended run leaves the configuration folder as it finds it.
        HiveCache::WriteNothing();
        Settings& settings = Settings::Instance();
        for (const std::string& problem : settings.GetLoadProblems()) ui.ShowMessage(problem, Interaction::Icon::Warning, {});
        settings.InitProgramFolder();
        return RunExportReports(command, settings, ui, std::cout);
    }
    case CommandLine::Mode::kReportSite:
        return RunReportSiteLibrary(argc, argv, command);
    default:
        return RunInteractiveLibrary(argc, argv, command);
    }
}
