// Ostrevan's entry point: the unattended report export, or the interactive
// program (with -loadrpy, or with no mode at all).

#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/export_reports_mode.h"
#include "app/ui/rpy_graph_app.h"
#include "interaction/batch_interaction.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const CommandLine command = ParseCommandLine(args);
    switch (command.mode) {
    case CommandLine::Mode::kExpReports: {
        BatchInteraction ui;
        Settings& settings = Settings::Instance();
        for (const std::string& problem : settings.GetLoadProblems()) ui.ShowMessage(problem, Interaction::Icon::Warning, {});
        settings.InitProgramFolder();
        return RunExportReports(command, settings, ui, std::cout);
    }
    case CommandLine::Mode::kReportSite:
        std::cerr << "This build of Ostrevan does not write report sites yet.\n";
        return 2;
    default:
        return RunInteractive(argc, argv, command);
    }
}
