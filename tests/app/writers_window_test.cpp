// The file-writing commands in the main window offscreen, on laps of the
// sample simulator's driven replay: their menu places, the merge and
// groove parameter dialogs (through the screenshot check), and files
// written by the commands loading back into the program.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "document/rpy_graph_doc.h"
#include "app/ui/groove.h"
#include "app/ui/main_frame.h"
#include "app/ui/merge_parameters.h"
#include "app/ui/rpy_graph_view.h"
#include "replay/get_rpy_info.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/sample_document.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;

size_t Lines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

QStringList Texts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) out << a->text();
    return out;
}

class WritersWindowTest : public testing::Test, protected fixture::SampleDocument {
protected:
    WritersWindowTest() {
        frame = std::make_unique<CMainFrame>(*doc, ui);
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
    }
    ~WritersWindowTest() override {
        frame.reset();
        doc.reset();
    }
    // Lap 2 of the first car's practice and lap 3 of the third car's race.
    void LoadTwoLaps() {
        const std::string p = replays.at(2).string();
        ASSERT_TRUE(doc->AddLapFromCommandLine(p, 0, 0, 2));
        ASSERT_TRUE(doc->AddLapFromCommandLine(p, 1, 2, 3));
        ui.messages.clear();
    }

    std::unique_ptr<CMainFrame> frame;
};

TEST_F(WritersWindowTest, CommandsStandInTheirMenus) {
    QMenu* file = nullptr;
    QMenu* tools = nullptr;
    for (QAction* a : frame->menuBar()->actions()) {
        if (a->text() == "&File") file = a->menu();
        if (a->text() == "&Tools") tools = a->menu();
    }
    ASSERT_TRUE(file && tools);
    const QStringList f = Texts(file);
    EXPECT_TRUE(f.contains("&Save replay lap...") && f.contains("Merge all laps to one replay file...") &&
                f.contains("Save telemetry to text file"))
        << f.join("|").toStdString();
    QMenu* creating = nullptr;
    for (QAction* a : tools->actions())
        if (a->text() == "Track Creating Tools") creating = a->menu();
    ASSERT_NE(creating, nullptr) << Texts(tools).join("|").toStdString();
    EXPECT_EQ(Texts(creating), QStringList{"Export Lap To Groove (GRV) File"});

    // The lap commands wait while laps play.
    EXPECT_TRUE(frame->Action(CMainFrame::kSaveReplayLap)->isEnabled());
    frame->View().playing = true;
    frame->RefreshCommands();
    EXPECT_FALSE(frame->Action(CMainFrame::kSaveReplayLap)->isEnabled());
    EXPECT_FALSE(frame->Action(CMainFrame::kMergeAllLaps)->isEnabled());
    EXPECT_TRUE(frame->Action(CMainFrame::kExportLapToGroove)->isEnabled());
    frame->View().playing = false;

    // Without a lap: each says so.
    for (int id : {CMainFrame::kSaveReplayLap, CMainFrame::kMergeAllLaps, CMainFrame::kSaveTelemetryText,
                   CMainFrame::kExportLapToGroove})
        ASSERT_TRUE(frame->Run(id));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"No replay file loaded!", "No replay file loaded!",
                                                     "No replay file loaded!", "No replay lap loaded!"}));
}

TEST_F(WritersWindowTest, MergeParametersDialog) {
    LoadTwoLaps();
    MergeParameters dialog(*doc, ui);
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "merge_parameters");
    EXPECT_TRUE(dialog.StartEdit(1)->isVisible());
    EXPECT_FALSE(dialog.StartEdit(2)->isVisible());
    EXPECT_FALSE(dialog.StartEdit(0)->isEnabled());
    const int slower = dialog.Model().MaxAdvantage(0) > 0 ? 0 : 1;
    ASSERT_GT(dialog.Model().MaxAdvantage(slower), 200u);

    dialog.findChild<QRadioButton*>("endOfLap")->click();
    EXPECT_EQ(dialog.Model().StartAdvantage(slower), dialog.Model().MaxAdvantage(slower));
    dialog.findChild<QRadioButton*>("manual")->click();
    QLineEdit* edit = dialog.StartEdit(slower);
    ASSERT_TRUE(edit->isEnabled());
    edit->setFocus();
    edit->setText("0,2x");
    dialog.StartEdit(1 - slower)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), "0,2");
    EXPECT_EQ(dialog.Model().StartAdvantage(slower), 200u);

    // Too large: said, and OK stays refused until it is lowered.
    dialog.StartEdit(1 - slower)->setText("1");
    dialog.accept();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"To large number!"});
    EXPECT_TRUE(dialog.isVisible());
    fixture::CheckScreenshot(dialog.grab().toImage(), "merge_parameters_manual");
    dialog.StartEdit(1 - slower)->setText("0");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(WritersWindowTest, GrooveDialog) {
    groove dialog(ui);
    dialog.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(dialog.grab().toImage(), "groove");
    auto* resolution = dialog.findChild<QComboBox*>("resolution");
    auto* acceleration = dialog.findChild<QLineEdit*>("acceleration");
    auto* roll = dialog.findChild<QLineEdit*>("roll");
    auto* width = dialog.findChild<QLineEdit*>("width");
    ASSERT_TRUE(resolution && acceleration && roll && width);
    EXPECT_EQ(resolution->currentText(), "0.5");
    EXPECT_EQ(resolution->count(), 20);
    EXPECT_EQ(width->text(), "3.0");
    EXPECT_FALSE(acceleration->isEnabled());
    dialog.findChild<QRadioButton*>("oldWay")->click();
    EXPECT_TRUE(roll->isEnabled());
    // Digits only; the range is checked on OK.
    roll->clear();
    QTest::keyClicks(roll, "1x000");
    EXPECT_EQ(roll->text(), "1000");
    dialog.accept();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Please enter an integer between 0 and 999."});
    EXPECT_TRUE(dialog.isVisible());
    roll->setText("50");
    width->setText("3 5");
    dialog.accept();
    EXPECT_EQ(ui.messages.back(), "Please enter a number.");
    width->setText("2.75");
    resolution->setCurrentIndex(0);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const auto& p = dialog.Parameters();
    EXPECT_EQ(p.darkness_method, 0);
    EXPECT_EQ(p.resolution_index, 0);
    EXPECT_EQ(p.acceleration_factor, 100);
    EXPECT_EQ(p.roll_factor, 50);
    EXPECT_EQ(p.width, "2.75");
}

TEST_F(WritersWindowTest, WrittenFilesLoadBack) {
    LoadTwoLaps();
    const fs::path out = config.scratch() / "out";
    fs::create_directories(out);
    frame->SetOneLapChooser([](const std::vector<std::string>& labels) {
        return labels.size() == 2 && labels[0].rfind("\"monza_driven\" - ", 0) == 0 ? 1 : -1;
    });
    doc->SetSaveLapChooser([](const std::vector<std::string>&) { return 1; });
    doc->SetMergeParametersDialog([](CRpyGraphDoc&) { return std::array<uint32_t, 5>{}; });
    frame->groove_dialog = [] { return groove_export::Parameters{}; };

    ui.paths = {(out / "lap").string(), (out / "merged").string(), (out / "telemetry").string(),
                (out / "groove").string()};
    ui.answers = {false};
    for (int id : {CMainFrame::kSaveReplayLap, CMainFrame::kMergeAllLaps, CMainFrame::kSaveTelemetryText,
                   CMainFrame::kExportLapToGroove})
        ASSERT_TRUE(frame->Run(id));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    EXPECT_EQ(ui.proposed_names.back(), "monza.grv");
    const uint32_t n = doc->GetSlot(1).telemetry->sample_count;
    EXPECT_EQ(Lines(out / "telemetry.txt"), n + 1);
    EXPECT_GT(Lines(out / "groove.grv"), 1000u);

    // The saved lap and both laps of the merged file load into the program.
    ASSERT_TRUE(frame->Run(CMainFrame::kClearAll));
    EXPECT_TRUE(doc->AddLapFromCommandLine((out / "lap.rpy").string(), 1, 2, 3));
    EXPECT_EQ(doc->GetSlot(0).telemetry->sample_count, n);
    EXPECT_TRUE(doc->AddLapFromCommandLine((out / "merged.rpy").string(), 0, 1, 1));
    EXPECT_TRUE(doc->AddLapFromCommandLine((out / "merged.rpy").string(), 0, 2, 1));
    EXPECT_EQ(doc->GetLoadedCount(), 3);
    EXPECT_TRUE(doc->IsTrackLoaded());
    fixture::CheckScreenshot(frame->grab().toImage(), "main_window_merged_laps");
}

}  // namespace
