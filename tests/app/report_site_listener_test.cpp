// The report site listener window and the Reports menu's site commands on
// the sample simulator: Start and Stop clear the laps, closing while idle
// keeps them, a tick writes the site of a new replay, a failed site is
// told once; and the site of a loaded lap's replay.

#include "reports/ui/report_site_listener.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "support/sample_document.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Outcome = ReportSiteWatcher::Outcome;

class ReportSiteListenerTest : public testing::Test, protected fixture::SampleDocument {
protected:
    ReportSiteListenerTest() {
        settings.SetRecordsPath(out.path().string());
        doc->LoadSettings();
        frame = std::make_unique<CMainFrame>(*doc, ui);
    }
    ~ReportSiteListenerTest() override {
        frame.reset();
        doc.reset();
    }
    ReportSiteListener& OpenListener() {
        EXPECT_TRUE(frame->Run(CMainFrame::kReportSiteListener));
        QApplication::processEvents();
        return *frame->Listener();
    }
    fixture::TempDir out;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ReportSiteListenerTest, StartAndStopClearTheLapsButClosingWhileIdleKeepsThem) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    ReportSiteListener& listener = OpenListener();
    EXPECT_EQ(listener.folder_edit()->text().toStdString(), out.path().string());
    EXPECT_FALSE(listener.stop_button()->isEnabled());
    fixture::CheckScreenshot(listener.grab().toImage(), "report_site_listener");
    QTest::keyClick(&listener, Qt::Key_Escape);
    EXPECT_FALSE(listener.isVisible());
    EXPECT_EQ(doc->GetLoadedCount(), 1);

    ReportSiteListener& again = OpenListener();
    again.start_button()->click();
    EXPECT_EQ(doc->GetLoadedCount(), 0);
    EXPECT_TRUE(again.listening());
    EXPECT_TRUE(again.timer()->isActive());
    EXPECT_FALSE(again.folder_edit()->isEnabled());
    EXPECT_FALSE(again.browse_button()->isEnabled());
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    again.close();
    EXPECT_FALSE(again.listening());
    EXPECT_FALSE(again.timer()->isActive());
    EXPECT_EQ(doc->GetLoadedCount(), 0);
}

TEST_F(ReportSiteListenerTest, ATickWritesTheSiteOfANewReplayAndToldOfAFailureOnce) {
    ReportSiteListener& listener = OpenListener();
    listener.start_button()->click();
    EXPECT_EQ(listener.OnTimer(), Outcome::kNothing);  // the replays there at the start are old
    fs::copy_file(DrivenReplay(), sim / "replay" / "new_race.rpy");
    EXPECT_EQ(listener.OnTimer(), Outcome::kWaiting);
    EXPECT_EQ(listener.OnTimer(), Outcome::kWritten);
    const fs::path site = out.path() / "new_race";
    for (const char* file : {"index.html", "Race.html", "track.png", "RaceGraphics.png", "RaceGraphics2.png"})
        EXPECT_TRUE(fs::exists(site / file)) << file;
    EXPECT_FALSE(doc->IsTrackLoaded());  // the track slot is given back
    EXPECT_TRUE(ui.messages.empty());

    // A folder that cannot take the site: told once, tried again.
    listener.stop_button()->click();
    listener.folder_edit()->setText(QString::fromStdString((out.path() / "missing").string()));
    listener.start_button()->click();
    fs::copy_file(DrivenReplay(), sim / "replay" / "later.rpy");
    for (int i = 0; i < 6; ++i) listener.OnTimer();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].substr(0, 22), "Could not create site!");
    fs::create_directory(out.path() / "missing");
    listener.OnTimer();
    EXPECT_EQ(listener.OnTimer(), Outcome::kWritten);
    EXPECT_TRUE(fs::exists(out.path() / "missing" / "later" / "index.html"));
}

TEST_F(ReportSiteListenerTest, GenerateReportSiteWritesTheLoadedLapsReplay) {
    EXPECT_TRUE(frame->Run(CMainFrame::kGenerateReportSite));
    EXPECT_EQ(ui.messages.at(0), "You need to load a lap from the replay\r\nyou want the Report Site for.");
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    ui.messages.clear();
    ui.answers = {true};
    EXPECT_TRUE(frame->Run(CMainFrame::kGenerateReportSite));
    const std::string site = (out.path() / "monza_driven").string() + "/";
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], "Report site created in:\r\n" + site + "\r\n\r\nDo you wish to launch the site in your browser?");
    EXPECT_EQ(ui.opened, std::vector<std::string>{site + "index.html"});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(doc->GetLoadedCount(), 1);
}

}  // namespace
