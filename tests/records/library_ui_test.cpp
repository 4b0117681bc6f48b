// The lap finder, the two handicap calculators and the track organiser
// offscreen on the sample simulator: what each shows, the laps the finder
// hands to the document, the organiser's drop and close question, the main
// window's commands, and a screenshot of each.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "controls/drag_drop_list_ctrl.h"
#include "records/handicap_records.h"
#include "records/ui/edit_track_prop.h"
#include "records/ui/lap_finder.h"
#include "records/ui/new_qel_rank_calculator.h"
#include "records/ui/qel_rank.h"
#include "records/ui/track_organiser.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/fake_media_drives.h"
#include "support/recording_interaction.h"
#include "support/sample_simulator.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;

class LibraryWindowTest : public testing::Test {
protected:
    LibraryWindowTest() {
        sim = config.scratch() / "QEL";
        replays = fixture::WriteSampleSimulator(sim);
        settings.SetQELDirectory(sim.string());
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
    }
    fixture::ScopedConfigDir config;
    fs::path sim;
    std::vector<fs::path> replays;
    Settings settings;
    fixture::RecordingInteraction ui;
    fixture::FakeMediaDrives media;
    std::unique_ptr<CRpyGraphDoc> doc;
};

TEST_F(LibraryWindowTest, LapFinderListsTheLoadedTracksLapsAndLoadsTheChosenOnes) {
    ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, 0, 1));
    LapFinder finder(*doc, media);
    finder.resize(900, 500);
    finder.show();
    QApplication::processEvents();
    EXPECT_EQ(finder.TrackList()->currentText(), "monza");
    const int rows = finder.LapList()->model()->rowCount();
    ASSERT_GT(rows, 0);
    EXPECT_EQ(finder.RowCountLabel()->text(), QString::number(rows));
    EXPECT_TRUE(finder.StatusLabel()->text().startsWith("Total number of replay files scanned was "));
    fixture::CheckScreenshot(finder.grab().toImage(), "lap_finder");

    // One damaged replay: named once for the scan, not again when the
    // filter changes.
    std::ofstream(sim / "replay" / "damaged.rpy") << "no replay";
    finder.Rescan();
    finder.OnFilterChanged();
    ASSERT_EQ(ui.titles.size(), 1u);
    EXPECT_EQ(ui.titles[0], "Error reading replay file - is this a standard QEL replay?");
    EXPECT_EQ(ui.messages[0], (sim / "replay" / "damaged.rpy").string() + "\r\n");
    EXPECT_EQ(finder.LapList()->model()->rowCount(), rows);

    finder.OnColumnClick(1);
    EXPECT_TRUE(finder.SortButton(LapFinderModel::kByLaptime)->isChecked());
    finder.LapList()->selectRow(0);
    finder.OnOK();
    EXPECT_EQ(finder.result(), QDialog::Accepted);
    EXPECT_EQ(doc->GetLoadedCount(), 2);
}

TEST_F(LibraryWindowTest, QELRankShowsTheTimesMissingFromTheProfile) {
    QELRank dialog(*doc);
    ASSERT_EQ(dialog.DriverList()->count(), 1);
    dialog.DriverList()->setCurrentIndex(-1);
    dialog.Calculate();
    EXPECT_EQ(ui.messages.back(), "No driver selected!");
    dialog.DriverList()->setCurrentIndex(0);
    dialog.Calculate();
    EXPECT_EQ(doc->default_player_index, 0);
    // The sample's profile holds Lotus times at two of the eleven tracks,
    // monza and spa.
    EXPECT_EQ(dialog.Field(0)->text(), "Missing 9 laptime(s)");
    EXPECT_EQ(dialog.Field(8)->text(), "Missing 75 laptime(s)");
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "qel_rank");
}

class OneTrackRecords : public HandicapRecords {
public:
    int RowCount() const override { return 1; }
    std::string TrackDirectory(int) const override { return "monza"; }
    uint32_t CarBest(int, int) const override { return 100000; }
    uint32_t RowBest(int) const override { return 100000; }
};

TEST_F(LibraryWindowTest, NewQELRankCalculatorShowsEightGroups) {
    OneTrackRecords records;
    NewQELRankCalculator dialog(records, ui);
    EXPECT_EQ(dialog.Field(0, 0)->text(), "Missing 10 laptime(s)");
    EXPECT_EQ(dialog.Field(7, 8)->text(), "Missing 315 laptime(s)");
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "new_qel_rank_calculator");
}

TEST_F(LibraryWindowTest, TrackOrganiserMovesRowsAndAsksBeforeClosingUnsaved) {
    TrackOrganiser dialog(sim.string(), ui);
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.CountLabel()->text(), "2");
    const QString first = dialog.List()->topLevelItem(0)->text(2);
    dialog.DropRows({0}, 2);
    EXPECT_EQ(dialog.List()->topLevelItem(1)->text(2), first);
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "track_organiser");
    ui.answers = {false};
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible()) << "No keeps the dialog open";
    EXPECT_EQ(ui.questions.back(), "You haven't exported your changes,\r\nclose Track Organizer anyway?");
    dialog.ExportSeason();
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LibraryWindowTest, TrackOrganiserDragsRowsWithTheMouseAndDropsThemBelowTheLast) {
    TrackOrganiser dialog(sim.string(), ui);
    dialog.resize(640, 400);
    dialog.show();
    QApplication::processEvents();
    CDragDropListCtrl* list = dialog.List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    const QString first = list->topLevelItem(0)->text(2);
    const QString second = list->topLevelItem(1)->text(2);
    QWidget* port = list->viewport();
    const auto mouse = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, port->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
        QApplication::sendEvent(port, &e);
    };
    const QPoint row0 = list->visualItemRect(list->topLevelItem(0)).center();
    const QPoint below(row0.x(), list->visualItemRect(list->topLevelItem(1)).bottom() + 20);
    mouse(QEvent::MouseButtonPress, row0, Qt::LeftButton);
    list->topLevelItem(0)->setSelected(true);
    mouse(QEvent::MouseMove, row0 + QPoint(0, 20), Qt::LeftButton);
    ASSERT_TRUE(list->IsDragging());
    mouse(QEvent::MouseMove, below, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, below, Qt::NoButton);
    // The model moved the event; the list shows its order, the row chosen.
    EXPECT_EQ(dialog.Model().CellText(1, TrackOrganiserModel::kTrackDir), first.toStdString());
    EXPECT_EQ(list->topLevelItem(0)->text(2), second);
    EXPECT_EQ(list->topLevelItem(1)->text(2), first);
    EXPECT_TRUE(list->topLevelItem(1)->isSelected());
    ui.answers = {true};
    dialog.reject();
    EXPECT_EQ(ui.questions.back(), "You haven't exported your changes,\r\nclose Track Organizer anyway?");
}

TEST_F(LibraryWindowTest, MainWindowOffersTheThreeCommands) {
    CMainFrame frame(*doc, ui);
    for (int id : {CMainFrame::kLapFinder, CMainFrame::kQELRankHandicap, CMainFrame::kTrackOrganizer}) {
        ASSERT_NE(frame.Action(id), nullptr) << id;
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->done(QDialog::Accepted);
        });
        EXPECT_TRUE(frame.Run(id)) << id;
    }
    EXPECT_EQ(frame.Action(CMainFrame::kLapFinder)->text(), "Add replay lap using Lap Finder...");
}

TEST_F(LibraryWindowTest, EditTrackPropertiesRefusesADateTheSimulatorCannotHave) {
    EditTrackProp box(ui);
    box.month = "5";
    box.day = "5";
    box.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(box.grab().toImage(), "edit_track_properties");
    box.findChild<QLineEdit*>("month")->setText("13");
    box.accept();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Month must be a number from 1 to 12."});
    box.findChild<QLineEdit*>("month")->setText("6");
    box.findChild<QLineEdit*>("day")->setText("31");
    box.accept();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(ui.messages.back(), "Day must be a number from 1 to 30.");
    box.findChild<QLineEdit*>("day")->setText("30");
    box.accept();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.month, "6");
    EXPECT_EQ(box.day, "30");

    // The season file's own texts pass as they stand while they are left
    // alone; what the user types is judged.
    EditTrackProp from_file(ui);
    from_file.month = " 6";
    from_file.day = "0";
    from_file.show();
    from_file.findChild<QLineEdit*>("laps")->setText("12");
    from_file.accept();
    EXPECT_FALSE(from_file.isVisible());
    EXPECT_EQ(from_file.result(), QDialog::Accepted);
    EXPECT_EQ(from_file.month, " 6");
    EXPECT_EQ(from_file.day, "0");
    EXPECT_EQ(from_file.laps, "12");
    from_file.show();
    from_file.findChild<QLineEdit*>("day")->setText("32");
    from_file.accept();
    EXPECT_TRUE(from_file.isVisible());
    EXPECT_EQ(ui.messages.back(), "Day must be a number from 1 to 31.");
}

}  // namespace
