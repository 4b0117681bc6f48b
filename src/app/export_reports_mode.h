#pragma once
// The unattended "-expreports" mode: reads one replay and writes its text
// reports to files, without a window. Messages go through the interaction
// seam (standard error in batch use).

#include <iosfwd>
#include <memory>
#include <string>

class Drivers;
class Header;
class Interaction;
class Settings;
struct CommandLine;

// A replay's header and driver table as the unattended modes load them;
// each failure is shown through the seam with its message and leaves both
// null. The text for driver tables whose two counts disagree differs
// between the modes ("analyse" and "analyze").
struct ModeReplay {
    ModeReplay();
    ~ModeReplay();
    ModeReplay(ModeReplay&&) noexcept;
    std::unique_ptr<Header> header;
    std::unique_ptr<Drivers> drivers;
    bool ok() const { return header && drivers; }
};
ModeReplay LoadModeReplay(const std::string& path, Interaction& ui, const char* counts_disagree_text);

// Returns the process's exit status: 0 only when every report file was
// written. Each written file's path is listed on out.
int RunExportReports(const CommandLine& command, const Settings& settings, Interaction& ui, std::ostream& out);
