// The analysis windows offscreen, opened from their Tools commands with two
// laps of the sample driven replay loaded: what each shows, and a
// screenshot of each.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include <QAction>
#include "replay/drivers.h"
#include "support/sample_document.h"
#include "support/screenshot.h"
#include "tools/ui/gear_change_analyse.h"
#include "tools/ui/ratings.h"
#include "tools/ui/speed_track.h"
#include "tools/ui/traction_circle.h"
#include "tools/ui/traction_circle_help.h"
#include "controls/auto_rich_edit_ctrl.h"
#include "controls/selection_slider_ctrl.h"
#include "track/track.h"
#include <QCheckBox>
#include <QPlainTextEdit>
#include "replay/get_rpy_info.h"
#include "track/spd_trk_visitor.h"

namespace {

// Runs `act` on the next modal window once it is up, then closes it.
void OnNextModal(std::function<void(QWidget*)> act) {
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
}

class ToolsWindowTest : public testing::Test, protected fixture::SampleDocument {
protected:
    ToolsWindowTest() {
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->show();
        QApplication::processEvents();
    }
    // Practice lap 2 of the first car and race lap 3 of the third.
    void LoadTwoLaps() {
        ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 0, 0, 2));
        ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 2, 3));
        ui.messages.clear();
    }
    // The sample's cars shift through neutral; a lap whose neutral samples
    // keep the gear before them steps straight from gear to gear.
    void StepWithoutNeutral(int slot) {
        std::vector<int16_t>& gear = doc->GetSlot(slot).telemetry->gear;
        for (size_t i = 2; i < gear.size(); ++i)
            if (gear[i] == 0) gear[i] = gear[i - 1];
    }
    // Runs the command and hands its window to `act`; false when none opened.
    template <typename Window>
    bool OpenFromCommand(int id, std::function<void(Window&)> act) {
        bool opened = false;
        OnNextModal([&](QWidget* w) {
            auto* window = dynamic_cast<Window*>(w);
            if (window == nullptr) return;
            opened = true;
            act(*window);
        });
        EXPECT_TRUE(frame->Run(id));
        return opened;
    }
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ToolsWindowTest, GearChangeAnalyserListsTheChosenLapsChanges) {
    LoadTwoLaps();
    StepWithoutNeutral(1);
    EXPECT_TRUE(OpenFromCommand<GearChangeAnalyse>(CMainFrame::kToolsGearChange, [](GearChangeAnalyse& g) {
        ASSERT_EQ(g.LapCombo()->count(), 2);
        EXPECT_EQ(g.LapCombo()->currentIndex(), -1);
        EXPECT_EQ(g.List()->topLevelItemCount(), 0);
        EXPECT_EQ(g.List()->headerItem()->text(1), "Meter ");
        g.LapCombo()->setCurrentIndex(0);
        ASSERT_GT(g.List()->topLevelItemCount(), 0);
        EXPECT_TRUE(g.List()->topLevelItem(0)->text(0).startsWith("1: "));
        EXPECT_TRUE(g.StatText(3)->text().startsWith("Out of "));
        EXPECT_TRUE(g.LapCombo()->itemText(0).contains("m "));
        fixture::CheckScreenshot(g.grab().toImage(), "GearChangeAnalyse");
        // The second lap steps from gear to gear without neutral: no change,
        // and nothing of the first lap is left standing.
        g.LapCombo()->setCurrentIndex(1);
        EXPECT_EQ(g.List()->topLevelItemCount(), 0);
        EXPECT_EQ(g.StatText(0)->text(), "0");
        EXPECT_EQ(g.StatText(1)->text(), "0.000s (-)");
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column) EXPECT_TRUE(g.AverageText(row, column)->text().isEmpty());
    }));
}

TEST_F(ToolsWindowTest, SpeedTrackColoursTheTrackOnceBothLapsAreChosen) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 0, 0, 2));
    ui.messages.clear();
    frame->Run(CMainFrame::kToolsSpeedTrack);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "At least two laps must be loaded to use this feature.");
    ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 1, 2, 3));
    EXPECT_TRUE(OpenFromCommand<SpeedTrack>(CMainFrame::kToolsSpeedTrack, [](SpeedTrack& s) {
        ASSERT_EQ(s.LapList(1)->count(), 2);
        ASSERT_EQ(s.LapList(2)->count(), 2);
        s.OnChooseLap(1, 0);
        EXPECT_EQ(s.LapList(2)->count(), 1);
        EXPECT_EQ(s.State().Visitor(), nullptr);
        s.OnChooseLap(2, 0);
        ASSERT_NE(s.State().Visitor(), nullptr);
        EXPECT_EQ(s.State().Differences().size(), 1000u);
        EXPECT_FALSE(s.State().Visitor()->GetPieces().empty());
        s.ManualButton()->setChecked(true);
        s.RangeEdit()->setText("50");
        s.OnManual();
        const char* legend[] = {"<-50.0", "-25.0", "0", "25.0", ">50.0"};
        for (int k = 0; k < 5; ++k) EXPECT_EQ(s.LegendText(k)->text(), legend[k]);
        EXPECT_EQ(s.UnitText()->text(), "Kph:");
        fixture::CheckScreenshot(s.grab().toImage(), "SpeedTrack");
    }));
}

TEST_F(ToolsWindowTest, ToolsWaitWhileALapPlaysAndStandOnTheMainToolBar) {
    LoadTwoLaps();
    frame->RefreshCommands();
    const int tools[] = {CMainFrame::kToolsGearChange, CMainFrame::kToolsTractionCircle, CMainFrame::kToolsRatings,
                         CMainFrame::kToolsSpeedTrack};
    for (int id : tools) EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    frame->View().playing = true;
    frame->RefreshCommands();
    for (int id : tools) EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    frame->View().playing = false;
    for (int id : {CMainFrame::kToolsGearChange, CMainFrame::kToolsTractionCircle, CMainFrame::kToolsRatings})
        EXPECT_FALSE(frame->Action(id)->associatedObjects().isEmpty());
}

TEST_F(ToolsWindowTest, RatingsRateEveryLoadedLapAndCopyTheTable) {
    frame->Run(CMainFrame::kToolsRatings);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "No replay lap loaded!");
    LoadTwoLaps();
    EXPECT_TRUE(OpenFromCommand<Ratings>(CMainFrame::kToolsRatings, [this](Ratings& r) {
        for (int row = 0; row < 2; ++row) {
            EXPECT_TRUE(r.Cell(row, 0)->text().endsWith(")")) << row;
            for (int c = 1; c <= 4; ++c) EXPECT_FALSE(r.Cell(row, c)->text().isEmpty()) << row << c;
        }
        EXPECT_TRUE(r.Cell(2, 0)->text().isEmpty());
        fixture::CheckScreenshot(r.grab().toImage(), "Ratings");
        r.OnCopyTable();
        EXPECT_EQ(std::count(ui.clipboard.begin(), ui.clipboard.end(), '\n'), 6);
        EXPECT_TRUE(ui.clipboard.ends_with("\t\t\t\t\r\n"));
        EXPECT_TRUE(r.Information()->isHidden());
        r.OnToggle();
        EXPECT_FALSE(r.Information()->isHidden());
        EXPECT_TRUE(r.Information()->toPlainText().startsWith("Information about Ratings"));
    }));
}

TEST_F(ToolsWindowTest, TractionCircleMapCoversTheWindowOnlyWhereTheTrackIsDrawn) {
    LoadTwoLaps();
    EXPECT_TRUE(OpenFromCommand<TractionCircle>(CMainFrame::kToolsTractionCircle, [](TractionCircle& t) {
        auto* map = t.findChild<QLabel*>("map");
        ASSERT_NE(map, nullptr);
        const QImage picture = t.RenderMap(map->width(), map->height());
        const QImage with = t.grab().toImage().convertToFormat(QImage::Format_RGB32);
        map->hide();
        const QImage without = t.grab().toImage().convertToFormat(QImage::Format_RGB32);
        map->show();
        const QPoint at = map->mapTo(&t, QPoint(0, 0));
        int track = 0, around = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                const QPoint w = at + QPoint(x, y);
                if (qAlpha(p) == 0) {
                    ++around;
                    EXPECT_EQ(with.pixel(w), without.pixel(w)) << x << "," << y;
                } else {
                    ++track;
                    EXPECT_EQ(qAlpha(p), 255) << x << "," << y;
                    EXPECT_EQ(with.pixel(w), p) << x << "," << y;
                }
            }
        }
        EXPECT_GT(track, 50);
        EXPECT_GT(around, track);
    }));
}

TEST_F(ToolsWindowTest, TractionCirclePlotsTheTickedLapsOverTheChosenRange) {
    LoadTwoLaps();
    EXPECT_TRUE(OpenFromCommand<TractionCircle>(CMainFrame::kToolsTractionCircle, [this](TractionCircle& t) {
        // Two laps: the boxes of laps 3 to 5 are hidden and disabled.
        EXPECT_FALSE(t.LapBox(1)->isHidden());
        for (int k = 2; k < 5; ++k) EXPECT_TRUE(t.LapBox(k)->isHidden() && !t.LapBox(k)->isEnabled()) << k;
        const int length = static_cast<int>(doc->GetTrack()->GetLength());
        EXPECT_EQ(t.RangeText(1)->text().toInt(), length);
        const QImage empty = t.RenderPlot(400, 400);
        t.LapBox(0)->click();
        t.LapBox(1)->click();
        t.CirclesBox()->click();
        EXPECT_FALSE(t.TimeText(0)->isHidden());
        // The whole lap takes about the lap's own time.
        const double lap_s = (doc->GetSlot(0).drivers->practice_times[0][2] & 0xFFFFFF) / 1000.0;
        EXPECT_NEAR(t.TimeText(0)->text().toDouble(), lap_s, 0.2);
        const QImage plot = t.RenderPlot(400, 400);
        EXPECT_NE(plot, empty);
        // A click without a selection: one metre before the marker.
        t.Slider()->setValue(500);
        EXPECT_EQ(t.RangeStart(), 499);
        EXPECT_EQ(t.RangeEnd(), 500);
        EXPECT_EQ(t.RangeText(2)->text(), "1");
        // The map is transparent around the track.
        const QImage map = t.RenderMap(200, 120);
        EXPECT_EQ(qAlpha(map.pixel(0, 0)), 0);
        fixture::CheckScreenshot(t.grab().toImage(), "TractionCircle");
        t.OnHelp();
        ASSERT_NE(t.Help(), nullptr);
        EXPECT_TRUE(t.Help()->isVisible());
        EXPECT_TRUE(t.Help()->Text()->toPlainText().contains("Using the Traction Circle"));
        fixture::CheckScreenshot(t.Help()->grab().toImage(), "TractionCircleHelp");
        t.Help()->hide();
    }));
}

}  // namespace
