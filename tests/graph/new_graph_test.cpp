// The telemetry graph window offscreen on two laps of the sample driven
// replay: lap boxes, every kind, the time difference, the track-map window,
// the printed page, and the main window's command that opens it; the
// resizing dialog's anchors.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QFontMetrics>
#include <QSizeGrip>
#include <QTest>
#include <QTimer>

#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "app/ui/rpy_graph_view.h"
#include "controls/resizing_dialog.h"
#include "graph/graph_kind.h"
#include "graph/telemetry_graph_model.h"
#include "graph/graph_commands.h"
#include "graph/ui/3d_list_ctrl.h"
#include "graph/ui/graph_frame.h"
#include "graph/ui/graph_print.h"
#include "graph/ui/point_view_bar.h"
#include "graph/ui/graph_wnd.h"
#include "graph/ui/new_graph.h"
#include "graph/ui/time_diff_for_graph.h"
#include "graph/ui/track_map_dialog.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/sample_document.h"
#include "support/screenshot.h"
#include "track/track.h"
#include "track/ui/mfc_display.h"

namespace {

using namespace graph_kind;

namespace fs = std::filesystem;

class NewGraphTest : public testing::Test, protected fixture::SampleDocument {
protected:
    NewGraphTest() {
    }
    // Practice lap 2 of the first car and race lap 3 of the third.
    void LoadTwoLaps() {
        const std::string driven = replays.at(2).string();
        ASSERT_TRUE(doc->AddLapFromCommandLine(driven, 0, 0, 2));
        ASSERT_TRUE(doc->AddLapFromCommandLine(driven, 1, 2, 3));
        ui.messages.clear();
    }
    std::unique_ptr<NewGraph> Open() {
        auto graph = std::make_unique<NewGraph>(*doc);
        graph->resize(1100, 700);
        graph->show();
        QApplication::processEvents();
        return graph;
    }
    QColor Colour(int entry) const { return MFCDisplay::ToQColor(doc->GetColours()[static_cast<size_t>(entry)]); }

};

TEST_F(NewGraphTest, TwoLapsInEveryKindWithTheTimeDifference) {
    LoadTwoLaps();
    auto graph = Open();
    EXPECT_EQ(graph->windowTitle(), "Telemetry Graph");
    EXPECT_TRUE(graph->KindRadio(kSpeed)->isChecked());
    EXPECT_TRUE(graph->LapBox(1)->isVisible());
    EXPECT_FALSE(graph->LapBox(1)->text().isEmpty());
    for (int slot : {2, 3, 4}) {
        EXPECT_FALSE(graph->LapBox(slot)->isVisible()) << slot;
        EXPECT_FALSE(graph->LapBox(slot)->isEnabled()) << slot;
    }
    EXPECT_EQ(graph->LapBox(0)->palette().color(QPalette::WindowText), Colour(16));
    EXPECT_FALSE(graph->WheelBox(0)->isEnabled());
    EXPECT_FALSE(graph->TimeDiffBox()->isEnabled());

    graph->LapBox(0)->click();
    graph->LapBox(1)->click();
    EXPECT_EQ(graph->Graph().GetGraphCount(), 2);
    EXPECT_TRUE(graph->TimeDiffBox()->isEnabled());
    QApplication::processEvents();
    const QImage speed = graph->grab().toImage();
    EXPECT_GT(fixture::PixelsOf(speed, Colour(16)), 100);
    EXPECT_GT(fixture::PixelsOf(speed, Colour(17)), 100);
    fixture::CheckScreenshot(speed, "graph_window");

    for (int p = 1; p <= graph_kind::kCount; ++p) {
        const int kind = graph_kind::KindAtPrintPosition(p);
        graph->KindRadio(kind)->click();
        SCOPED_TRACE(graph_kind::Info(kind).name);
        EXPECT_EQ(graph->Model().GetCurrentKind(), kind);
        EXPECT_EQ(graph->Graph().GetAxisLabel(0)->GetTitle(), graph_kind::Info(kind).title);
        EXPECT_EQ(graph->Graph().GetGraphCount(), graph_kind::IsByWheel(kind) ? 8 : 2);
        EXPECT_EQ(graph->WheelBox(3)->isEnabled(), graph_kind::IsByWheel(kind));
    }
    graph->KindRadio(kSpeed)->click();

    graph->TimeDiffBox()->click();
    ASSERT_NE(graph->TimeDiffWindow(), nullptr);
    EXPECT_TRUE(graph->TimeDiffWindow()->isVisible());
    EXPECT_EQ(graph->Graph().GetGraphCount(), 4);
    EXPECT_TRUE(graph->TimeDiffWindow()->Caption().endsWith(" is:"));
    EXPECT_FALSE(graph->TimeDiffWindow()->Finish().isEmpty());
    const double x = graph->Model().GetXMax() / 2;
    EXPECT_EQ(graph->FormatCursorInfo(x, 100.0).rfind(", timediff=", 0), 0u);
    EXPECT_FALSE(graph->TimeDiffWindow()->Current().isEmpty());
    fixture::CheckScreenshot(graph->TimeDiffWindow()->grab().toImage(), "time_difference_window");
    graph->TimeDiffBox()->click();
    EXPECT_FALSE(graph->TimeDiffWindow()->isVisible());
    EXPECT_EQ(graph->Graph().GetGraphCount(), 2);
}

TEST_F(NewGraphTest, MapWindowHighlightsTheCursorAndSurvivesTheLapEnds) {
    LoadTwoLaps();
    auto graph = Open();
    Track* track = doc->GetTrack();
    ASSERT_NE(track, nullptr);
    graph->LapBox(0)->click();
    graph->LapBox(1)->click();
    graph->MapButton()->click();
    TrackMapDialog& map = graph->Map();
    ASSERT_TRUE(map.IsOpen());
    QApplication::processEvents();
    EXPECT_TRUE(map.isVisible());
    EXPECT_TRUE(map.windowTitle().startsWith("Monza ("));
    EXPECT_TRUE(map.windowTitle().endsWith(" meters)"));
    ASSERT_FALSE(map.GetMapImage().isNull());
    EXPECT_EQ(fixture::PixelsOf(map.GetMapImage(), Qt::white), 0);
    EXPECT_GT(fixture::PixelsOf(map.GetMapImage(), Qt::black), 50);

    graph->FormatCursorInfo(track->GetLength() / 2, 0.0);
    EXPECT_GT(fixture::PixelsOf(map.GetMapImage(), Qt::white), 5);
    // The map window as the user sees it, at the graph window's top-right
    // corner.
    QImage screen = graph->grab().toImage();
    {
        QPainter painter(&screen);
        painter.drawImage(screen.width() - map.width(), 0, map.grab().toImage());
    }
    fixture::CheckScreenshot(screen, "track_map_window");

    // The very end of the lap and beyond it: nothing highlighted, no error.
    for (double d : {track->GetLength(), track->GetLength() + 50.0, -500.0})
        EXPECT_NO_THROW(graph->FormatCursorInfo(d, 0.0)) << d;
    EXPECT_EQ(fixture::PixelsOf(map.GetMapImage(), Qt::white), 0);

    // Resizing renders the map afresh at the new size.
    const int renders = map.GetRenderCount();
    map.resize(map.width() + 60, map.height() + 40);
    QApplication::processEvents();
    EXPECT_GT(map.GetRenderCount(), renders);
    EXPECT_EQ(map.GetMapImage().size(), map.GetMapControl()->size());

    // A window with no map area draws nothing and does not fail.
    map.showMinimized();
    map.GetMapControl()->resize(0, 0);
    EXPECT_NO_THROW(graph->FormatCursorInfo(100.0, 0.0));
    EXPECT_TRUE(map.GetMapImage().isNull());
    map.showNormal();

    // Closing clears the highlight the main map would show too; "Map"
    // opens the window again.
    graph->FormatCursorInfo(track->GetLength() / 2, 0.0);
    map.close();
    EXPECT_FALSE(map.IsOpen());
    graph->MapButton()->click();
    EXPECT_TRUE(map.IsOpen());
    EXPECT_EQ(fixture::PixelsOf(map.GetMapImage(), Qt::white), 0);
    QTest::keyClick(&map, Qt::Key_Escape);
    EXPECT_FALSE(map.IsOpen());
}

TEST_F(NewGraphTest, NoTrackNoMapAndASmallWindowKeepsItsGraph) {
    LoadTwoLaps();
    auto graph = Open();
    graph->setMinimumSize(0, 0);
    graph->resize(300, 30);
    QApplication::processEvents();
    EXPECT_GE(graph->Graph().height(), 1);
    EXPECT_GE(graph->Graph().width(), 1);

    doc->OnNewDocument();
    NewGraph empty(*doc);
    empty.MapButton()->click();
    EXPECT_FALSE(empty.Map().IsOpen());
    for (int slot = 0; slot < 5; ++slot) EXPECT_FALSE(empty.LapBox(slot)->isEnabled());
}

TEST_F(NewGraphTest, EveryControlCanBeReachedAtTheSmallestSizeAndThePointsBarOpensWide) {
    for (int lap = 1; lap <= 5; ++lap) ASSERT_TRUE(doc->AddLapFromCommandLine(DrivenReplay(), 0, 0, 2));
    auto graph = Open();
    graph->resize(graph->minimumSize());
    QApplication::processEvents();
    EXPECT_LE(graph->height(), 400);
    QScrollArea* column = graph->ColumnArea();
    ASSERT_NE(column, nullptr);
    EXPECT_LE(column->geometry().bottom(), graph->height());
    EXPECT_LE(column->geometry().right(), graph->Graph().x());
    for (QWidget* button : {static_cast<QWidget*>(graph->CloseButton()), static_cast<QWidget*>(graph->PrintButton()),
                            static_cast<QWidget*>(graph->MapButton())}) {
        column->ensureWidgetVisible(button);
        const QRect shown(button->mapTo(column->viewport(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(column->viewport()->rect().contains(shown)) << button->objectName().toStdString();
    }

    // The points bar, opened from the graph's menu command, shows both of
    // its columns.
    graph->resize(1100, 700);
    graph->LapBox(0)->click();
    graph->Graph().GetFrame()->OnGraphCommand(graph_command::kPointsBar);
    QApplication::processEvents();
    QApplication::processEvents();
    auto* bar = static_cast<CPointViewBar*>(graph->Graph().GetFrame()->GetPointsBar());
    ASSERT_TRUE(bar->isVisible());
    EXPECT_GE(bar->width(), bar->OpeningWidth());
    EXPECT_GE(bar->OpeningWidth(), 2 * QFontMetrics(bar->GetList()->font()).horizontalAdvance("-1234.56 Meter"));
}

TEST_F(NewGraphTest, PrintsThePageAndKeepsTheZoom) {
    LoadTwoLaps();
    ASSERT_TRUE(doc->AddLapFromCommandLine(replays.at(2).string(), 0, 1, 2));
    auto graph = Open();
    // Slot 2's curves are drawn in a different green from its driving line.
    graph->LapBox(0)->click();
    graph->LapBox(2)->click();
    graph->Graph().SetRange(100.0, 900.0, 50.0, 300.0, true);
    graph->MapButton()->click();
    graph->FormatCursorInfo(500.0, 0.0);
    ASSERT_GT(fixture::PixelsOf(graph->Map().GetMapImage(), Qt::white), 0);

    // Cancel in the choice prints nothing.
    ui.pdf_path = (config.scratch() / "graph.pdf").string();
    std::string caption;
    graph->SetSecondaryChooser([&](const std::string& text, int primary) -> std::optional<std::vector<int>> {
        caption = text;
        EXPECT_EQ(primary, 1);
        return std::nullopt;
    });
    graph->OnPrint();
    EXPECT_EQ(caption, "Currently selected and primary graph in the printed page is : Speed");
    EXPECT_FALSE(fs::exists(ui.pdf_path));

    graph->SetSecondaryChooser([](const std::string&, int) { return std::optional<std::vector<int>>({3, 20}); });
    graph->OnPrint();
    QFile pdf(QString::fromStdString(ui.pdf_path));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
    EXPECT_TRUE(ui.messages.empty());

    // The shown kind comes back with its zoom.
    EXPECT_EQ(graph->Model().GetCurrentKind(), kSpeed);
    double x0, x1, y0, y1;
    graph->Graph().GetRange(x0, x1, y0, y1);
    EXPECT_DOUBLE_EQ(x0, 100.0);
    EXPECT_DOUBLE_EQ(x1, 900.0);
    EXPECT_DOUBLE_EQ(y1, 300.0);
    // Printing cleared the highlight, and the map window shows it so.
    EXPECT_EQ(fixture::PixelsOf(graph->Map().GetMapImage(), Qt::white), 0);

    // The page as an image: the lap table's rows in the curves' colours,
    // the track drawn in the map area, secondary area 3 empty.
    QImage page(1240, 1754, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        graph->PaintPage(painter, page.size(), {3, 20});
    }
    fixture::CheckScreenshot(page, "graph_page");
    const QRect table(0, 789, 620, 210);
    EXPECT_GT(fixture::PixelsOf(page, Colour(16), table), 20);
    EXPECT_GT(fixture::PixelsOf(page, Colour(18), table), 20);
    EXPECT_EQ(fixture::PixelsOf(page, Colour(2), table), 0);
    EXPECT_GT(fixture::PixelsOf(page, Qt::black, QRect(620, 820, 620, 500)), 50);
    const QRect third(624, 1352, 610, 340);
    EXPECT_EQ(fixture::PixelsOf(page, Qt::white, third), third.width() * third.height());
}

TEST_F(NewGraphTest, PrintChoiceTakesThreeSecondariesAtMost) {
    GraphPrint choice(ui, "Currently selected and primary graph in the printed page is : RPM", 3);
    EXPECT_FALSE(choice.Box(3)->isEnabled());
    EXPECT_EQ(choice.Box(20)->text(), "Suspension");
    choice.show();
    for (int p : {1, 2, 4, 5}) choice.Box(p)->setChecked(true);
    choice.accept();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Max three secondary graphs can be selected"});
    EXPECT_TRUE(choice.isVisible());
    choice.Box(2)->setChecked(false);
    choice.accept();
    EXPECT_EQ(choice.result(), QDialog::Accepted);
    EXPECT_EQ(choice.GetSecondaries(), (std::vector<int>{1, 4, 5}));
}

TEST_F(NewGraphTest, MainWindowOpensTheGraphFromToolsMenu) {
    CMainFrame frame(*doc, ui);
    frame.show();
    ASSERT_TRUE(frame.Run(CMainFrame::kGraph));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No replay lap loaded!"});
    ui.messages.clear();

    LoadTwoLaps();
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* graph = dynamic_cast<NewGraph*>(QApplication::activeModalWidget());
        if (graph == nullptr) return;
        shown = graph->windowTitle();
        graph->LapBox(1)->click();
        fixture::CheckScreenshot(graph->grab().toImage(), "graph_window_from_menu");
        graph->accept();
    });
    ASSERT_TRUE(frame.Run(CMainFrame::kGraphTool));
    EXPECT_EQ(shown, "Telemetry Graph");

    frame.View().playing = true;
    EXPECT_FALSE(frame.Run(CMainFrame::kGraph));
    EXPECT_TRUE(frame.Action(CMainFrame::kGraphTool)->isEnabled());
    frame.View().playing = false;
}

TEST(ResizingDialogTest, AnchorsFollowTheWindowAndItNeverShrinks) {
    CResizingDialog dialog;
    dialog.resize(400, 300);
    auto* moved = new QPushButton("OK", &dialog);
    moved->setGeometry(300, 10, 80, 24);
    auto* stretched = new QLineEdit(&dialog);
    stretched->setGeometry(10, 50, 200, 24);
    auto* share = new QPushButton("Mid", &dialog);
    share->setGeometry(100, 100, 50, 24);
    auto* edge = new QPushButton("Edge", &dialog);
    edge->setGeometry(400, 150, 10, 10);
    dialog.show();
    QApplication::processEvents();
    dialog.InitResizing();
    EXPECT_TRUE(dialog.AddControl(moved, CResizingDialog::kMove, CResizingDialog::kFixed, false));
    EXPECT_TRUE(dialog.AddControl(stretched, CResizingDialog::kStretch, CResizingDialog::kFixed, false));
    EXPECT_TRUE(dialog.AddControl(share, CResizingDialog::kProportional, CResizingDialog::kFixed, false));
    EXPECT_TRUE(dialog.AddControl(edge, CResizingDialog::kProportional, CResizingDialog::kMove, false));
    EXPECT_EQ(dialog.minimumSize(), QSize(400, 300));
    const QPoint grip = dialog.GetSizeGrip()->geometry().bottomRight();
    EXPECT_EQ(grip, QPoint(399, 299));

    struct Step {
        int width, height;
        int moved_left, stretched_width, share_left, edge_left, edge_top;
    };
    const Step steps[] = {
        {430, 300, 330, 230, 107, 430, 150},
        {533, 320, 433, 333, 133, 533, 170},
        {400, 300, 300, 200, 100, 400, 150},
    };
    for (const Step& s : steps) {
        dialog.resize(s.width, s.height);
        QApplication::processEvents();
        EXPECT_EQ(moved->x(), s.moved_left) << s.width;
        EXPECT_EQ(stretched->width(), s.stretched_width) << s.width;
        EXPECT_EQ(share->x(), s.share_left) << s.width;
        EXPECT_EQ(share->width(), 50);
        EXPECT_EQ(edge->x(), s.edge_left) << s.width;
        EXPECT_EQ(edge->y(), s.edge_top) << s.width;
        EXPECT_EQ(dialog.GetSizeGrip()->geometry().bottomRight(), QPoint(s.width - 1, s.height - 1));
    }
    dialog.SetResizeAllowed(false, true);
    EXPECT_EQ(dialog.maximumWidth(), 400);
    EXPECT_FALSE(dialog.AddControl(nullptr, 0, 0, false));
}

}  // namespace
