#include "reports/report_files.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "replay/header.h"
#include "reports/complete_report.h"
#include "reports/lap_by_lap_report.h"
#include "reports/lap_chart_report.h"
#include "reports/mechanical_report.h"
#include "reports/practice_report.h"
#include "reports/race_report.h"
#include "reports/report_input.h"
#include "reports/report_kind.h"
#include "settings/atomic_file.h"

namespace report_files {

namespace {

constexpr const char* kCreateError = "Error creating file!";
constexpr const char* kWriteError = "Error writing file!";

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i], b = tail[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

std::string ProposedName(const std::string& replay_path, int kind) {
    std::string base;
    if (kind < kReportLaptimeVerifier || kind > kReportSpeed)
        base = replay_path.size() >= 4 ? replay_path.substr(0, replay_path.size() - 4) : std::string();
    return base + std::string(ReportSuffix(kind)) + ".txt";
}

std::string WithTxtExtension(const std::string& path) { return EndsWithNoCase(path, ".txt") ? path : path + ".txt"; }

bool WriteText(const std::string& path, const std::string& text, std::string* error) {
    AtomicFile file;
    if (!file.Begin(path)) {
        if (error) *error = kCreateError;
        return false;
    }
    if (!file.Append(text) || !file.Commit()) {
        if (error) *error = kWriteError;
        return false;
    }
    return true;
}

std::string ExportBaseName(const std::string& prefix, const std::string& replay_path) {
    const size_t slash = replay_path.find_last_of("\\/");
    std::string title = slash == std::string::npos ? replay_path : replay_path.substr(slash + 1);
    const size_t dot = title.rfind('.');
    if (dot != std::string::npos) title.erase(dot, 4);
    return prefix + title;
}

ExportResult ExportAllReports(const ReportInput& in, const std::string& prefix, bool mech, const FileMaker& make_file) {
    ExportResult result;
    const std::string base = ExportBaseName(prefix, in.header->path);

    std::vector<int> kinds = {kReportPractice, kReportRace, kReportLapChart, kReportLapByLap, kReportComplete};
    if (mech) kinds.push_back(kReportMechanical);
    std::vector<std::unique_ptr<AtomicFile>> files;
    std::vector<std::string> names;
    // Names as asked for: a link at one of them is followed, but the user
    // is told the name the export was given.
    auto fail = [&](size_t index, const char* message) {
        result.failed_file = names[index];
        result.error = message;
        return result;
    };
    // Every file is begun first, so a folder that cannot take them, or a
    // special file where one should go, is found before any report is made.
    for (int kind : kinds) {
        names.push_back(base + std::string(ReportSuffix(kind)) + ".txt");
        files.push_back(make_file ? make_file() : std::make_unique<AtomicFile>());
        if (!files.back()->Begin(names.back())) return fail(files.size() - 1, kCreateError);
    }

    // One scan serves the race results' problem column and the mechanical
    // report: the status table it leaves does not depend on the texts.
    ReportInput input = in;
    MechanicalScan scan;
    if (mech) {
        AtomicFile& file = *files.back();
        scan.ScanTo(in, false, [&file](const std::string& piece) { file.Append(piece); });
        if (!file.Finish()) return fail(files.size() - 1, kWriteError);
    } else if (in.retire_in_race_report) {
        scan.ScanTo(in, false, {});
    }
    if (in.retire_in_race_report) input.car_status = &scan.status();

    const std::vector<std::function<std::string()>> writers = {
        [&] { return WritePracticeReport(input); },
        [&] { return WriteRaceReport(input, input.retire_in_race_report, input.car_status); },
        [&] { return WriteLapChartReport(input); },
        [&] { return WriteLapByLapReport(input); },
        [&] { return WriteCompleteReport(input); },
    };
    for (size_t i = 0; i < writers.size(); ++i) {
        AtomicFile& file = *files[i];
        if (!file.Append(writers[i]()) || !file.Finish()) return fail(i, kWriteError);
    }
    // The folders are synced once, after all the renames: one fsync for
    // the export rather than one per report.
    std::set<std::filesystem::path> folders;
    auto sync_folders = [&] {
        for (const auto& folder : folders) atomic_file::SyncFolder(folder);
    };
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->Commit(AtomicFile::FolderSync::kLater)) {
            sync_folders();
            return fail(i, kWriteError);
        }
        folders.insert(files[i]->target().parent_path());
        result.written.push_back(names[i]);
    }
    sync_folders();
    return result;
}

}  // namespace report_files
