// Each report of each session replay equals its checked-in text byte for
// byte. OSTREVAN_UPDATE_GOLDEN=1 rewrites the expected files (read every
// change before committing it).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "golden.h"
#include "report_scenarios.h"
#include "reports/complete_report.h"
#include "reports/lap_by_lap_report.h"
#include "reports/lap_chart_report.h"
#include "reports/practice_report.h"
#include "support/temp_dir.h"

namespace {

using namespace report_scenarios;


class ReportGolden : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseUtc(); }
    fixture::TempDir dir;
};

TEST_F(ReportGolden, PracticeAndRace) {
    auto r = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    ExpectGolden("both_practice.txt", WritePracticeReport(r->input));
    ExpectGolden("both_lapchart.txt", WriteLapChartReport(r->input));
    ExpectGolden("both_lapbylap.txt", WriteLapByLapReport(r->input));
    ExpectGolden("both_complete.txt", WriteCompleteReport(r->input));
    r->input.off_track_in_race_report = false;
    ExpectGolden("both_lapbylap_no_offtrack.txt", WriteLapByLapReport(r->input));
}

TEST_F(ReportGolden, PracticeOnly) {
    auto r = WriteAndLoad(PracticeOnly(), dir.File("zandvoort.rpy"));
    ExpectGolden("practice_practice.txt", WritePracticeReport(r->input));
    ExpectGolden("practice_lapchart.txt", WriteLapChartReport(r->input));
    EXPECT_EQ(WriteLapByLapReport(r->input), "This replay file does not contain race data.");
    ExpectGolden("practice_complete.txt", WriteCompleteReport(r->input));
}

TEST_F(ReportGolden, RaceOnly) {
    auto r = WriteAndLoad(RaceOnly(), dir.File("spa.rpy"));
    EXPECT_EQ(WritePracticeReport(r->input), "This replay file does not contain practice data.");
    ExpectGolden("race_lapchart.txt", WriteLapChartReport(r->input));
    ExpectGolden("race_lapbylap.txt", WriteLapByLapReport(r->input));
}

}  // namespace
