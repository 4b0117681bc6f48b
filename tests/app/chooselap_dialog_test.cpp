// The lap-choice dialogs driven as a user would, offscreen: picking laps
// by clicks and keys, the selectable-only filter, the quality report, the
// visitors' sounds, and the report-lap and save-lap choosers.

#include "app/chooselap.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "app/choose_lap_for_report.h"
#include "app/save_which_lap.h"
#include "chooselap_support.h"
#include "support/recording_interaction.h"
#include "ui_chooselap.h"

namespace {

using chooselap_test::GrandPrix;
using chooselap_test::Load;
using chooselap_test::RaceOnly;

int ItemCount(QTreeWidget* tree) {
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) ++n;
    return n;
}

void Click(QTreeWidget* tree, QTreeWidgetItem* item, bool twice = false) {
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

// A radio button takes clicks on its circle and caption only.
void ClickRadio(QRadioButton* radio) { QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2)); }

class ChooselapDialog : public ::testing::Test {
protected:
    fixture::RecordingInteraction ui;
};

TEST_F(ChooselapDialog, RunPicksAPracticeLapAndARaceLap) {
    auto r = Load(GrandPrix());
    const struct {
        int driver, session, lap;
    } picks[] = {{0, 0, 3}, {0, 1, 2}, {1, 0, 1}};
    for (const auto& p : picks) {
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<Chooselap*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            QTreeWidgetItem* item = d->FindLap(p.driver, p.session, p.lap);
            ASSERT_NE(item, nullptr);
            d->ui().tree->expandAll();
            Click(d->ui().tree, item);
            QTest::mouseClick(d->ui().buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        EXPECT_EQ(RunChooselap(r->model, ui), (LapChoice{p.driver, p.session, p.lap}));
    }
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(RunChooselap(r->model, ui), std::nullopt);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChooselapDialog, ShowsTheSelectedLapAndDriver) {
    auto r = Load(GrandPrix());
    Chooselap d(r->model, ui);
    d.show();
    EXPECT_TRUE(d.windowTitle().startsWith("Choose Lap To Load from /"));
    EXPECT_EQ(d.ui().savedBy->text(), "Jim Clark");
    EXPECT_EQ(d.ui().practice->text(), "Yes");
    d.ui().tree->expandAll();
    QTreeWidgetItem* lap = d.FindLap(0, 1, 2);
    EXPECT_EQ(lap->text(0), "Lap 2: 1m 25.900s [80]");
    EXPECT_TRUE(lap->font(0).bold());
    EXPECT_FALSE(d.FindLap(0, 0, 2)->font(0).bold());
    Click(d.ui().tree, lap);
    EXPECT_EQ(d.ui().laptime->text(), "1m 25.900s");
    EXPECT_EQ(d.ui().incidents->text(), "Off track, Invalid");
    EXPECT_EQ(d.ui().session->text(), "Race");
    EXPECT_EQ(d.ui().selectableLap->text(), "Yes");
    EXPECT_TRUE(d.ui().qualityAnalyse->isEnabled());
    EXPECT_EQ(d.ui().driverName->text(), "Jim Clark");
    EXPECT_EQ(d.ui().carClass->text(), "Lotus/F1 (1967)");
    EXPECT_EQ(d.ui().helmet->palette().color(QPalette::Window), QColor(0xC0, 0x20, 0x40));
    EXPECT_FALSE(d.ui().carPicture->pixmap().isNull());

    // The visitor's sound plays when he is shown, not again for his next lap.
    Click(d.ui().tree, d.FindLap(1, 0, 1));
    Click(d.ui().tree, d.FindLap(1, 0, 2));
    EXPECT_EQ(ui.sounds, std::vector<int>{ChooselapModel::kSoundMaltrevik});
    EXPECT_EQ(d.ui().type->text(), "Alien");
    EXPECT_EQ(d.ui().country->text(), "");
}

TEST_F(ChooselapDialog, RefusesHeadingsAndLapsWithoutTelemetry) {
    auto r = Load(GrandPrix());
    Chooselap d(r->model, ui);
    d.show();
    d.ui().tree->expandAll();
    QPushButton* ok = d.ui().buttonBox->button(QDialogButtonBox::Ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    Click(d.ui().tree, d.ui().tree->topLevelItem(0)->child(0));
    QTest::mouseClick(ok, Qt::LeftButton);
    Click(d.ui().tree, d.FindLap(0, 0, 2), true);
    const std::string invalid = "Data for this lap is not stored in the replay file\nor lap isn't complete.";
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Choose a lap to view!", "Choose a lap to view!", invalid}));
    EXPECT_TRUE(d.isVisible());
    // Double-clicking a loadable lap takes it.
    Click(d.ui().tree, d.FindLap(0, 0, 1), true);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.choice(), (LapChoice{0, 0, 1}));
}

TEST_F(ChooselapDialog, OnlySelectableFilterAndBack) {
    auto r = Load(GrandPrix());
    Chooselap d(r->model, ui);
    d.show();
    const int all = ItemCount(d.ui().tree);
    EXPECT_EQ(all, 2 + 2 + 4 + 3 + 2 + 3 + 1);  // a driver without race laps still lists his start
    d.ui().tree->expandAll();
    Click(d.ui().tree, d.FindLap(0, 0, 1));
    d.ui().onlySelectable->click();
    EXPECT_EQ(ItemCount(d.ui().tree), 2 + 2 + 2 + 2 + 2 + 2);
    EXPECT_EQ(d.FindLap(0, 0, 2), nullptr);
    EXPECT_NE(d.FindLap(0, 1, 2), nullptr);
    EXPECT_EQ(d.ui().driverName->text(), "Jim Clark");  // the shown driver stays

    d.ui().onlySelectable->click();
    EXPECT_EQ(ItemCount(d.ui().tree), all);
    EXPECT_EQ(d.ui().tree->currentItem(), nullptr);
    for (QLabel* l : {d.ui().laptime, d.ui().incidents, d.ui().session, d.ui().selectableLap, d.ui().driverName,
                      d.ui().country, d.ui().carClass, d.ui().type})
        EXPECT_TRUE(l->text().isEmpty());
    EXPECT_FALSE(d.ui().qualityAnalyse->isEnabled());
    EXPECT_EQ(r->model.selected_driver(), -1);

    // Filtered, the third practice lap is the second entry listed: still lap 3.
    d.ui().onlySelectable->click();
    d.ui().tree->expandAll();
    QTreeWidgetItem* third = d.FindLap(0, 0, 3);
    ASSERT_EQ(third->parent()->indexOfChild(third), 1);
    Click(d.ui().tree, third, true);
    EXPECT_EQ(d.choice(), (LapChoice{0, 0, 3}));
}

TEST_F(ChooselapDialog, RaceOnlyReplayShowsRaceSession) {
    auto r = Load(RaceOnly());
    Chooselap d(r->model, ui);
    d.show();
    QTreeWidgetItem* driver = d.ui().tree->topLevelItem(0);
    ASSERT_EQ(driver->childCount(), 3);
    EXPECT_EQ(driver->child(1), d.FindLap(0, 1, 1));
    d.ui().tree->expandAll();
    Click(d.ui().tree, driver->child(2));
    EXPECT_EQ(d.ui().session->text(), "Race");
}

TEST_F(ChooselapDialog, QualityAnalyseReportsThroughTheSeam) {
    auto r = Load(GrandPrix());
    Chooselap d(r->model, ui);
    d.show();
    d.ui().tree->expandAll();
    Click(d.ui().tree, d.FindLap(0, 0, 1));
    QTest::mouseClick(d.ui().qualityAnalyse, Qt::LeftButton);
    ASSERT_EQ(ui.messages.size(), 1u);
    // The session fixture stores no car records: a lap without data.
    EXPECT_EQ(ui.messages[0], "This laps seems to be a lap set under\r\naccelerated time and contains no data.");
    EXPECT_EQ(ui.progress, (std::vector<std::string>{"Please wait while loading replay lap...", ""}));
    EXPECT_EQ(ui.waits, 0);
}

TEST_F(ChooselapDialog, ReportLapChooserShowsOneRadioPerLapAndCancelGivesMinusOne) {
    for (int laps : {2, 5}) {
        ChooseLapForReport d(ui);
        std::vector<std::string> captions;
        for (int i = 0; i < laps; ++i) captions.push_back("\"lap" + std::to_string(i) + "\" - Jim Clark");
        d.SetCaptions(captions);
        d.show();
        int shown = 0;
        for (int i = 0; i < ChooseLapForReport::kMaxCaptions; ++i) shown += d.radio(i)->isVisible();
        EXPECT_EQ(shown, laps);
        // Cancel after a click still gives no lap.
        QTimer::singleShot(0, [&] {
            ClickRadio(d.radio(1));
            EXPECT_EQ(d.chosen(), 1);
            d.reject();
        });
        EXPECT_EQ(d.Run(), -1);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChooselapDialog, OkWithoutAChoiceAsksForOne) {
    SaveWhichLap d(ui);
    EXPECT_EQ(d.windowTitle(), "Choose lap to extract and save in new replay file");
    d.SetCaptions({"Jim Clark 1m 23.456s", "Graham Hill 1m 24.000s"});
    QTimer::singleShot(0, [&] {
        d.accept();
        EXPECT_TRUE(d.isVisible());
        ClickRadio(d.radio(1));
        d.accept();
    });
    EXPECT_EQ(d.Run(), 1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Choose file to base the report on!"});
}

}  // namespace
