// The entries that the program opens its window libraries by (see
// app/windows_library.h). Each library is built from this file with only
// its own entry compiled in, so the report site's library holds none of the
// windows.

#include "app/windows_library.h"

#define OSTREVAN_ENTRY extern "C" __attribute__((visibility("default")))

#if defined(OSTREVAN_INTERACTIVE_ENTRY)
#include "app/ui/rpy_graph_app.h"

OSTREVAN_ENTRY int ostrevan_run_interactive(int* argc, char** argv, const CommandLine* command) {
    return RunInteractive(*argc, argv, *command);
}
#endif

#if defined(OSTREVAN_REPORT_SITE_ENTRY)
#include "app/ui/report_site_mode.h"

OSTREVAN_ENTRY int ostrevan_run_report_site(int* argc, char** argv, const CommandLine* command) {
    return RunReportSiteProcess(*argc, argv, *command);
}
#endif
