#pragma once
// Report files: the names the exports propose and write, and the writing
// itself. Report texts carry "\r\n" line ends and are written as they are,
// so every report file has CR LF line ends on every platform.

#include <string>
#include <vector>

struct ReportInput;

namespace report_files {

// The name the single export proposes: the replay's path without its last
// four characters (".rpy"), the kind's suffix and ".txt"; kinds that work
// on loaded laps (9 to 11) propose only the suffix and ".txt".
std::string ProposedName(const std::string& replay_path, int kind);

// Appends ".txt" unless the name already ends in it (compared without
// regard to case).
std::string WithTxtExtension(const std::string& path);

// Writes the text to the file. On failure returns false and leaves a
// message for the user in *error.
bool WriteText(const std::string& path, const std::string& text, std::string* error);

// The base name of the all-reports export: the prefix, then the replay
// path after its last folder separator with the four characters from its
// last point removed.
std::string ExportBaseName(const std::string& prefix, const std::string& replay_path);

struct ExportResult {
    std::vector<std::string> written;  // files written, in order
    std::string failed_file;           // the file that could not be written; empty on success
    std::string error;                 // the message for it
    bool ok() const { return failed_file.empty(); }
};

// Writes the session reports of the replay as base + "_Practice.txt",
// "_Race.txt", "_LapChart.txt", "_LapByLap.txt", "_Complete.txt" and, when
// mech is set, "_Mechanical.txt". The mechanical scan of the replay runs at
// most once for all of them (for the race results' problem column when
// in.retire_in_race_report is set, and for the mechanical report). Stops at
// the first file that cannot be written and reports it.
ExportResult ExportAllReports(const ReportInput& in, const std::string& prefix, bool mech);

}  // namespace report_files
