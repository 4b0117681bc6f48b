// "Record Export - Choose Driver" offscreen: the driver list with the
// remembered driver, OK writing the site and opening its index page,
// "No driver selected!", Cancel during the scan, and the main window's
// Tools command.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "records/ui/export_records.h"
#include "records_scenario.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;

class ExportRecordsWindowTest : public testing::Test {
protected:
    ExportRecordsWindowTest() {
        sim = config.scratch() / "QEL";
        records_scenario::Write(sim);
        records = config.scratch() / "records";
        fs::create_directories(records);
        settings.SetQELDirectory(sim.string());
        settings.SetRecordsPath(records.string());
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
    }

    fixture::ScopedConfigDir config;
    fs::path sim, records;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
};

TEST_F(ExportRecordsWindowTest, OkWritesTheSiteOfTheChosenDriverAndOpensIt) {
    doc->default_player_index = 1;
    ExportRecords dialog(*doc, ui);
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "export_records");
    ASSERT_EQ(dialog.DriverList()->count(), 2);
    EXPECT_EQ(dialog.DriverList()->itemText(0), "1. Graham Hill");
    EXPECT_EQ(dialog.DriverList()->currentIndex(), 1);
    EXPECT_TRUE(dialog.LaunchBrowser()->isChecked());
    EXPECT_FALSE(dialog.CompleteLaps()->isChecked());
    EXPECT_FALSE(dialog.ScanReplays()->isChecked());

    dialog.ScanReplays()->setChecked(true);
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_FALSE(dialog.SiteFolder().empty());
    EXPECT_EQ(fs::path(dialog.SiteFolder()).parent_path(), records);
    EXPECT_TRUE(fs::exists(fs::path(dialog.SiteFolder()) / "monaco.html"));
    ASSERT_EQ(ui.opened.size(), 1u);
    EXPECT_EQ(ui.opened[0], dialog.SiteFolder() + "/index.html");
    EXPECT_EQ(dialog.Model().GetTrainingTime(5, 0), 82000u);  // replays scanned
    EXPECT_EQ(ui.waits, 0);
}

TEST_F(ExportRecordsWindowTest, WithoutAChoiceOkSaysSoAndStaysOpen) {
    ExportRecords dialog(*doc, ui);
    dialog.show();
    EXPECT_EQ(dialog.DriverList()->currentIndex(), -1);
    dialog.OnOK();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "No driver selected!");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(fs::is_empty(records));
}

TEST_F(ExportRecordsWindowTest, NoRecordsFolderIsToldBeforeTheScan) {
    settings.SetRecordsPath("");
    doc = std::make_unique<CRpyGraphDoc>(settings, ui);
    doc->default_player_index = 1;
    ExportRecords dialog(*doc, ui);
    dialog.show();
    dialog.OnOK();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No export path set. Please set this\r\npath in File->Settings dialog."});
    EXPECT_EQ(dialog.Model().GetNumTracks(), 0);  // nothing was scanned
    EXPECT_TRUE(dialog.SiteFolder().empty());
    EXPECT_TRUE(ui.opened.empty());
}

TEST_F(ExportRecordsWindowTest, ProfileGoneBeforeOkGivesItsMessageAndNoSite) {
    doc->default_player_index = 1;
    ExportRecords dialog(*doc, ui);
    dialog.show();
    fs::remove(sim / "players" / "Jim_Clark" / "player.ini");
    dialog.OnOK();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("Can't open ", 0), 0u);
    EXPECT_TRUE(dialog.SiteFolder().empty());
    EXPECT_TRUE(fs::is_empty(records));
    EXPECT_TRUE(ui.opened.empty());
}

TEST_F(ExportRecordsWindowTest, CancelDuringTheScanWritesNoSite) {
    doc->default_player_index = 1;
    ExportRecords dialog(*doc, ui);
    dialog.show();
    dialog.LaunchBrowser()->setChecked(false);
    QTimer::singleShot(0, &dialog, [&] { dialog.CancelButton()->click(); });
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.SiteFolder().empty());
    EXPECT_TRUE(fs::is_empty(records));
    EXPECT_TRUE(ui.opened.empty());
}

TEST_F(ExportRecordsWindowTest, TheToolsMenuOpensTheDialog) {
    CMainFrame frame(*doc, ui);
    frame.show();
    QAction* action = frame.Action(CMainFrame::kExportRecords);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "E&xport Records");
    bool in_tools = false;
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == "&Tools") in_tools = menu->menu()->actions().contains(action);
    EXPECT_TRUE(in_tools);

    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<ExportRecords*>(QApplication::activeModalWidget())) {
            opened = dialog->windowTitle();
            dialog->reject();
        }
    });
    EXPECT_TRUE(frame.Run(CMainFrame::kExportRecords));
    EXPECT_EQ(opened, "Record Export - Choose Driver");
}

}  // namespace
