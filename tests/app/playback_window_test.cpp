// Playback in the main window offscreen: laps played on the map with the
// plot settings bar's read-outs, a whole race with the race playback bar in
// place of the plot settings, the map's keys and right-button menu, and a
// zoom click that lets a running playback go on. The pictures go through
// the screenshot check.

#include <gtest/gtest.h>

#include <QScrollArea>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <optional>
#include <set>

#include "app/command_line.h"
#include "app/playback_controller.h"
#include "app/race_replay_model.h"
#include "document/rpy_graph_doc.h"
#include "replay/race_stream.h"
#include "app/ui/main_frame.h"
#include "app/ui/race_replay.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/sample_document.h"
#include "support/screenshot.h"
#include "track/ui/mfc_display.h"

namespace {

namespace fs = std::filesystem;
using P = PlaybackController;

class PlaybackWindowTest : public testing::Test, protected fixture::SampleDocument {
protected:
    PlaybackWindowTest() {
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->resize(1100, 760);
        // The test ticks the playback itself: the view's real timer still
        // starts and stops as the view says, but never fires, so a slow
        // repaint inside processEvents cannot add a tick.
        held_timer.emplace(View().PlaybackTimer());
        frame->show();
        QApplication::processEvents();
        const std::string p = "--" + replays.at(2).string();
        const CommandLine command =
            ParseCommandLine({"ostrevan", "-loadrpy", "--2", p, "--0", "--0", "--2", p, "--0", "--1", "--2"});
        EXPECT_EQ(AddLapsFromCommandLine(*doc, command), 2);
        View().Playback().SetLapChooser([](const std::vector<std::string>&) { return 0; });
    }
    ~PlaybackWindowTest() override {
        held_timer.reset();
        frame.reset();
        doc.reset();
    }
    CRpyGraphView& View() { return frame->View(); }
    QImage Map() {
        QApplication::processEvents();
        return View().viewport()->grab().toImage();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            View().Playback().OnTimer();
            if (i % 10 == 0) QApplication::processEvents();
        }
        QApplication::processEvents();
    }

    std::unique_ptr<CMainFrame> frame;
    std::optional<QSignalBlocker> held_timer;
};

TEST_F(PlaybackWindowTest, OrientationArrowPointsWhereTheCarHeads) {
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1));
    ASSERT_TRUE(frame->Run(P::kStart));
    Ticks(4);
    ViewDialog& bar = frame->PlotSettings();
    const QLabel* orient = nullptr;
    for (const QLabel* label : bar.findChildren<QLabel*>())
        if (label->text() == "Orient:") orient = label;
    ASSERT_NE(orient, nullptr);
    // The arrow (red, lap 1's colour, its edges smoothed) has its pixels to
    // the left and right of its middle: the wide tail lies opposite the tip.
    auto red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto halves = [&](int picture) {
        bar.orientation_picture[0] = picture;
        const QImage image = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int top = orient->mapTo(&bar, QPoint(0, 0)).y() - 4;
        const int left = orient->mapTo(&bar, QPoint(orient->fontMetrics().horizontalAdvance("Orient:"), 0)).x();
        int min_x = image.width(), max_x = -1;
        std::vector<int> xs;
        for (int y = top; y < top + 34 && y < image.height(); ++y)
            for (int x = left; x < image.width(); ++x)
                if (red(image.pixelColor(x, y))) xs.push_back(x);
        for (int x : xs) min_x = std::min(min_x, x), max_x = std::max(max_x, x);
        const double middle = (min_x + max_x) / 2.0;
        const auto west = std::count_if(xs.begin(), xs.end(), [&](int x) { return x < middle; });
        return std::pair<long, long>{west, static_cast<long>(xs.size()) - west};
    };
    // Picture 4 stands for a car heading east: tip right, tail left.
    const auto [east_tail, east_tip] = halves(4);
    EXPECT_GT(east_tail, east_tip);
    // Picture 12 heads west.
    const auto [west_tip, west_tail] = halves(12);
    EXPECT_GT(west_tail, west_tip);
}

TEST_F(PlaybackWindowTest, PlaysLapsAndThenAWholeRace) {
    // The playback tool bar: eight buttons, one a separator.
    const QList<QAction*> buttons = frame->PlaybackToolBar()->actions();
    ASSERT_EQ(buttons.size(), 8);
    EXPECT_EQ(buttons.at(0), frame->Action(P::kBeginningOfLap));
    EXPECT_TRUE(buttons.at(6)->isSeparator());
    EXPECT_EQ(buttons.at(7), frame->Action(P::kToggleRace));
    ASSERT_TRUE(frame->Run(CMainFrame::kTogglePlaybackBar));
    EXPECT_FALSE(frame->PlaybackToolBar()->isVisible());
    ASSERT_TRUE(frame->Run(CMainFrame::kTogglePlaybackBar));

    // Nothing ticked: nothing to play.
    ASSERT_TRUE(frame->Run(P::kStart));
    ASSERT_EQ(ui.messages, std::vector<std::string>{"Choose lap(s) to play!"});
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1));
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1 + 1));
    ASSERT_TRUE(frame->Run(P::kStart));
    EXPECT_TRUE(frame->Action(P::kStart)->isChecked());
    EXPECT_TRUE(frame->PlotSettings().IsPlaybackMode());
    EXPECT_FALSE(frame->Action(CMainFrame::kToggleLap1)->isEnabled());
    EXPECT_FALSE(frame->Action(CMainFrame::kAddReplayLap)->isEnabled());
    Ticks(300);
    const QImage lap_map = Map();
    const QColor red(255, 0, 0);  // lap 1
    EXPECT_GT(fixture::PixelsOf(lap_map, red), 100);
    fixture::CheckScreenshot(frame->grab().toImage(), "lap_playback");
    ASSERT_TRUE(frame->Run(P::kStop));
    EXPECT_FALSE(frame->PlotSettings().IsPlaybackMode());

    // Race mode: the race playback bar stands where the plot settings were.
    ASSERT_TRUE(frame->Run(P::kToggleRace));
    QApplication::processEvents();
    ASSERT_TRUE(View().race_mode);
    EXPECT_TRUE(frame->RaceDock()->isVisible());
    EXPECT_FALSE(frame->PlotSettings().isVisible());
    RaceReplay& bar = frame->RaceBar();
    EXPECT_EQ(bar.FieldText(1204), "3");
    EXPECT_EQ(bar.Combo()->count(), 3);
    EXPECT_FALSE(bar.Combo()->isEnabled());
    ASSERT_TRUE(frame->Run(P::kStart));
    Ticks(400);
    const QImage race_map = Map();
    // Each car in its team's colour: the engines 5, 1 and 3 of Lotus, BRM
    // and Eagle.
    int cars = 0;
    for (int colour : {2, 6, 1}) cars += fixture::PixelsOf(race_map, MFCDisplay::ToQColor(doc->GetColours()[colour]));
    EXPECT_GT(cars, 20);
    // Two steps a tick: 400 ticks are step 800.
    EXPECT_EQ(View().Playback().position, 800u);
    EXPECT_EQ(bar.Slider()->value(), 800);
    EXPECT_EQ(bar.FieldText(1203), "0:23");
    EXPECT_FALSE(bar.FieldText(1211).isEmpty());
    fixture::CheckScreenshot(frame->grab().toImage(), "race_mode");

    // In a small window the bar scrolls: its last radio button can be
    // brought into view.
    const QSize size = frame->size();
    frame->resize(500, 400);
    QApplication::processEvents();
    auto* area = qobject_cast<QScrollArea*>(frame->RaceDock()->widget());
    ASSERT_NE(area, nullptr);
    QList<QRadioButton*> radios = bar.findChildren<QRadioButton*>();
    ASSERT_FALSE(radios.isEmpty());
    QWidget* lowest = radios.front();
    for (QRadioButton* r : radios)
        if (r->mapTo(&bar, QPoint(0, 0)).y() > lowest->mapTo(&bar, QPoint(0, 0)).y()) lowest = r;
    area->ensureWidgetVisible(lowest, 0, 0);
    EXPECT_TRUE(area->viewport()->rect().contains(QRect(lowest->mapTo(area->viewport(), QPoint(0, 0)), lowest->size())));
    frame->resize(size);
    QApplication::processEvents();

    // View > Plot Settings toggles the bar of the mode.
    ASSERT_TRUE(frame->Run(CMainFrame::kTogglePlotSettings));
    EXPECT_FALSE(frame->RaceDock()->isVisible());
    ASSERT_TRUE(frame->Run(CMainFrame::kTogglePlotSettings));
    EXPECT_TRUE(frame->RaceDock()->isVisible());

    // Focus on the driver behind, by the bar's button, while paused.
    ASSERT_TRUE(frame->Run(P::kPause));
    const int leader = View().Playback().Race().GetFocusDriver();
    bar.Button(1209)->click();
    EXPECT_TRUE(bar.Radio(1200)->isChecked());
    EXPECT_TRUE(bar.Combo()->isEnabled());
    EXPECT_NE(View().Playback().Race().GetFocusDriver(), leader);
    EXPECT_EQ(bar.Combo()->currentIndex(), View().Playback().Race().GetFocusDriver());

    // Back to driving lines.
    ASSERT_TRUE(frame->Run(P::kToggleRace));
    QApplication::processEvents();
    EXPECT_FALSE(View().race_mode);
    EXPECT_FALSE(frame->RaceDock()->isVisible());
    EXPECT_TRUE(frame->PlotSettings().isVisible());
    EXPECT_TRUE(frame->Action(CMainFrame::kAddReplayLap)->isEnabled());
}

TEST_F(PlaybackWindowTest, BarsKeepTheirWidthWhileTheirTextsChange) {
    ViewDialog& plot = frame->PlotSettings();
    const auto width_of = [](const QDockWidget* dock) {
        QApplication::processEvents();
        return dock->width();
    };
    // Every split time shown stands in line with its column's heading.
    const auto splits_in_line = [&plot] {
        std::set<int> headings;
        for (const QLabel* label : plot.findChildren<QLabel*>())
            if (label->text().endsWith('%')) headings.insert(label->mapTo(&plot, QPoint(0, 0)).x());
        int shown = 0;
        const QRegularExpression split("^\\d+:\\d\\d\\.\\d\\d\\ds$");
        for (const QLabel* label : plot.findChildren<QLabel*>())
            if (label->isVisible() && split.match(label->text()).hasMatch()) {
                ++shown;
                EXPECT_EQ(headings.count(label->mapTo(&plot, QPoint(0, 0)).x()), 1u) << label->text().toStdString();
            }
        return shown;
    };
    const QDockWidget* plot_dock = frame->findChild<QDockWidget*>("PlotSettings");
    ASSERT_NE(plot_dock, nullptr);
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1));
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1 + 1));
    const int plot_width = width_of(plot_dock);
    EXPECT_EQ(splits_in_line(), 6);
    ASSERT_TRUE(frame->Run(P::kStart));
    EXPECT_EQ(width_of(plot_dock), plot_width) << "at Play";
    // The laps pass their splits at about 6, 13 and 19 s: 2 samples a tick.
    for (const int split_times_shown : {2, 4, 6}) {
        while (View().playing && splits_in_line() < split_times_shown) Ticks(10);
        EXPECT_EQ(width_of(plot_dock), plot_width) << split_times_shown << " split times shown";
    }
    ASSERT_TRUE(frame->Run(P::kStop));
    EXPECT_EQ(width_of(plot_dock), plot_width) << "at Stop";

    ASSERT_TRUE(frame->Run(P::kToggleRace));
    ASSERT_TRUE(View().race_mode);
    RaceReplay& race = frame->RaceBar();
    const RaceReplayModel& model = View().Playback().Race();
    const int race_width = width_of(frame->RaceDock());
    int chequered = -1;
    for (int step = 0; step <= model.GetLastStep() && chequered < 0; ++step)
        if (model.Stream().StepState(step) == RaceStream::kChequered) chequered = step;
    ASSERT_GE(chequered, 0);
    for (const int step : {model.GetLastStep() / 2, chequered, model.GetLastStep()}) {
        race.Slider()->setValue(step);
        EXPECT_EQ(width_of(frame->RaceDock()), race_width) << race.FieldText(1202).toStdString();
    }
    race.Slider()->setValue(chequered);
    EXPECT_EQ(race.FieldText(1202), "Chequered flag waved");
}

TEST_F(PlaybackWindowTest, KeysScrollTheMapAndTheRightButtonOpensTheMenu) {
    CRpyGraphView& view = View();
    view.ZoomInBy(nullptr, 4.0);
    QApplication::processEvents();
    ASSERT_GT(view.verticalScrollBar()->maximum(), 900);
    view.verticalScrollBar()->setValue(400);
    view.horizontalScrollBar()->setValue(400);
    const struct {
        Qt::Key key;
        int dx, dy;
    } keys[] = {{Qt::Key_Down, 0, 8}, {Qt::Key_Up, 0, -8}, {Qt::Key_PageDown, 0, 390}, {Qt::Key_PageUp, 0, -390},
                {Qt::Key_Left, -8, 0}, {Qt::Key_Right, 8, 0}};
    for (const auto& k : keys) {
        const ZoomModel::Point before = view.Zoom().GetScrollPosition();
        QTest::keyClick(&view, k.key);
        const ZoomModel::Point after = view.Zoom().GetScrollPosition();
        EXPECT_EQ(after.x - before.x, k.dx) << k.key;
        EXPECT_EQ(after.y - before.y, k.dy) << k.key;
    }

    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, QPoint(200, 200));
    QMenu* menu = frame->MapContextMenu();
    ASSERT_TRUE(menu->isVisible());
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items.at(2)->text(), "Show whole track");
    EXPECT_TRUE(items.at(4)->isSeparator());
    EXPECT_TRUE(items.at(5)->isEnabled());   // lap 1
    EXPECT_FALSE(items.at(7)->isEnabled());  // lap 3: no lap in the slot
    items.at(5)->trigger();
    menu->hide();
    EXPECT_TRUE(frame->PlotSettings().IsLapTicked(0));
}

TEST_F(PlaybackWindowTest, AZoomClickLetsARunningPlaybackGoOn) {
    ASSERT_TRUE(frame->Run(CMainFrame::kToggleLap1));
    ASSERT_TRUE(frame->Run(P::kStart));
    Ticks(40);
    const uint32_t position = View().Playback().position;
    const double zoom = View().Zoom().GetZoomFactor();
    ASSERT_TRUE(frame->Run(CMainFrame::kZoomIn));
    ASSERT_TRUE(View().PlaybackTimer()->isActive());
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_FALSE(View().PlaybackTimer()->isActive());
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(View().Zoom().GetZoomFactor(), zoom * 1.25);
    // The rebuilt map restarted the timer where the playback was.
    EXPECT_TRUE(View().playing);
    EXPECT_TRUE(View().PlaybackTimer()->isActive());
    EXPECT_EQ(View().Playback().position, position);
    EXPECT_GT(fixture::PixelsOf(Map(), QColor(255, 0, 0)), 10);
}

}  // namespace
