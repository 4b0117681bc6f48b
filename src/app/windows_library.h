#pragma once
// The modes that show or draw something live in libraries of their own,
// opened only when such a mode runs: the report export then starts without
// loading Qt or any of the libraries the windows need. Each library is
// looked for beside the program (the build folder) and in the program's
// library folder of an installed copy.

#include <string>

struct CommandLine;

// The interactive program (also -loadrpy) and the report site: the entry
// of the library named, run with the process's arguments (argc stays alive
// as long as Qt's application object, which keeps a reference to it).
// When the library cannot be opened, says why on standard error and
// returns 1.
int RunInteractiveLibrary(int& argc, char** argv, const CommandLine& command);
int RunReportSiteLibrary(int& argc, char** argv, const CommandLine& command);

// The entries' signature and names, shared with the libraries.
using LibraryEntry = int (*)(int* argc, char** argv, const CommandLine* command);
inline constexpr const char* kInteractiveEntry = "ostrevan_run_interactive";
inline constexpr const char* kReportSiteEntry = "ostrevan_run_report_site";
