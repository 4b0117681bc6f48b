#include "reports/report_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "replay/drivers.h"
#include "report_scenarios.h"
#include "reports/lap_by_lap_report.h"
#include "reports/lap_chart_report.h"
#include "reports/practice_report.h"
#include "reports/report_files.h"
#include "reports/report_kind.h"
#include "support/temp_dir.h"

namespace {

using namespace report_text;

TEST(ReportText, LapTimes) {
    EXPECT_EQ(FormatLapTime(83456), "1m23.456s");
    EXPECT_EQ(FormatLapTime(5123), "05.123s");
    EXPECT_EQ(FormatLapTime(0), "00.000s");
    EXPECT_EQ(FormatLapTime(725009), "12m05.009s");
    EXPECT_EQ(FormatLapTime(0x50000000u | 523), "00.523s");  // flags ignored
}

TEST(ReportText, Columns) {
    EXPECT_EQ(RightAlign(7, 2), " 7");
    EXPECT_EQ(RightAlign(123, 2), "23");
    EXPECT_EQ(RightAlign("No time", 10), "   No time");
    EXPECT_EQ(LeftAlign("abc", 5), "abc  ");
    EXPECT_EQ(LeftAlign("abcdef", 5), "abcde");
}

TEST(ReportText, FileTimeIsEnglishWithAZeroPaddedDay) {
    report_scenarios::UseUtc();
    EXPECT_EQ(FormatFileTime(report_scenarios::kFileTime), "Sun Jan 06 14:05:09 2008");
    EXPECT_EQ(FormatFileTime(946728000), "Sat Jan 01 12:00:00 2000");
}

// Far-future and damaged file times are shown as unknown, never as a year
// that overflowed.
TEST(ReportText, FileTimesWhoseYearIsNotFourDigitsAreUnknown) {
    report_scenarios::UseUtc();
    struct Case {
        std::time_t t;
        const char* text;
    };
    const Case cases[] = {
        {253402300799, "Fri Dec 31 23:59:59 9999"},
        {253402300800, "Unknown"},                         // year 10000
        {67767976233532799, "Unknown"},                    // year 2147485547, whose tm_year + 1900 overflows
        {std::numeric_limits<std::time_t>::max(), "Unknown"},
        {-62167219201, "Unknown"},                         // the year before year 0
        {std::numeric_limits<std::time_t>::min(), "Unknown"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFileTime(c.t), c.text) << c.t;
    for (const Case& c : cases)
        EXPECT_EQ(Drivers::FormatFileDate(c.t), c.text[0] == 'U' ? "Unknown" : "9999 Dec 31") << c.t;
}

TEST(ReportText, EqualTimesSortByDriverIndex) {
    std::vector<uint32_t> packed = {Pack(3, 500), Pack(1, 0xFFFFFF), Pack(2, 500), Pack(0, 0xFFFFFF), Pack(4, 400)};
    SortByTime(packed);
    std::vector<int> order;
    for (uint32_t p : packed) order.push_back(PackedDriver(p));
    EXPECT_EQ(order, (std::vector<int>{4, 2, 3, 0, 1}));
}

TEST(ReportFiles, NamesFollowTheReplay) {
    using report_files::ProposedName;
    EXPECT_EQ(ProposedName("/sim/replay/monza.rpy", kReportRace), "/sim/replay/monza_Race.txt");
    EXPECT_EQ(ProposedName("/sim/replay/monza.rpy", kReportSectorTimes), "SectorTimes.txt");
    EXPECT_EQ(ProposedName("/sim/replay/monza.rpy", kReportSeasonEngineMod), "/sim/replay/monza.txt");
    EXPECT_EQ(report_files::WithTxtExtension("a.TXT"), "a.TXT");
    EXPECT_EQ(report_files::WithTxtExtension("a"), "a.txt");
    EXPECT_EQ(report_files::WithTxtExtension("a.text"), "a.text.txt");
    EXPECT_EQ(report_files::ExportBaseName("D:\\out\\", "D:\\sim\\replay\\monza.rpy"), "D:\\out\\monza");
    EXPECT_EQ(report_files::ExportBaseName("/out/x_", "/sim/replay/monza.rpy"), "/out/x_monza");
}

TEST(ReportFiles, AllReportsExportWritesEachFileWithCrLf) {
    report_scenarios::UseUtc();
    fixture::TempDir dir;
    auto r = report_scenarios::WriteAndLoad(report_scenarios::PracticeAndRace(), dir.File("monza.rpy"));
    const auto result = report_files::ExportAllReports(r->input, dir.File("out_"), false);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.written.size(), 5u);
    EXPECT_EQ(result.written[0], dir.File("out_monza_Practice.txt"));
    std::ifstream in(result.written[0], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, WritePracticeReport(r->input));
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
}

TEST(ReportFiles, AFileThatCannotBeWrittenIsReported) {
    report_scenarios::UseUtc();
    fixture::TempDir dir;
    auto r = report_scenarios::WriteAndLoad(report_scenarios::PracticeAndRace(), dir.File("monza.rpy"));
    const auto result = report_files::ExportAllReports(r->input, dir.File("missing-folder/"), true);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(result.failed_file, dir.File("missing-folder/monza_Practice.txt"));
    EXPECT_EQ(result.error, "Error creating file!");
}

// Twenty drivers with 149 race laps each: far beyond the 65,535 characters
// an edit control once held, and bounded by the tables.
fixture::ReplaySpec FullField() {
    std::vector<fixture::DriverLaps> field;
    for (uint32_t i = 0; i < 20; ++i) {
        fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, 0)};
        d.practice_start = 1000;
        d.practice_laps.assign(30, 90000u + i);
        d.race_start = 2000 + i;
        d.race_laps.assign(149, 60000 + 10 * i);
        field.push_back(d);
    }
    return fixture::SessionReplay(field, true, true, "nurburgring");
}

TEST(ReportLimits, LongReportsAreWholeAndTablesBounded) {
    report_scenarios::UseUtc();
    fixture::TempDir dir;
    auto r = report_scenarios::WriteAndLoad(FullField(), dir.File("long.rpy"));
    const std::string chart = WriteLapChartReport(r->input);
    EXPECT_GT(chart.size(), 65535u);
    EXPECT_NE(chart.find("Driver: Driver Number19"), std::string::npos);
    EXPECT_NE(chart.find("Lap 149: 1m00.190s\r\n"), std::string::npos);
    EXPECT_EQ(chart.find("Lap 150"), std::string::npos);
    const std::string practice = WritePracticeReport(r->input);
    EXPECT_NE(practice.find("\r\n20  "), std::string::npos);
    const std::string story = WriteLapByLapReport(r->input);
    EXPECT_NE(story.find("Driver Number0 wins the race"), std::string::npos);

    std::string error;
    ASSERT_TRUE(report_files::WriteText(dir.File("chart.txt"), chart, &error));
    EXPECT_EQ(std::filesystem::file_size(dir.File("chart.txt")), chart.size());
}

}  // namespace
