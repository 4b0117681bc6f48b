#pragma once
// The unattended "-expreports" mode: reads one replay and writes its text
// reports to files, without a window. Messages go through the interaction
// seam (standard error in batch use).

#include <iosfwd>

class Interaction;
class Settings;
struct CommandLine;

// Returns the process's exit status: 0 only when every report file was
// written. Each written file's path is listed on out.
int RunExportReports(const CommandLine& command, const Settings& settings, Interaction& ui, std::ostream& out);
