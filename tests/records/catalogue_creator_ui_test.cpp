// The "Replay CD Database Creator" offscreen over media of the test's own:
// the drive list with each drive's root as item data, the enabled state of
// "Create Database!", a catalogue written for the chosen drive with the bar
// following the replays, the name box, and the main window's command.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "records/replay_database_loader.h"
#include "records/ui/replay_cd_database_creator.h"
#include "records/ui/rpy_db_filename.h"
#include "replay/drivers.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/fake_media_drives.h"
#include "support/recording_interaction.h"
#include "support/sample_simulator.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;
using Kind = MediaDrives::Kind;

class CreatorWindowTest : public testing::Test {
protected:
    CreatorWindowTest() {
        sim = config.scratch() / "QEL";
        replays = fixture::WriteSampleSimulator(sim);
        // Two media whose roots share their first characters: only the
        // item data tells them apart.
        for (const char* cd : {"cd1", "cd2"}) fs::create_directories(config.scratch() / cd / "season");
        fs::copy_file(replays.at(0), config.scratch() / "cd2" / "gp.rpy");
        fs::copy_file(replays.at(1), config.scratch() / "cd2" / "season" / "race.rpy");
        media.Add((config.scratch() / "cd1").string(), Kind::kOptical, "FIRST", "CDFS");
        media.Add((config.scratch() / "cd2").string(), Kind::kRemovable, "SECOND", "UDF");
        media.AddEmpty("/dev/sr1", Kind::kOptical);
    }

    fixture::ScopedConfigDir config;
    fs::path sim;
    std::vector<fs::path> replays;
    fixture::FakeMediaDrives media;
    fixture::RecordingInteraction ui;
};

TEST_F(CreatorWindowTest, WritesTheCatalogueOfTheChosenDrive) {
    ReplayCDDatabaseCreator dialog(sim.string(), media, ui);
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "replay_cd_database_creator");
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>("information")->toPlainText().startsWith("This feature lets you"));

    QComboBox* drives = dialog.DriveList();
    ASSERT_EQ(drives->count(), 3);
    EXPECT_EQ(drives->currentIndex(), 0);
    EXPECT_EQ(drives->itemText(1), QString::fromStdString((config.scratch() / "cd2").string()) + " SECOND [UDF]");
    EXPECT_EQ(drives->itemText(2), "/dev/sr1 [No Disk in Drive]");
    EXPECT_TRUE(dialog.CreateButton()->isEnabled());

    std::vector<std::string> proposals;
    dialog.SetNameAsker([&](const std::string& p) -> std::optional<std::string> {
        proposals.push_back(p);
        return std::string("season67");
    });
    drives->setCurrentIndex(1);
    QTest::mouseClick(dialog.CreateButton(), Qt::LeftButton);

    EXPECT_EQ(proposals, std::vector<std::string>{"SECOND [UDF]"});
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back(), "The replay CD contained 2 replays,\r\nall were added to the database.");
    EXPECT_EQ(dialog.ProgressBar()->maximum(), 2);
    EXPECT_EQ(dialog.ProgressBar()->value(), 0);

    ReplayDatabaseLoader loader;
    ASSERT_TRUE(loader.FindDatabases((sim / "replay" / "ZAVRO_CDDB").string()));
    std::vector<std::string> paths;
    while (loader.NextReplay()) paths.push_back(loader.GetDrivers()->medium_path);
    EXPECT_EQ(paths, (std::vector<std::string>{"gp.rpy", "season\\race.rpy"}));
    EXPECT_EQ(loader.GetCDLabel(), "SECOND [UDF]");
}

TEST_F(CreatorWindowTest, CreateIsEnabledOnlyWhenADriveHoldsAMedium) {
    fixture::FakeMediaDrives none;
    ReplayCDDatabaseCreator dialog(sim.string(), none, ui);
    ASSERT_EQ(dialog.DriveList()->count(), 1);
    EXPECT_EQ(dialog.DriveList()->itemText(0), "No CD-roms found");
    EXPECT_FALSE(dialog.CreateButton()->isEnabled());

    none.AddEmpty("/dev/sr0", Kind::kOptical);
    QTest::mouseClick(dialog.findChild<QPushButton*>("rescan"), Qt::LeftButton);
    EXPECT_EQ(dialog.DriveList()->itemText(0), "/dev/sr0 [No Disk in Drive]");
    EXPECT_FALSE(dialog.CreateButton()->isEnabled());

    none.Add("/media/cd", Kind::kOptical, "", "CDFS");
    QTest::mouseClick(dialog.findChild<QPushButton*>("rescan"), Qt::LeftButton);
    EXPECT_EQ(dialog.DriveList()->count(), 2);
    EXPECT_TRUE(dialog.CreateButton()->isEnabled());
}

TEST(NameBoxTest, ProposesTheLabelAndHandsTheEnteredNameBack) {
    RpyDBFilename box;
    box.name = "MYCD [CDFS]";
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* edit = box.findChild<QLineEdit*>("name");
        shown = edit->text();
        fixture::CheckScreenshot(box.grab().toImage(), "rpy_db_filename");
        edit->setText("grand prix 1967");
        box.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    EXPECT_EQ(shown, "MYCD [CDFS]");
    EXPECT_EQ(box.name, "grand prix 1967");

    QTimer::singleShot(0, [&] { box.reject(); });
    EXPECT_EQ(box.exec(), QDialog::Rejected);
}

TEST_F(CreatorWindowTest, TheToolsMenuOpensTheCreator) {
    Settings settings;
    settings.SetQELDirectory(sim.string());
    CRpyGraphDoc doc(settings, ui);
    CMainFrame frame(doc, ui);
    frame.show();
    QAction* action = frame.Action(CMainFrame::kReplayCDDatabaseCreator);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "Replay CD Database Creator");
    bool in_tools = false;
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == "&Tools") in_tools = menu->menu()->actions().contains(action);
    EXPECT_TRUE(in_tools);

    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<ReplayCDDatabaseCreator*>(QApplication::activeModalWidget())) {
            opened = dialog->windowTitle();
            dialog->reject();
        }
    });
    EXPECT_TRUE(frame.Run(CMainFrame::kReplayCDDatabaseCreator));
    EXPECT_EQ(opened, "Replay CD Database Creator");
}

}  // namespace
