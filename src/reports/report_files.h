#pragma once
// Report files: the names the exports propose and write, and the writing
// itself. Report texts carry "\r\n" line ends and are written as they are,
// so every report file has CR LF line ends on every platform.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class AtomicFile;
struct ReportInput;

namespace report_files {

// The name the single export proposes: the replay's path without its last
// four characters (".rpy"), the kind's suffix and ".txt"; kinds that work
// on loaded laps (9 to 11) propose only the suffix and ".txt".
std::string ProposedName(const std::string& replay_path, int kind);

// Appends ".txt" unless the name already ends in it (compared without
// regard to case).
std::string WithTxtExtension(const std::string& path);

// Replaces the file with the text, through a temporary file renamed over
// it only when whole. On failure returns false, leaves an existing file as
// it was, and leaves a message for the user in *error: "Error creating
// file!" when the file cannot be made (also when a FIFO, a device or a
// folder stands at the path; it is never opened), "Error writing file!"
// when writing it fails (a full disk).
bool WriteText(const std::string& path, const std::string& text, std::string* error);

// Makes the object each report file is written through. The default makes
// a plain AtomicFile; a test makes one whose writes fail.
using FileMaker = std::function<std::unique_ptr<AtomicFile>()>;

// The base name of the all-reports export: the prefix, then the replay
// path after its last folder separator with the four characters from its
// last point removed.
std::string ExportBaseName(const std::string& prefix, const std::string& replay_path);

struct ExportResult {
    std::vector<std::string> written;  // files replaced, in order
    std::string failed_file;           // the file that could not be written; empty on success
    std::string error;                 // the message for it, as WriteText gives it
    bool ok() const { return failed_file.empty(); }
};

// Writes the session reports of the replay as base + "_Practice.txt",
// "_Race.txt", "_LapChart.txt", "_LapByLap.txt", "_Complete.txt" and, when
// mech is set, "_Mechanical.txt". The mechanical scan of the replay runs at
// most once for all of them (for the race results' problem column when
// in.retire_in_race_report is set, and for the mechanical report, whose
// text is written as the scan makes it and never held whole).
//
// Every file is written whole beside its target first, and only then are
// they renamed over the old files, in the order above. So an export that
// fails while writing (a full disk, a FIFO or a folder where a file should
// go) replaces nothing and names the first file that failed; only a rename
// that fails, after all were written, leaves the files before it replaced.
ExportResult ExportAllReports(const ReportInput& in, const std::string& prefix, bool mech,
                              const FileMaker& make_file = {});

}  // namespace report_files
