// The report site listener window and the Reports menu's site commands on
// the sample simulator: Start and Stop clear the laps, closing while idle
// keeps them, a tick writes the site of a new replay, a failed site is
// told once; and the site of a loaded lap's replay.

#include "reports/ui/report_site_listener.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
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
        held_poll.reset();
        frame.reset();
        doc.reset();
    }
    // Each opening makes a new window. The tests tick it themselves: its
    // two-second poll still starts and stops as the window says, but never
    // fires, so no tick of its own comes between theirs.
    ReportSiteListener& OpenListener() {
        held_poll.reset();
        EXPECT_TRUE(frame->Run(CMainFrame::kReportSiteListener));
        held_poll.emplace(frame->Listener()->timer());
        QApplication::processEvents();
        return *frame->Listener();
    }
    fixture::TempDir out;
    std::unique_ptr<CMainFrame> frame;
    std::optional<QSignalBlocker> held_poll;
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

    // A folder that cannot take the site: tried once more, told once, and
    // then dealt with.
    listener.stop_button()->click();
    listener.folder_edit()->setText(QString::fromStdString((out.path() / "missing").string()));
    listener.start_button()->click();
    fs::copy_file(DrivenReplay(), sim / "replay" / "later.rpy");
    EXPECT_EQ(listener.OnTimer(), Outcome::kWaiting);
    EXPECT_EQ(listener.OnTimer(), Outcome::kRetrying);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(listener.OnTimer(), Outcome::kWaiting);
    EXPECT_EQ(listener.OnTimer(), Outcome::kFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].substr(0, 22), "Could not create site!");
    fs::create_directory(out.path() / "missing");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(listener.OnTimer(), Outcome::kNothing);
    EXPECT_FALSE(fs::exists(out.path() / "missing" / "later"));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ReportSiteListenerTest, ASiteWrittenInPartIsToldOnceAndItsImagesBackedUpOnce) {
    // An earlier site of the same name, whose track map is a folder.
    const fs::path site = out.path() / "new_race";
    fs::create_directories(site / "track.png");
    std::ofstream(site / "RaceGraphics.png") << "earlier";
    ReportSiteListener& listener = OpenListener();
    listener.start_button()->click();
    fs::copy_file(DrivenReplay(), sim / "replay" / "new_race.rpy");
    EXPECT_EQ(listener.OnTimer(), Outcome::kWaiting);
    EXPECT_EQ(listener.OnTimer(), Outcome::kFailed);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(listener.OnTimer(), Outcome::kNothing);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("track.png"), std::string::npos) << ui.messages[0];
    EXPECT_TRUE(fs::exists(site / "index.html"));
    EXPECT_TRUE(fs::exists(site / "RaceGraphics.png.bak"));
    EXPECT_FALSE(fs::exists(site / "RaceGraphics.png.000"));
    EXPECT_FALSE(fs::exists(site / "RaceGraphics2.png.bak"));
}

TEST_F(ReportSiteListenerTest, ASiteIsNeverGivenTheMapOfAnotherTrack) {
    ReportSiteListener& listener = OpenListener();
    listener.start_button()->click();
    // A Monza lap in the document while a Spa replay comes in.
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    fs::copy_file(replays.at(1), sim / "replay" / "spa_new.rpy");
    listener.OnTimer();
    EXPECT_EQ(listener.OnTimer(), Outcome::kFailed);
    const fs::path site = out.path() / "spa_new";
    EXPECT_TRUE(fs::exists(site / "index.html"));
    EXPECT_FALSE(fs::exists(site / "track.png"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("Could not draw " + site.string() + "/track.png"), std::string::npos)
        << ui.messages[0];
    // The document keeps its own lap and track.
    EXPECT_EQ(doc->GetLoadedCount(), 1);
    EXPECT_TRUE(doc->IsTrackLoaded());
}

TEST_F(ReportSiteListenerTest, TheProgramIsBusyForAsLongAsTheListenerIsOpen) {
    using F = CMainFrame;
    using P = PlaybackController;
    // Reports, tools, graphs and the framework's file and print commands,
    // then the document's commands on the laps.
    const std::set<int> waiting = {
        F::kReportsPractice, F::kReportsRace, F::kReportsLapByLap, F::kReportsComplete, F::kReportsMechanical,
        F::kReportsLapChart, F::kReportsDetailedRace, F::kGraphicalRaceReport, F::kRaceHistoryGraph,
        F::kGenerateReportSite, F::kReportSiteListener, F::kGraph, F::kExportRecords, F::kQELRankHandicap,
        F::kTrackOrganizer, F::kReplayCDDatabaseCreator, F::kToolsEngineDetection, F::kToolsSeasonEngineInfo,
        F::kPBViewer, F::kToolsLaptimeVerifier, F::kToolsSectorTimes, F::kToolsTractionCircle, F::kToolsRatings,
        F::kToolsSpeedReport, F::kToolsSpeedTrack, F::kClearAll, F::kOpen, F::kPrint, F::kPrintPreview,
        F::kPrintSetup, F::kToolsGearChange,
        F::kAddReplayLap, F::kLapFinder, F::kSaveReplayLap, F::kMergeAllLaps, F::kOpenNewest, F::kArrangeLaps,
        // The driving line of the loaded lap cannot be toggled either.
        F::kToggleLap1};
    // Never enabled with one lap loaded and nothing playing.
    const std::set<int> off = {P::kPause,  P::kFastForward, P::kFastReverse,     P::kStop,
                               P::kMoveToEnd, P::kBeginningOfLap, F::kToggleLap1 + 1, F::kToggleLap1 + 2,
                               F::kToggleLap1 + 3, F::kToggleLap1 + 4};
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    const auto check = [&](bool open) {
        frame->RefreshCommands();
        int seen = 0;
        for (int id = 32768; id < 60000; ++id) {
            const QAction* action = frame->Action(id);
            if (!action) continue;
            ++seen;
            const bool enabled = !off.count(id) && !(open && waiting.count(id));
            EXPECT_EQ(action->isEnabled(), enabled) << "command " << id << (open ? " with" : " without")
                                                    << " the listener";
        }
        EXPECT_GT(seen, 60);
        // The recent replays of the File menu open as Open does.
        int recent = 0;
        for (const QAction* action : frame->menuBar()->actions().front()->menu()->actions())
            if (action->property("recent").toBool() && !action->isSeparator()) {
                ++recent;
                EXPECT_EQ(action->isEnabled(), !open) << action->text().toStdString();
            }
        EXPECT_EQ(recent, 1);
    };
    check(false);
    frame->show();
    ReportSiteListener& listener = OpenListener();
    // A window of the main window's own, so a window manager keeps it in
    // front of it.
    ASSERT_NE(listener.windowHandle(), nullptr);
    EXPECT_EQ(listener.windowHandle()->transientParent(), frame->windowHandle());
    check(true);
    EXPECT_FALSE(frame->Run(F::kAddReplayLap));
    // Listening, with the laps cleared.
    listener.start_button()->click();
    frame->RefreshCommands();
    for (int id : waiting) EXPECT_FALSE(frame->Action(id)->isEnabled()) << "command " << id << " while listening";
    // The graph button of the tool bar stays; it says itself that no lap is
    // loaded.
    EXPECT_TRUE(frame->Action(F::kGraphTool)->isEnabled());
    listener.stop_button()->click();
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    check(false);
}

TEST_F(ReportSiteListenerTest, StartAndStopUntickTheLapBoxes) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1));
    ASSERT_TRUE(frame->PlotSettings().IsLapTicked(0));
    ReportSiteListener& listener = OpenListener();
    listener.start_button()->click();
    for (int row = 0; row < ViewDialog::kRows; ++row) EXPECT_FALSE(frame->PlotSettings().IsLapTicked(row)) << row;
}

TEST_F(ReportSiteListenerTest, GenerateReportSiteWithoutAChosenLapSaysWhatIsMissingInOrder) {
    const std::string need = "You need to load a lap from the replay\r\nyou want the Report Site for.";
    EXPECT_TRUE(frame->Run(CMainFrame::kGenerateReportSite));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"No replay lap loaded!", need}));

    // Several laps and the chooser cancelled.
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 1, 1));
    int asked = 0;
    frame->SetOneLapChooser([&asked](const std::vector<std::string>&) {
        ++asked;
        return -1;
    });
    ui.messages.clear();
    EXPECT_TRUE(frame->Run(CMainFrame::kGenerateReportSite));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{need});
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(ReportSiteListenerTest, GenerateReportSiteWritesTheLoadedLapsReplay) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 0, 1));
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
