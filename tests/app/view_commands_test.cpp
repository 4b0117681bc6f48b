// The main window's commands into the report window, the settings dialog
// and the loaded-laps arranger, driven from the menus offscreen on the
// sample simulator folder: the window each opens, what it shows and what
// the document and the stored settings hold afterwards.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/loaded_laps_arranger.h"
#include "app/options.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
#include "replay/get_rpy_info.h"
#include "reports/ui/report.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/sample_simulator.h"
#include "support/screenshot.h"
#include "support/wine_fixture.h"
#include "track/track.h"
#include "track/track_path_tracer.h"
#include "ui_options.h"

namespace {

namespace fs = std::filesystem;

// Runs `act` on the next modal window once it is up, then closes it unless
// `act` did. Deleting the returned watcher stops waiting.
QPointer<QTimer> OnNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        timer->stop();
        timer->deleteLater();
        act(w);
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
    });
    timer->start();
    return timer;
}

class ViewCommandsTest : public testing::Test {
protected:
    ViewCommandsTest() {
        sim = config.scratch() / "QEL";
        replays = fixture::WriteSampleSimulator(sim);
        settings.SetQELDirectory(sim.string());
        settings.SetDontShowQualReport(1);
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->SetOneLapChooser([this](const std::vector<std::string>& c) {
            captions = c;
            return chosen;
        });
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
    }
    ~ViewCommandsTest() override {
        frame.reset();
        doc.reset();
    }
    // Practice lap 2 of Jim Clark, Graham Hill and Dan Gurney, in that order.
    void LoadThree() {
        for (int driver = 0; driver < 3; ++driver)
            ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, driver, 2)) << driver;
        ui.messages.clear();
    }
    // Runs a command whose report window opens; its text, "" when none opened.
    std::string ReportOf(int id) {
        std::string text = "(no report window)";
        QPointer<QTimer> watcher = OnNextModal([&](QWidget* w) {
            if (auto* r = qobject_cast<Report*>(w)) text = r->windowTitle().toStdString() + "|" + r->ReportText();
        });
        EXPECT_TRUE(frame->Run(id));
        delete watcher.data();  // when nothing opened
        return text;
    }

    fixture::ScopedConfigDir config;
    fs::path sim;
    std::vector<fs::path> replays;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::string> captions;
    int chosen = 1;
};

TEST_F(ViewCommandsTest, ReportsRunOnTheChosenLapOrOnAReplayChosenForThemAlone) {
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Reports", "&Tools", "&Playback", "&Help"}));

    // No lap: the refusal, then the offer of a file, here a broken one.
    const fs::path junk = sim / "replay" / "junk.rpy";
    std::ofstream(junk) << "not a replay";
    ui.answers = {true};
    ui.paths = {junk.string()};
    EXPECT_EQ(ReportOf(CMainFrame::kReportsRace), "(no report window)");
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"No replay lap loaded!", "HeaderClass: Error reading file!",
                                                     junk.string()}));
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"Do you wish to choose a replay file to be used in the report only?"});

    // A replay of its own: the report reads it, the document stays empty.
    ui.messages.clear();
    ui.answers = {true};
    ui.paths = {replays.at(0).string()};
    const std::string gp = ReportOf(CMainFrame::kReportsPractice);
    EXPECT_NE(gp.find("PRACTICE TIMES"), std::string::npos) << gp;
    EXPECT_EQ(doc->GetLoadedCount(), 0);

    // Loaded laps: the chooser lists them; its choice is the report's lap.
    LoadThree();
    const std::string practice = ReportOf(CMainFrame::kReportsPractice);
    const std::string caption = "\"monza_driven\" - Jim Clark";
    EXPECT_EQ(captions, (std::vector<std::string>{caption, caption, caption}));
    EXPECT_NE(practice.find("Graham"), std::string::npos);
    EXPECT_TRUE(ui.messages.empty());

    // Reports over all loaded laps list each; the detailed race needs a lap.
    EXPECT_NE(ReportOf(CMainFrame::kToolsSpeedReport).find("Gurney"), std::string::npos);
    chosen = -1;
    EXPECT_EQ(ReportOf(CMainFrame::kReportsDetailedRace), "(no report window)");
    EXPECT_EQ(ui.messages.back(), "This report cannot be run unless you have loaded a lap.");

    // While a playback runs the reports are off; the arranger also in race mode.
    frame->View().playing = true;
    frame->RefreshCommands();
    EXPECT_FALSE(frame->Action(CMainFrame::kReportsPractice)->isEnabled());
    EXPECT_FALSE(frame->Action(CMainFrame::kToolsSpeedReport)->isEnabled());
    EXPECT_TRUE(frame->Action(CMainFrame::kSettings)->isEnabled());
    frame->View().playing = false;
    frame->View().race_mode = true;
    frame->RefreshCommands();
    EXPECT_TRUE(frame->Action(CMainFrame::kReportsPractice)->isEnabled());
    EXPECT_FALSE(frame->Action(CMainFrame::kArrangeLaps)->isEnabled());
}

TEST_F(ViewCommandsTest, CommandsWaitForAPlaybackByTheirRule) {
    using F = CMainFrame;
    LoadThree();
    // Reports, tools, graphs, printing, clearing and opening: not while
    // playing, paused or running fast.
    const std::vector<int> idle = {F::kReportsPractice, F::kGraphicalRaceReport, F::kGenerateReportSite,
                                   F::kReportSiteListener, F::kGraph, F::kExportRecords, F::kPBViewer,
                                   F::kToolsSpeedTrack, F::kToolsGearChange, F::kClearAll, F::kOpen,
                                   F::kPrint, F::kPrintPreview, F::kPrintSetup};
    // The commands on the laps: in race mode too.
    const std::vector<int> laps = {F::kAddReplayLap, F::kLapFinder, F::kSaveReplayLap, F::kMergeAllLaps,
                                   F::kOpenNewest, F::kArrangeLaps};
    PlaybackController& p = frame->View().Playback();
    const struct {
        const char* state;
        bool playing, paused, fast_forward, fast_reverse, race;
        bool idle_on, laps_on, detailed_on;
    } rows[] = {
        {"still", false, false, false, false, false, true, true, true},
        {"playing", true, false, false, false, false, false, false, false},
        {"paused", false, true, false, false, false, false, false, false},
        {"fast forward", true, false, true, false, false, false, false, false},
        {"race, still", false, false, false, false, true, true, false, true},
        {"race, fast reverse", true, false, false, true, true, false, false, false},
    };
    for (const auto& row : rows) {
        p.playing = row.playing;
        p.paused = row.paused;
        p.fast_forward = row.fast_forward;
        p.fast_reverse = row.fast_reverse;
        p.race_mode = row.race;
        frame->RefreshCommands();
        for (int id : idle) EXPECT_EQ(frame->Action(id)->isEnabled(), row.idle_on) << row.state << " " << id;
        for (int id : laps) EXPECT_EQ(frame->Action(id)->isEnabled(), row.laps_on) << row.state << " " << id;
        EXPECT_EQ(frame->Action(F::kReportsDetailedRace)->isEnabled(), row.detailed_on) << row.state;
        EXPECT_TRUE(frame->Action(F::kGraphTool)->isEnabled()) << row.state;
    }
    p.playing = p.paused = p.fast_forward = p.fast_reverse = p.race_mode = false;
}

TEST_F(ViewCommandsTest, EveryReportCommandOpensItsKindOnTheOneLoadedLap) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 1, 0, 2));
    const std::pair<int, int> commands[] = {
        {CMainFrame::kReportsPractice, 1},       {CMainFrame::kReportsRace, 2},
        {CMainFrame::kReportsLapChart, 3},       {CMainFrame::kReportsLapByLap, 4},
        {CMainFrame::kReportsComplete, 5},       {CMainFrame::kReportsMechanical, 6},
        {CMainFrame::kToolsEngineDetection, 7},  {CMainFrame::kReportsDetailedRace, 8},
        {CMainFrame::kToolsLaptimeVerifier, 9},  {CMainFrame::kToolsSectorTimes, 10},
        {CMainFrame::kToolsSpeedReport, 11},     {CMainFrame::kToolsSeasonEngineInfo, 12},
    };
    for (const auto& [id, kind] : commands) {
        int opened = 0;
        std::string text;
        OnNextModal([&](QWidget* w) {
            auto* r = qobject_cast<Report*>(w);
            ASSERT_TRUE(r);
            r->OnEditSetFocus();  // kinds written on the text's first focus
            opened = r->m_nCurrentKind;
            text = r->ReportText();
        });
        frame->Action(id)->trigger();
        EXPECT_EQ(opened, kind) << id;
        EXPECT_GT(text.size(), 40u) << id;
    }
    EXPECT_TRUE(captions.empty());  // one lap: no chooser
    EXPECT_EQ(doc->GetLoadedCount(), 1);
}

TEST_F(ViewCommandsTest, TheReportWindowExportsAllReportsOfItsReplay) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(0).string(), 1, 0, 1));
    Report report(ui);
    const std::string prefix = (config.scratch() / "out_").string();
    EXPECT_FALSE(report.ExportAllReports(prefix, true).ok());  // no replay handed over
    report.m_pDrivers = doc->GetSlot(0).drivers.get();
    report.m_pHeader = doc->GetSlot(0).header.get();
    const auto result = report.ExportAllReports(prefix, true);
    EXPECT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.written.size(), 6u);
    EXPECT_EQ(result.written.back(), prefix + "monza_gp_Mechanical.txt");
    EXPECT_TRUE(fs::exists(result.written.back()));
}

TEST_F(ViewCommandsTest, LoadedLapsReportsRefuseAnEmptyDocument) {
    EXPECT_EQ(ReportOf(CMainFrame::kToolsLaptimeVerifier), "(no report window)");
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No replay lap loaded!"});
    EXPECT_TRUE(ui.questions.empty());
}

TEST_F(ViewCommandsTest, ArrangerMovesAndRemovesLapsAndTheViewsFollow) {
    LoadThree();
    ViewDialog& bar = frame->PlotSettings();
    bar.ToggleLap(1);  // Clark's line shown
    const GetRpyInfo* gurney = doc->GetSlot(2).telemetry.get();
    const std::string gurney_row = bar.RowText(2);

    // Gurney to the top: he takes slot 0 and its colour; ticks stay put.
    OnNextModal([&](QWidget* w) {
        auto* d = qobject_cast<LoadedLapsArranger*>(w);
        ASSERT_TRUE(d);
        QTreeWidget* list = d->list();
        ASSERT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(list->topLevelItem(2)->text(0), "Dan Gurney");
        EXPECT_EQ(list->topLevelItem(2)->text(4), "Practice");
        EXPECT_EQ(list->topLevelItem(2)->text(5).toStdString(), replays.at(2).string());
        d->OnMoveUp();  // nothing chosen
        EXPECT_EQ(ui.titles.back(), "No lap choosen!");
        list->setCurrentItem(list->topLevelItem(2));
        d->OnMoveUp();
        d->OnMoveUp();
        d->OnMoveUp();  // already first: nothing, no message
        EXPECT_EQ(d->Order(), (std::vector<int>{2, 0, 1}));
        fixture::CheckScreenshot(d->grab().toImage(), "LoadedLapsArranger");
        d->accept();
    });
    ASSERT_TRUE(frame->Run(CMainFrame::kArrangeLaps));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Choose a lap to move!"});
    EXPECT_EQ(doc->GetSlot(0).telemetry.get(), gurney);
    EXPECT_EQ(bar.RowText(0), gurney_row);
    EXPECT_TRUE(bar.IsLapTicked(0));
    EXPECT_EQ(doc->GetSlot(0).tracer->GetColourIndex(), 0);

    // Cancel after edits changes nothing.
    OnNextModal([&](QWidget* w) {
        auto* d = qobject_cast<LoadedLapsArranger*>(w);
        d->list()->setCurrentItem(d->list()->topLevelItem(0));
        d->OnRemove();
        d->reject();
    });
    ASSERT_TRUE(frame->Run(CMainFrame::kArrangeLaps));
    EXPECT_EQ(doc->GetLoadedCount(), 3);

    // Removing a lap unticks every box and frees the last slot; the track stays.
    OnNextModal([&](QWidget* w) {
        auto* d = qobject_cast<LoadedLapsArranger*>(w);
        d->list()->setCurrentItem(d->list()->topLevelItem(1));
        d->OnRemove();
        d->OnRemove();  // nothing chosen after a removal
        d->accept();
    });
    ASSERT_TRUE(frame->Run(CMainFrame::kArrangeLaps));
    EXPECT_EQ(doc->GetLoadedCount(), 2);
    EXPECT_FALSE(doc->GetSlot(2).used);
    EXPECT_FALSE(doc->GetSlot(2).telemetry);
    EXPECT_FALSE(bar.IsLapTicked(0));
    EXPECT_TRUE(doc->IsTrackLoaded());
    EXPECT_EQ(ui.messages.back(), "Choose a lap to remove!");

    // Removing every lap clears the document.
    OnNextModal([&](QWidget* w) {
        auto* d = qobject_cast<LoadedLapsArranger*>(w);
        for (int i = 0; i < 2; ++i) {
            d->list()->setCurrentItem(d->list()->topLevelItem(0));
            d->OnRemove();
        }
        d->accept();
    });
    ASSERT_TRUE(frame->Run(CMainFrame::kArrangeLaps));
    EXPECT_EQ(doc->GetLoadedCount(), 0);
    EXPECT_FALSE(doc->IsTrackLoaded());
    EXPECT_EQ(doc->GetTitle(), CRpyGraphDoc::kNoLapTitle);
}

TEST_F(ViewCommandsTest, ArrangeLapsRefusesOrdersThatNameNoLapOrOneTwice) {
    LoadThree();
    const std::vector<std::vector<int>> refused = {{0, 0}, {0, 3}, {-1}, {0, 1, 2, 4}};
    for (const auto& order : refused) EXPECT_FALSE(doc->ArrangeLaps(order));
    EXPECT_EQ(doc->GetLoadedCount(), 3);
    EXPECT_TRUE(doc->ArrangeLaps({1}));
    EXPECT_EQ(doc->GetLoadedCount(), 1);
    EXPECT_EQ(doc->GetSlot(0).driver, 1);
}

class OptionsTest : public ViewCommandsTest {
protected:
    // The values a new program start reads from the store.
    std::unique_ptr<Settings> Stored() {
        auto s = std::make_unique<Settings>();
        s->Load();
        return s;
    }
    bool StoreWritten() { return fs::exists(config.folder()) && !fs::is_empty(config.folder()); }
};

TEST_F(OptionsTest, OkAsksForTheSimulatorUntilItIsFoundAndCancelWritesNothing) {
    // An empty folder opens the chooser; cancelling it returns to the dialog.
    settings.SetQELDirectory("");
    Options dialog(*doc, ui);
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(ui.messages.empty());
    // A folder without qel.exe: the message, the chooser, back to the dialog.
    const std::string nowhere = (config.scratch() / "nowhere").string();
    dialog.ui().qelPath->setText(QString::fromStdString(nowhere));
    dialog.accept();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Unable to find the file qel.exe in the specified directory.\n"
                                                    "Please choose a valid Varnholm directory."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(StoreWritten());
    // Cancel after edits writes nothing either.
    dialog.ui().mph->setChecked(true);
    dialog.reject();
    EXPECT_FALSE(StoreWritten());
    EXPECT_EQ(settings.GetUseMPH(), 0);
}

TEST_F(OptionsTest, OkStoresEveryValueForTheNextStart) {
    const std::string long_folder = "/replays/" + std::string(300, 'r');
    ui.paths = {long_folder + "/", (sim / "QEL.EXE").string()};
    OnNextModal([&](QWidget* w) {
        auto* d = qobject_cast<Options*>(w);
        ASSERT_TRUE(d);
        Ui::Options& c = d->ui();
        EXPECT_TRUE(c.kph->isChecked());
        EXPECT_FALSE(c.qualityReport->isChecked());  // DontShowQualReport is 1
        EXPECT_EQ(c.bmpSize->text(), "768");
        fixture::CheckScreenshot(d->grab().toImage(), "Options");
        c.qelPath->clear();
        c.mph->click();
        c.qualityReport->click();
        c.retireReason->click();
        c.offTrack->click();
        c.warbleyeMsg->click();
        c.bmpSize->setText("99999");
        c.altBrowse->click();  // the folder chooser answers with the long folder
        c.exportPath->setText("/srv/site");
        d->accept();  // the empty simulator folder asks for qel.exe first
    });
    ASSERT_TRUE(frame->Run(CMainFrame::kSettings));
    const auto stored = Stored();
    const Settings& s = *stored;
    EXPECT_EQ(s.GetQELDirectory(), sim.string());
    EXPECT_EQ(s.GetAltRpyPath(), long_folder);
    EXPECT_EQ(s.GetRecordsPath(), "/srv/site");
    EXPECT_EQ(s.GetUseMPH(), 1);
    EXPECT_EQ(s.GetDontShowQualReport(), 0);
    EXPECT_EQ(s.GetRetireInRaceReport(), 1);
    EXPECT_EQ(s.GetOffTheTrackInRaceReport(), 1);
    EXPECT_EQ(s.GetWarbleyeMsg(), 1);
    EXPECT_EQ(s.GetBMPSizeInPixel(), Options::kMaxBitmapSize);
    EXPECT_EQ(doc->GetUseMPH(), 1);
    EXPECT_EQ(doc->GetBMPSizeInPixel(), Options::kMaxBitmapSize);
    EXPECT_EQ(doc->GetQELDirectory(), sim.string());
}

TEST_F(OptionsTest, TakesAWindowsSimulatorFolderAsTypedAndFindsItsReplays) {
    fixture::WriteWinePrefix(config.wine_prefix(), fixture::WineSystemReg({}), {{"c:", "../drive_c"}});
    const fs::path games = config.wine_prefix() / "drive_c" / "Games" / "QEL";
    fixture::WriteSampleSimulator(games);
    Options dialog(*doc, ui);
    dialog.ui().qelPath->setText("C:\\games\\qel\\");
    dialog.accept();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Stored()->GetQELDirectory(), "C:\\games\\qel\\");
    ASSERT_TRUE(doc->GetReplayFolder());
    EXPECT_EQ(fs::canonical(*doc->GetReplayFolder()), fs::canonical(games / "replay"));
}

TEST(OptionsBitmapSize, ReadsTheLeadingNumberWithinSixteenTo8192) {
    const std::pair<const char*, int> cases[] = {{"0", 768},      {"", 768},     {"abc", 768}, {"1024", 1024},
                                                 {" 300px", 300}, {"5", 16},     {"-40", 16},  {"8193", 8192},
                                                 {"99999999999999999999", 8192}, {"16", 16}};
    for (const auto& [text, size] : cases) EXPECT_EQ(Options::ParseBitmapSize(text), size) << text;
    EXPECT_EQ(Options::ProgramFolder("/games/qel/QEL.EXE"), "/games/qel");
    EXPECT_EQ(Options::ProgramFolder("/qel.exe"), "/");
}

}  // namespace
