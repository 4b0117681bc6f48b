// The main window offscreen on the sample simulator folder: laps loaded
// from the command line, their driving lines shown by the plot settings
// bar, zooming, scrolling and printing the map to PDF. The pictures go
// through the screenshot check; the quick start's window is the README's
// picture.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QScrollArea>
#include <QScrollBar>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "document/rpy_graph_doc.h"
#include "app/chooselap.h"
#include "app/ui/about_dlg.h"
#include "app/ui/main_frame.h"
#include "app/ui/view_dialog.h"
#include "controls/hyper_link.h"
#include "app/ui/qt_lap_chooser.h"
#include "app/ui/rpy_graph_app.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/replay_fixture.h"
#include "support/sample_document.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;

class MainWindowTest : public testing::Test, protected fixture::SampleDocument {
protected:
    MainWindowTest() {
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->resize(1100, 760);
        frame->show();
        QApplication::processEvents();
    }
    ~MainWindowTest() override {
        frame.reset();
        doc.reset();
    }
    // -loadrpy with three groups of the driven sample replay, the last one
    // cut short.
    int LoadFromCommandLine() {
        const std::string p = "--" + replays.at(2).string();
        const CommandLine command = ParseCommandLine(
            {"ostrevan", "-loadrpy", "--3", p, "--0", "--0", "--2", p, "--1", "--2", "--3", p, "--0"});
        return AddLapsFromCommandLine(*doc, command);
    }
    QImage Map() {
        QApplication::processEvents();
        return frame->View().viewport()->grab().toImage();
    }

    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainWindowTest, EveryControlOfThePlotSettingsBarCanBeScrolledToInASmallWindow) {
    for (int lap = 0; lap < 5; ++lap) ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, lap % 3, 2));
    frame->resize(500, 400);
    QApplication::processEvents();
    ViewDialog& bar = frame->PlotSettings();
    QScrollArea* area = nullptr;
    for (QWidget* w = bar.parentWidget(); w != nullptr && area == nullptr; w = w->parentWidget())
        area = qobject_cast<QScrollArea*>(w);
    ASSERT_NE(area, nullptr);
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    const QList<QWidget*> controls = bar.findChildren<QWidget*>();
    ASSERT_NE(bar.findChild<CHyperLink*>(), nullptr);
    for (QWidget* control : controls) {
        if (!control->isVisible() || qobject_cast<QGroupBox*>(control) != nullptr) continue;
        area->ensureWidgetVisible(control, 0, 0);
        const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(area->viewport()->rect().contains(shown))
            << control->metaObject()->className() << " " << shown.x() << "," << shown.y() << " " << shown.width() << "x"
            << shown.height() << " in " << area->viewport()->width() << "x" << area->viewport()->height();
    }
}

TEST_F(MainWindowTest, ViewReadmeOpensTheReadmeBesideTheProgramOrSaysWhereItLooked) {
    const fs::path program = config.scratch() / "program";
    fs::create_directories(program);
    settings.InitProgramFolder((program / "ostrevan").string());
    ASSERT_TRUE(frame->Run(CMainFrame::kViewReadme));
    EXPECT_TRUE(ui.opened.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("The readme file Ostrevan.txt was not found in:\n", 0), 0u) << ui.messages[0];
    EXPECT_NE(ui.messages[0].find(program.string()), std::string::npos) << ui.messages[0];

    ui.messages.clear();
    fixture::WriteFile(program / "Ostrevan.txt", "Ostrevan\r\n");
    ASSERT_TRUE(frame->Run(CMainFrame::kViewReadme));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.opened, std::vector<std::string>{(program / "Ostrevan.txt").string()});
}

TEST_F(MainWindowTest, ShowsTheLapsOfTheCommandLineWhenTheirBoxesAreTicked) {
    fixture::CheckScreenshot(frame->grab().toImage(), "main_window_start");
    EXPECT_FALSE(frame->Action(CMainFrame::kZoomIn)->isEnabled());

    ASSERT_EQ(LoadFromCommandLine(), 2);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_EQ(frame->windowTitle(), "Monza - Ostrevan");
    EXPECT_EQ(frame->RecentFiles(), std::vector<std::string>{replays.at(2).string()});
    EXPECT_TRUE(frame->Action(CMainFrame::kZoomIn)->isEnabled());
    EXPECT_FALSE(frame->Action(CMainFrame::kToggleLap1 + 2)->isEnabled());

    const QColor blue(0, 0, 255);  // lap 2
    EXPECT_EQ(fixture::PixelsOf(Map(), blue), 0);
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1 + 1));
    EXPECT_TRUE(frame->PlotSettings().IsLapTicked(1));
    EXPECT_GT(fixture::PixelsOf(Map(), blue), 300);
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1));
    fixture::CheckScreenshot(frame->grab().toImage(), "main_window");
}

// The laps scripts/run-sample.sh starts the program with, read from the
// script itself: its replay and the words after -loadrpy, with the script's
// $replay standing for that replay in the sample folder.
std::vector<std::string> QuickStartCommandLine(const fs::path& sim) {
    std::ifstream script(OSTREVAN_RUN_SAMPLE);
    std::vector<std::string> args{"ostrevan"};
    std::string replay, line;
    while (std::getline(script, line)) {
        const std::string replay_line = "replay=\"$sample/replay/";
        if (const auto at = line.find(replay_line); at != std::string::npos) {
            replay = line.substr(at + replay_line.size());
            replay = (sim / "replay" / replay.substr(0, replay.find('"'))).string();
        }
        std::istringstream words(line);
        std::string word;
        bool after_mode = false;
        while (words >> word) {
            if (word == "-loadrpy") after_mode = true;
            if (!after_mode) continue;
            std::erase(word, '"');
            if (const auto at = word.find("$replay"); at != std::string::npos) word.replace(at, 7, replay);
            args.push_back(word);
        }
    }
    return args;
}

// The quick start's window is the README's picture (main_window_quick_start).
TEST_F(MainWindowTest, TheQuickStartOpensOnItsLapsUnticked) {
    const std::vector<std::string> args = QuickStartCommandLine(sim);
    ASSERT_GT(args.size(), 3u);
    ASSERT_EQ(args[1], "-loadrpy");
    ASSERT_NE(args[3].find(sim.string()), std::string::npos) << args[3];
    const int laps = std::stoi(args[2].substr(2));
    ASSERT_EQ(AddLapsFromCommandLine(*doc, ParseCommandLine(args)), laps);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    for (int slot = 0; slot < laps; ++slot) EXPECT_FALSE(frame->PlotSettings().IsLapTicked(slot)) << slot;
    // The bar widens to its new rows once the layout requests are handled.
    const ViewDialog& bar = frame->PlotSettings();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.width() >= bar.sizeHint().width(); }, 10000));
    fixture::CheckScreenshot(frame->grab().toImage(), "main_window_quick_start");
}

TEST_F(MainWindowTest, TheMainToolBarHoldsItsButtonsInOrderWithTheirPictures) {
    using F = CMainFrame;
    // 0 stands for a separator.
    const std::vector<int> expected = {F::kClearAll,    F::kAddReplayLap,    F::kLapFinder,      F::kSaveReplayLap,
                                       F::kArrangeLaps, F::kMergeAllLaps,    0,                  F::kPrint,
                                       F::kAbout,       0,                   F::kGraph,          F::kExportRecords,
                                       F::kToolsGearChange, F::kQELRankHandicap, F::kTrackOrganizer,
                                       F::kReplayCDDatabaseCreator, F::kPBViewer, F::kToolsTractionCircle,
                                       F::kToolsRatings};
    std::vector<int> shown;
    for (QAction* a : frame->MainToolBar()->actions()) {
        if (a->isSeparator()) {
            shown.push_back(0);
            continue;
        }
        int id = -1;
        for (int candidate : expected)
            if (candidate && frame->Action(candidate) == a) id = candidate;
        shown.push_back(id);
        EXPECT_FALSE(a->icon().isNull()) << id;
        EXPECT_FALSE(a->icon().pixmap(16, 16).toImage().isNull()) << id;
    }
    EXPECT_EQ(shown, expected);
}

TEST_F(MainWindowTest, KeysClearOpenPrintAndMoveFromPaneToPane) {
    using F = CMainFrame;
    const struct {
        int id;
        QKeySequence keys;
    } keys[] = {{F::kClearAll, QKeySequence("Ctrl+N")},
                {F::kOpen, QKeySequence("Ctrl+O")},
                {F::kPrint, QKeySequence("Ctrl+P")},
                {F::kNextPane, QKeySequence(Qt::Key_F6)},
                {F::kPrevPane, QKeySequence(Qt::SHIFT | Qt::Key_F6)}};
    for (const auto& k : keys) EXPECT_EQ(frame->Action(k.id)->shortcut(), k.keys) << k.id;

    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    CRpyGraphView& view = frame->View();
    view.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(view.hasFocus());
    QTest::keyClick(frame.get(), Qt::Key_F6);
    EXPECT_TRUE(frame->PlotSettings().isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_TRUE(view.hasFocus());
    QTest::keyClick(frame.get(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(frame->PlotSettings().isAncestorOf(QApplication::focusWidget()));
}

TEST_F(MainWindowTest, ZoomsScrollsAndPrints) {
    ASSERT_EQ(LoadFromCommandLine(), 2);
    CRpyGraphView& view = frame->View();
    const double fitted = view.Zoom().GetZoomFactor();

    // The zoom tool: a click zooms in by 1.25 about the point clicked.
    ASSERT_TRUE(frame->Run(CMainFrame::kZoomIn));
    EXPECT_TRUE(frame->Action(CMainFrame::kZoomIn)->isChecked());
    // Zoom where the map shows tarmac, so the zoomed map is not all white.
    const QImage fitted_map = Map();
    QPoint centre;
    for (int y = fitted_map.height() / 4; y < fitted_map.height() && centre.isNull(); ++y)
        for (int x = fitted_map.width() / 2; x < fitted_map.width() && centre.isNull(); ++x)
            if (fitted_map.pixelColor(x, y) == QColor(128, 128, 128)) centre = QPoint(x, y);
    ASSERT_FALSE(centre.isNull());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomFactor(), fitted * 1.25);
    // A dragged box fills the window.
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre - QPoint(40, 40));
    QTest::mouseMove(view.viewport(), centre + QPoint(40, 40));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre + QPoint(40, 40));
    EXPECT_GT(view.Zoom().GetZoomFactor(), fitted * 5);
    QApplication::processEvents();
    ASSERT_GT(view.horizontalScrollBar()->maximum(), 0);

    // Scrolling moves the map under the window (across the straight: along
    // it the picture would not change).
    const QImage before = Map();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + 120);
    EXPECT_NE(Map(), before);
    EXPECT_EQ(view.Zoom().GetScrollPosition().y, view.verticalScrollBar()->value());

    ASSERT_TRUE(frame->Run(CMainFrame::kFitToTrack));
    EXPECT_DOUBLE_EQ(view.Zoom().GetZoomFactor(), fitted);

    // Printing goes to PDF through the seam and leaves the screen's map as
    // it was.
    const QImage screen = Map();
    ui.pdf_path = (config.scratch() / "map.pdf").string();
    ASSERT_TRUE(frame->Run(CMainFrame::kPrint));
    QFile pdf(QString::fromStdString(ui.pdf_path));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 2000);
    EXPECT_EQ(Map(), screen);
}

TEST_F(MainWindowTest, ExportsTheMapAsASixteenColourBitmap) {
    ASSERT_TRUE(frame->Run(CMainFrame::kSaveTrackMapBitmap));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No track loaded!"});

    ASSERT_EQ(LoadFromCommandLine(), 2);
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1 + 1));
    const QImage screen = Map();
    const fs::path chosen = config.scratch() / "Monza";
    ui.paths = {chosen.string()};
    ui.messages.clear();
    ASSERT_TRUE(frame->Run(CMainFrame::kSaveTrackMapBitmap));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.proposed_names.back(), (sim / "replay" / "Monza.bmp").string());

    QImage bmp((chosen.string() + ".bmp").c_str());
    ASSERT_FALSE(bmp.isNull());
    EXPECT_EQ(bmp.size(), QSize(768, 768));
    EXPECT_EQ(bmp.colorCount(), 16);
    EXPECT_EQ(bmp.color(0), qRgb(255, 255, 255));
    EXPECT_GT(fixture::PixelsOf(bmp, QColor(0, 0, 255)), 300);  // lap 2's line
    EXPECT_EQ(fixture::PixelsOf(bmp, QColor(255, 0, 0)), 0);    // no start/finish or split lines
    // Margins of 5: the edge rows and columns stay white.
    for (int i = 0; i < 768; ++i) {
        ASSERT_EQ(bmp.pixel(i, 0), qRgb(255, 255, 255));
        ASSERT_EQ(bmp.pixel(0, i), qRgb(255, 255, 255));
    }
    EXPECT_EQ(Map(), screen);
}

// Picks a lap in the lap-choice dialog as soon as it is open, as a user
// would: select the lap's entry and press OK.
void PickInTheDialog(int driver, int session, int lap) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<Chooselap*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTreeWidgetItem* item = dialog->FindLap(driver, session, lap);
        ASSERT_NE(item, nullptr);
        item->treeWidget()->setCurrentItem(item);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
}

TEST_F(MainWindowTest, AddsThePracticeAndRaceLapsPickedInTheLapChoiceDialog) {
    QtLapChooser chooser(ui, frame.get());
    doc->SetLapChooser(&chooser);
    const std::string replay = replays.at(2).string();
    PickInTheDialog(1, 0, 2);
    ASSERT_TRUE(doc->OnOpenDocument(replay));
    PickInTheDialog(2, 1, 3);
    ui.paths = {replay};
    ASSERT_TRUE(frame->Run(CMainFrame::kAddReplayLap));
    ASSERT_EQ(doc->GetLoadedCount(), 2);
    EXPECT_EQ((LapChoice{doc->GetSlot(0).driver, doc->GetSlot(0).session, doc->GetSlot(0).lap}), (LapChoice{1, 0, 2}));
    EXPECT_EQ((LapChoice{doc->GetSlot(1).driver, doc->GetSlot(1).session, doc->GetSlot(1).lap}), (LapChoice{2, 1, 3}));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
}

// The program started as the file manager starts it, with one replay: a
// watcher answers every window that comes up, as a user would.
class StartWithReplayTest : public testing::Test, protected fixture::SampleDocument {
protected:
    StartWithReplayTest() {
        settings.SetDontShowQualReport(1);
        watcher.setInterval(5);
        QObject::connect(&watcher, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                boxes.push_back(box->text().toStdString());
                box->accept();
            } else if (auto* dialog = qobject_cast<Chooselap*>(w)) {
                ++choices;
                QTreeWidgetItem* item = dialog->FindLap(1, 0, 2);
                if (!item) return dialog->reject();
                item->treeWidget()->setCurrentItem(item);
                QTest::keyClick(dialog, Qt::Key_Return);
            }
        });
        watcher.start();
    }
    std::unique_ptr<CRpyGraphApp> Start(const std::string& path) {
        command = ParseCommandLine({"ostrevan", path});
        auto app = std::make_unique<CRpyGraphApp>(settings, command);
        app->InitInstance();
        QApplication::processEvents();
        return app;
    }
    CommandLine command;
    QTimer watcher;
    std::vector<std::string> boxes;
    int choices = 0;
};

TEST_F(StartWithReplayTest, OpensTheReplayThroughTheLapChoice) {
    const auto app = Start(DrivenReplay());
    EXPECT_EQ(choices, 1);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    ASSERT_EQ(app->Doc().GetLoadedCount(), 1);
    const LapSlot& lap = app->Doc().GetSlot(0);
    EXPECT_EQ((LapChoice{lap.driver, lap.session, lap.lap}), (LapChoice{1, 0, 2}));
    EXPECT_TRUE(app->Frame().isVisible());
    EXPECT_EQ(app->Frame().windowTitle(), "Monza - Ostrevan");
}

TEST_F(StartWithReplayTest, AnUnreadablePathSaysSoAndLeavesTheWindowEmpty) {
    for (const fs::path& path : {sim / "replay" / "missing.rpy", sim / "replay"}) {
        boxes.clear();
        const auto app = Start(path.string());
        EXPECT_EQ(boxes, (std::vector<std::string>{"HeaderClass: Error reading file!", path.string()}));
        EXPECT_EQ(choices, 0);
        EXPECT_EQ(app->Doc().GetLoadedCount(), 0);
        EXPECT_TRUE(app->Frame().isVisible());
        EXPECT_EQ(app->Frame().windowTitle(), "No lap selected - Ostrevan");
    }
}

}  // namespace

namespace {

TEST(AboutBox, FlagsWaveInTurnAndAClickCloses) {
    fixture::RecordingInteraction ui;
    CAboutDlg about(ui);
    // The test steps the flags itself; the dialog's timer never fires.
    const QSignalBlocker held(about.StepTimer());
    // The first step shows the top left and the bottom right flag only.
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(about.IsShown(column, row), row == (column == 0 ? 0 : 2)) << column << row;
    const int left[] = {0, 1, 2, 1, 0};
    for (int step = 0; step < 5; ++step) EXPECT_EQ(CAboutDlg::PicturesOf(static_cast<uint8_t>(step)).left, left[step]);
    while (about.Counter() != 0) about.Step();  // 254 wraps to 0
    about.show();
    fixture::CheckScreenshot(about.grab().toImage(), "about_box");
    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
