// Ostrevan's entry point: runs the command-line mode it is given.

#include <iostream>
#include <string>
#include <vector>

#include "interaction/batch_interaction.h"
#include "app/command_line.h"
#include "app/export_reports_mode.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const CommandLine command = ParseCommandLine(args);
    BatchInteraction ui;
    SetInteraction(&ui);
    Settings& settings = Settings::Instance();
    settings.InitProgramFolder();

    switch (command.mode) {
    case CommandLine::Mode::kExpReports:
        return RunExportReports(command, settings, ui, std::cout);
    default:
        std::cerr << "This build of Ostrevan runs its command-line report export only:\n"
                     "  ostrevan -expreports <xxreplay.rpy> <xxoutput-prefix> [-mech]\n"
                     "(each argument after the mode word carries a two-character prefix, dropped before use)\n";
        return 2;
    }
}
