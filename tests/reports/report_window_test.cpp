// The report window, headless: it writes its kind when shown, exports the
// text whole to a file and prints it to a PDF.

#include "reports/ui/report.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <fstream>
#include <regex>

#include "report_scenarios.h"
#include "reports/detailed_race_report.h"
#include "reports/lap_chart_report.h"
#include "reports/loaded_laps.h"
#include "reports/mechanical_report.h"
#include "reports/race_report.h"
#include "reports/practice_report.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace {

using namespace report_scenarios;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int PdfPages(const std::string& path) {
    const std::string pdf = ReadFile(path);
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class ReportWindow : public ::testing::Test {
protected:
    void SetUp() override {
        UseUtc();
        replay = WriteAndLoad(PracticeAndRace(), dir.File("monza.rpy"));
    }
    void Open(Report& report, int kind) {
        report.m_pDrivers = replay->drivers.get();
        report.m_pHeader = &replay->header;
        report.m_nKind = kind;
        report.show();
    }
    fixture::TempDir dir;
    fixture::RecordingInteraction ui;
    std::unique_ptr<Loaded> replay;
};

TEST_F(ReportWindow, WritesItsKindWhenShown) {
    Report report(ui);
    Open(report, 1);
    EXPECT_EQ(report.TitleText(), "Practice Report");
    EXPECT_EQ(report.ReportText(), WritePracticeReport(replay->input));
    const auto* edit = report.findChild<QPlainTextEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->toPlainText().startsWith("Track: Monza             Sun Jan 06 14:05:09 2008\n\n"));
    EXPECT_EQ(report.m_nCurrentKind, 1);
}

TEST_F(ReportWindow, KindsWithoutAWriterWriteNothing) {
    for (int kind : {0, 13, -1}) {
        Report report(ui);
        Open(report, kind);
        EXPECT_EQ(report.TitleText(), "Static") << kind;
        EXPECT_TRUE(report.ReportText().empty()) << kind;
    }
}

TEST_F(ReportWindow, ScanningKindsAreWrittenAtTheFirstFocus) {
    struct Case {
        int kind;
        const char* title;
        const char* begins;
    } cases[] = {
        {7, "Static", "Engine Detection Report\r\n"},
        {8, "Detailed Race Report", "\r\nDETAILED RACE REPORT\r\n"},
        {12, "Season/Engine/Mods info", "Name                     Carmake"},
    };
    for (const auto& c : cases) {
        Report report(ui);
        Open(report, c.kind);
        report.OnEditSetFocus();  // a second focus writes nothing more
        EXPECT_EQ(report.TitleText(), c.title) << c.kind;
        EXPECT_TRUE(report.ReportText().starts_with(c.begins)) << c.kind;
        EXPECT_EQ(report.m_nCurrentKind, c.kind);
        EXPECT_EQ(report.m_nKind, 0);
    }
    // The detailed race of a replay saved by a client is refused.
    replay->drivers->player_index = 1;
    Report report(ui);
    Open(report, 8);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], DetailedRaceReport::kRefusal);
    EXPECT_TRUE(report.ReportText().empty());
}

TEST_F(ReportWindow, KindsOverLoadedLapsNeedOnlyTheLaps) {
    LoadedLaps laps;
    laps.track_length_m = 5750;
    LoadedLap lap;
    lap.drivers = replay->drivers.get();
    lap.session = 1;
    lap.lap = 2;
    laps.laps.push_back(lap);
    for (const auto& [kind, title, begins] : {std::tuple{9, "Online Laptime Verifier", "ONLINE LAPTIME VERIFIER\r\n"},
                                             {10, "Sector Times", "SECTOR TIMES\r\n"},
                                             {11, "Speed Report", "SPEED REPORT\r\n"}}) {
        Report report(ui);
        report.m_pLaps = &laps;
        report.m_nKind = kind;
        report.show();
        EXPECT_EQ(report.TitleText(), title);
        EXPECT_EQ(report.windowTitle(), title);
        EXPECT_TRUE(report.ReportText().starts_with(begins)) << kind;
        EXPECT_EQ(report.m_nCurrentKind, kind);
    }
    Report none(ui);
    none.m_nKind = 10;
    none.show();
    EXPECT_TRUE(none.ReportText().empty());
}

TEST_F(ReportWindow, ExportsTheWholeTextWithCrLf) {
    Report report(ui);
    Open(report, 3);
    ui.paths.push_back(dir.File("chart"));
    report.OnExportToFile();
    ASSERT_EQ(ui.proposed_names.size(), 1u);
    EXPECT_EQ(ui.proposed_names[0], dir.File("monza_LapChart.txt"));
    EXPECT_EQ(ReadFile(dir.File("chart.txt")), WriteLapChartReport(replay->input));
    EXPECT_TRUE(ui.messages.empty());

    ui.paths.push_back(dir.File("no-such-folder/chart.txt"));
    report.OnExportToFile();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Error creating file!");

    ui.paths.push_back(std::nullopt);  // cancelled
    report.OnExportToFile();
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ReportWindow, PrintsToAPdfPageByPage) {
    Report report(ui);
    Open(report, 1);
    ui.pdf_path = dir.File("practice.pdf");
    report.OnPrint();
    EXPECT_EQ(report.PrintedPages(), 1);
    EXPECT_EQ(PdfPages(ui.pdf_path), 1);

    // The lap chart of a long race runs over several pages.
    fixture::TempDir other;
    std::vector<fixture::DriverLaps> field;
    for (uint32_t i = 0; i < 6; ++i) {
        fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, 0)};
        d.race_start = 2000;
        d.race_laps.assign(40, 60000 + i);
        field.push_back(d);
    }
    auto long_race = WriteAndLoad(fixture::SessionReplay(field, false, true), other.File("long.rpy"));
    Report chart(ui);
    chart.m_pDrivers = long_race->drivers.get();
    chart.m_pHeader = &long_race->header;
    chart.m_nKind = 3;
    chart.show();
    ui.pdf_path = dir.File("chart.pdf");
    chart.OnPrint();
    EXPECT_GT(chart.PrintedPages(), 1);
    EXPECT_EQ(PdfPages(ui.pdf_path), chart.PrintedPages());
    // At least ten lines a page: 6 drivers x 47 lines fit in fewer than 28.
    EXPECT_LT(chart.PrintedPages(), 28);

    ui.pdf_path.clear();  // the user cancels the print dialog
    Report cancelled(ui);
    Open(cancelled, 1);
    cancelled.OnPrint();
    EXPECT_EQ(cancelled.PrintedPages(), 0);
}

TEST_F(ReportWindow, MechanicalReportIsWrittenOnceOnTheFirstFocus) {
    Report report(ui);
    Open(report, 6);
    report.OnEditSetFocus();  // the offscreen platform may not have given it
    EXPECT_EQ(report.TitleText(), "Mechanical report");
    MechanicalScan scan;
    EXPECT_EQ(report.ReportText(), scan.Scan(replay->input));
    EXPECT_EQ(report.m_nKind, 0);
    EXPECT_EQ(report.m_nCurrentKind, 6);
    const std::string first = report.ReportText();
    report.OnEditSetFocus();
    EXPECT_EQ(report.ReportText(), first);
    EXPECT_EQ(ui.waits, 0);
}

TEST_F(ReportWindow, RaceReportRunsTheScanForItsProblemColumn) {
    Report with(ui);
    with.m_bRetireInRaceReport = 1;
    Open(with, 2);
    EXPECT_EQ(with.TitleText(), "Race Report");
    EXPECT_NE(with.ReportText().find("Diff    Problem\r\n"), std::string::npos);

    Report without(ui);
    Open(without, 2);
    EXPECT_EQ(without.ReportText().find("Problem"), std::string::npos);
    EXPECT_EQ(without.ReportText(), WriteRaceReport(replay->input, false, nullptr));
}

TEST_F(ReportWindow, ShowsAReportBeyondSixtyFiveThousandCharactersWhole) {
    std::vector<fixture::DriverLaps> field;
    for (uint32_t i = 0; i < 20; ++i) {
        fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, 0)};
        d.practice_start = 1000;
        d.practice_laps.assign(30, 90000 + i);
        d.race_start = 2000;
        d.race_laps.assign(149, 60000 + i);
        field.push_back(d);
    }
    fixture::TempDir other;
    auto full = WriteAndLoad(fixture::SessionReplay(field, true, true), other.File("full.rpy"));
    Report report(ui);
    report.m_pDrivers = full->drivers.get();
    report.m_pHeader = &full->header;
    report.m_nKind = 5;
    report.show();
    EXPECT_EQ(report.TitleText(), "Complete Report");
    ASSERT_GT(report.ReportText().size(), 65535u);
    const auto* edit = report.findChild<QPlainTextEdit*>();
    EXPECT_EQ(edit->toPlainText(), QString::fromStdString(report.ReportText()).replace("\r\n", "\n"));

    ui.paths.push_back(other.File("complete.txt"));
    report.OnExportToFile();
    EXPECT_EQ(ReadFile(other.File("complete.txt")), report.ReportText());

    // Printed whole, page by page, in reasonable time.
    ui.pdf_path = other.File("complete.pdf");
    report.OnPrint();
    const int lines = static_cast<int>(std::count(report.ReportText().begin(), report.ReportText().end(), '\n'));
    EXPECT_GT(report.PrintedPages(), lines / 200);
    EXPECT_LT(report.PrintedPages(), lines / 20);
    EXPECT_EQ(PdfPages(ui.pdf_path), report.PrintedPages());
}

}  // namespace
