// The Reports menu's race charts in the main window on the sample
// simulator folder: the replay of the one loaded lap, the one-lap chooser
// with several, and a replay file chosen for the chart alone, with every
// refusal. Both dialogs go through the screenshot check.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/choose_lap_for_report.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "reports/ui/graphical_race_report.h"
#include "reports/ui/relative_race_graph.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/sample_simulator.h"
#include "support/screenshot.h"
#include "support/session_fixture.h"

namespace {

namespace fs = std::filesystem;

class RaceChartCommandsTest : public testing::Test {
protected:
    RaceChartCommandsTest() {
        sim = config.scratch() / "QEL";
        replays = fixture::WriteSampleSimulator(sim);
        settings.SetQELDirectory(sim.string());
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->show();
        QApplication::processEvents();
    }
    ~RaceChartCommandsTest() override {
        frame.reset();
        doc.reset();
    }
    // Runs the command; each modal window it opens is handed to the next
    // step, which must close it.
    void RunWithDialogs(int id, std::vector<std::function<void(QWidget*)>> steps) {
        pending_ = std::move(steps);
        QTimer::singleShot(20, [this] { Watch(); });
        EXPECT_TRUE(frame->Run(id));
        EXPECT_TRUE(pending_.empty()) << pending_.size() << " windows did not open";
        pending_.clear();
    }
    void Watch() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != handled_ && !pending_.empty()) {
            handled_ = modal;
            auto step = pending_.front();
            pending_.erase(pending_.begin());
            step(modal);
        }
        if (!pending_.empty()) QTimer::singleShot(20, [this] { Watch(); });
    }
    fs::path Driven() const { return replays.at(2); }

    fixture::ScopedConfigDir config;
    fs::path sim;
    std::vector<fs::path> replays;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::function<void(QWidget*)>> pending_;
    QWidget* handled_ = nullptr;
};

TEST_F(RaceChartCommandsTest, BothChartsStandInTheReportsMenu) {
    QMenu* reports = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == "&Reports") reports = a->menu();
    ASSERT_NE(reports, nullptr);
    QStringList texts;
    for (QAction* a : reports->actions()) texts << a->text();
    EXPECT_TRUE(texts.contains("Graphical Race Report") && texts.contains("Race History Graph"))
        << texts.join("|").toStdString();
}

TEST_F(RaceChartCommandsTest, WithoutALapAReplayFileIsOfferedAndCheckedFirst) {
    const fs::path practice = sim / "replay" / "practice_only.rpy";
    fixture::DriverLaps clark{fixture::NamedDriver("Jim", "Clark", 0)};
    clark.practice_start = 1000;
    clark.practice_laps = {90000};
    fixture::WriteFile(practice, fixture::BuildReplay(fixture::SessionReplay({clark}, true, false)));
    const fs::path junk = sim / "replay" / "junk.rpy";
    fixture::WriteFile(junk, "not a replay");
    const std::string ask = "Do you wish to choose a replay file to be used in the report only?";
    const struct {
        const char* name;
        bool answer;
        std::optional<std::string> path;
        std::vector<std::string> messages;
    } cases[] = {
        {"no", false, std::nullopt, {"No replay lap loaded!"}},
        {"cancelled chooser", true, std::nullopt, {"No replay lap loaded!"}},
        {"practice only", true, practice.string(),
         {"No replay lap loaded!", "This replay file does not contain race info!"}},
        {"not a replay", true, junk.string(),
         {"No replay lap loaded!", "HeaderClass: Error reading file!", junk.string()}},
    };
    for (int id : {CMainFrame::kGraphicalRaceReport, CMainFrame::kRaceHistoryGraph}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            ui.messages.clear();
            ui.questions.clear();
            ui.answers = {c.answer};
            ui.paths = {c.path};
            EXPECT_TRUE(frame->Run(id));
            EXPECT_EQ(ui.messages, c.messages);
            EXPECT_EQ(ui.questions, std::vector<std::string>{ask});
        }
    }
    EXPECT_EQ(doc->GetLoadedCount(), 0);

    // A replay with race data opens the chart.
    ui.answers = {true};
    ui.paths = {replays.at(1).string()};
    RunWithDialogs(CMainFrame::kGraphicalRaceReport, {[](QWidget* w) {
                       auto* report = qobject_cast<GraphicalRaceReport*>(w);
                       ASSERT_NE(report, nullptr);
                       EXPECT_FALSE(report->Chart().IsEmpty());
                       report->close_button()->click();
                   }});
}

TEST_F(RaceChartCommandsTest, TheOneLoadedLapsReplayOpensWithoutAsking) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(Driven().string(), 1, 0, 2));
    RunWithDialogs(CMainFrame::kGraphicalRaceReport, {[](QWidget* w) {
                       auto* report = qobject_cast<GraphicalRaceReport*>(w);
                       ASSERT_NE(report, nullptr);
                       fixture::CheckScreenshot(report->grab().toImage(), "graphical_race_report_window");
                       report->close_button()->click();
                   }});
    RunWithDialogs(CMainFrame::kRaceHistoryGraph, {[](QWidget* w) {
                       auto* graph = qobject_cast<RelativeRaceGraph*>(w);
                       ASSERT_NE(graph, nullptr);
                       EXPECT_EQ(graph->title_edit()->text(), "Monza - 3 laps");
                       QApplication::processEvents();
                       fixture::CheckScreenshot(graph->grab().toImage(), "race_history_graph_window");
                       graph->close_button()->click();
                   }});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(RaceChartCommandsTest, SeveralLapsAskWhichReplay) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(Driven().string(), 1, 0, 2));
    ASSERT_TRUE(doc->AddLapFromCommandLine(Driven().string(), 0, 1, 2));
    RunWithDialogs(CMainFrame::kRaceHistoryGraph,
                   {[](QWidget* w) {
                        auto* chooser = qobject_cast<ChooseLapForReport*>(w);
                        ASSERT_NE(chooser, nullptr);
                        EXPECT_EQ(chooser->radio(1)->text(), "\"monza_driven\" - Jim Clark");
                        chooser->radio(1)->click();
                        chooser->accept();
                    },
                    [](QWidget* w) {
                        auto* graph = qobject_cast<RelativeRaceGraph*>(w);
                        ASSERT_NE(graph, nullptr);
                        graph->close_button()->click();
                    }});
    // Cancelling the chooser offers a file instead.
    RunWithDialogs(CMainFrame::kGraphicalRaceReport, {[](QWidget* w) {
                       auto* chooser = qobject_cast<ChooseLapForReport*>(w);
                       ASSERT_NE(chooser, nullptr);
                       chooser->reject();
                   }});
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Do you wish to choose a replay file to be used in the report only?"});
}

}  // namespace
