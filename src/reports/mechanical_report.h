#pragma once
// The mechanical failures report (kind 6): a running commentary of the
// race, read from the replay's data section from start to end, telling
// which car had which mechanical problem, which car retired and for what
// official reason, which car had its problems cleared, and when the leader
// started each lap. The scan leaves the last status of every car in its
// status table, which the race results report reads for its problem column.

#include <functional>
#include <string>

#include "reports/car_status.h"

struct ReportInput;

inline constexpr const char* kMechanicalReportTitle = "Mechanical report";

class MechanicalScan {
public:
    // Called with every piece of text as it is appended, so a window can
    // show the report grow.
    using Progress = std::function<void(const std::string& piece)>;

    // Scans the replay and returns the whole report text. short_reasons
    // selects the short retirement reasons of the race results report.
    std::string Scan(const ReportInput& in, bool short_reasons = false, const Progress& progress = {});
    // The same scan, but the text goes only to sink, piece by piece, and is
    // never held: a flood of status records makes a report of hundreds of
    // megabytes, which the unattended export writes as it grows.
    void ScanTo(const ReportInput& in, bool short_reasons, const Progress& sink);

    // Per car slot, the last status record seen since race data was found.
    const CarStatusTable& status() const { return m_carStatus; }

    // For scans that tell the status changes among events of their own (the
    // detailed race): starts a commentary as Scan does, without reading the
    // replay; every piece of text goes to progress.
    void BeginCommentary(const ReportInput& in, const Progress& progress);
    // One changed status byte (4 to 15) of a car slot (0 to 19) at a
    // race-clock time in ms: writes its lines and keeps the new value.
    void StatusChange(int byte_index, int value, int slot, int event_time_ms);

private:
    void Run(const ReportInput& in, bool short_reasons, const Progress& progress);
    void Append(const std::string& piece);
    void ReportStatusChange(int byte_index, int value, int slot);
    std::string DriverName(int slot) const;

    const ReportInput* in_ = nullptr;
    bool short_reasons_ = false;
    Progress progress_;
    bool keep_text_ = true;
    std::string m_strReport;
    CarStatusTable m_carStatus;
    int m_nEventTime = 0;
    int m_nLastTimeShown = -1;
    int m_nLastDriver = -1;
};
