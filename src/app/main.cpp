// Ostrevan's entry point: the unattended report export and report site,
// or the interactive program (with -loadrpy, or with no mode at all).

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/export_reports_mode.h"
#include "app/ui/report_site_mode.h"
#include "app/ui/rpy_graph_app.h"
#include "interaction/batch_interaction.h"
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
        Settings& settings = Settings::Instance();
        for (const std::string& problem : settings.GetLoadProblems()) ui.ShowMessage(problem, Interaction::Icon::Warning, {});
        settings.InitProgramFolder();
        return RunExportReports(command, settings, ui, std::cout);
    }
    case CommandLine::Mode::kReportSite: {
        // No window is ever shown: the charts and the track map are drawn
        // on Qt's offscreen platform, which must be chosen before the
        // application object exists.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The mode has taken its arguments: Qt reads none of them, nor
        // options of its own after them (another platform would need a
        // display).
        int qt_argc = 1;
        QApplication app(qt_argc, argv);
        BatchInteraction ui;
        Settings& settings = Settings::Instance();
        for (const std::string& problem : settings.GetLoadProblems()) ui.ShowMessage(problem, Interaction::Icon::Warning, {});
        settings.InitProgramFolder();
        return RunReportSite(command, settings, ui, std::cout);
    }
    default:
        return RunInteractive(argc, argv, command);
    }
}
