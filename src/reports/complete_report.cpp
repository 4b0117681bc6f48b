#include "reports/complete_report.h"

#include "reports/lap_by_lap_report.h"
#include "reports/lap_chart_report.h"
#include "reports/practice_report.h"
#include "reports/race_report.h"
#include "reports/report_input.h"

std::string WriteCompleteReport(const ReportInput& in) {
    std::string text = WritePracticeReport(in);
    text += "\r\n\r\n" + WriteRaceReport(in, in.retire_in_race_report, in.car_status);
    text += "\r\n\r\n" + WriteLapChartReport(in);
    text += "\r\n\r\n" + WriteLapByLapReport(in);
    return text;
}
