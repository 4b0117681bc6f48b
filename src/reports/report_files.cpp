#include "reports/report_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "replay/header.h"
#include "reports/complete_report.h"
#include "reports/lap_by_lap_report.h"
#include "reports/lap_chart_report.h"
#include "reports/mechanical_report.h"
#include "reports/practice_report.h"
#include "reports/race_report.h"
#include "reports/report_input.h"
#include "reports/report_kind.h"

namespace report_files {

namespace {

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
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error) *error = "Error creating file!";
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        if (error) *error = "Error writing file!";
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

ExportResult ExportAllReports(const ReportInput& in, const std::string& prefix, bool mech) {
    ExportResult result;
    const std::string base = ExportBaseName(prefix, in.header->path);

    // One scan serves the race results' problem column and the mechanical
    // report: the status table it leaves does not depend on the texts.
    ReportInput input = in;
    MechanicalScan scan;
    std::string mechanical;
    if (mech || in.retire_in_race_report) {
        mechanical = scan.Scan(in);
        if (in.retire_in_race_report) input.car_status = &scan.status();
    }

    std::vector<std::pair<int, std::function<std::string()>>> reports = {
        {kReportPractice, [&] { return WritePracticeReport(input); }},
        {kReportRace, [&] { return WriteRaceReport(input, input.retire_in_race_report, input.car_status); }},
        {kReportLapChart, [&] { return WriteLapChartReport(input); }},
        {kReportLapByLap, [&] { return WriteLapByLapReport(input); }},
        {kReportComplete, [&] { return WriteCompleteReport(input); }},
    };
    if (mech) reports.push_back({kReportMechanical, [&] { return mechanical; }});
    for (const auto& [kind, writer] : reports) {
        const std::string file = base + std::string(ReportSuffix(kind)) + ".txt";
        if (!WriteText(file, writer(), &result.error)) {
            result.failed_file = file;
            return result;
        }
        result.written.push_back(file);
    }
    return result;
}

}  // namespace report_files
