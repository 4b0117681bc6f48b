// The graph window drawn offscreen: curves on the expected pixels, zoom
// and pan moving them, renders merged within one event turn, the popup
// menu, the coordinate tooltip, printing to PDF, and the screenshot.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QSet>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "graph/axis_scale.h"
#include "graph/graph_commands.h"
#include "graph/graph_cursor_listener.h"
#include "graph/ui/graph_container.h"
#include "graph/ui/graph_frame.h"
#include "graph/ui/graph_panel.h"
#include "graph/ui/graph_picture.h"
#include "graph/ui/graph_wnd.h"
#include "graph/ui/point_view_bar.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kRed = 0x0000FF;  // COLORREF
const QColor kQRed(255, 0, 0);

// A 416 x 316 graph whose plot area is 400 x 300 at 96 dots per inch
// (rulers of 16 pixels), over 0..100 on both axes, flags 0.
struct Graph {
    Graph() {
        wnd.ShowPointsBar(2);
        wnd.resize(416, 316);
        wnd.LayOut();
        wnd.SetPanelFlags(0, false);
        wnd.SetRange(0, 100, 0, 100, false);
    }
    QImage Image() { return RenderGraphImage(wnd, QSize(416, 316)); }
    CGraphPanel& Panel() { return *wnd.GetPanel(); }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(type, QPointF(at), QPointF(Panel().mapToGlobal(at)), button, button, modifiers);
        QApplication::sendEvent(&Panel(), &event);
    }

    CGraphWnd wnd{8, 0};
};

// The row of the red pixels in column x of the plot, or -1.
int RedRow(const QImage& image, int x) {
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == kQRed) return y;
    return -1;
}

TEST(GraphWindow, LaysOutRulersAndPanelByTheirThickness) {
    Graph g;
    EXPECT_EQ(g.Panel().geometry(), QRect(16, 16, 400, 300));
    // Drawn on a device of twice the resolution, the rulers are twice as
    // thick there: grey up to x 31, the plot's white from 32.
    QImage fine(416, 316, QImage::Format_RGB32);
    fine.setDotsPerMeterX(7559);  // 192 dots per inch
    fine.setDotsPerMeterY(7559);
    QPainter painter(&fine);
    g.wnd.DrawToDC(painter, fine.rect());
    painter.end();
    EXPECT_EQ(fine.pixelColor(30, 200), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(fine.pixelColor(200, 30), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(fine.pixelColor(33, 200), QColor(Qt::white));

    g.wnd.GetFrame()->GetContainer()->GetHRuler()->hide();
    g.wnd.resize(416, 317);
    g.wnd.LayOut();
    EXPECT_EQ(g.Panel().geometry(), QRect(16, 0, 400, 317));
}

TEST(GraphWindow, FrameShowsHidesFreezesAndThawsThePointList) {
    Graph g;
    CGraphFrame& frame = *g.wnd.GetFrame();
    frame.ShowPointsBar(3);
    EXPECT_FALSE(frame.IsPointsBarShown());
    frame.ShowPointsBar(4);
    EXPECT_FALSE(frame.GetPointViewBar()->IsLive());
    frame.ShowPointsBar(12);
    EXPECT_TRUE(frame.GetPointViewBar()->IsLive());
    g.wnd.AddGraph(kRed, "a", true);  // notices reach the list too
    EXPECT_EQ(frame.GetPointViewBar()->GetCurrentGraph(), 0);
    EXPECT_FALSE(frame.HasTimer());
    EXPECT_TRUE(CGraphWnd(1, 1).GetFrame()->HasTimer());
}

TEST(GraphWindow, CurveLandsOnTheExpectedPixelsAndFollowsZoomAndPan) {
    Graph g;
    const int curve = g.wnd.AddGraph(kRed, "flat", false);
    g.wnd.AddPoint(curve, 0, 50, false);
    g.wnd.AddPoint(curve, 100, 50, false);
    // y = 50 of 0..100 over 300 plot rows below the 16-pixel ruler: row
    // 316 - 150 = 166.
    EXPECT_EQ(RedRow(g.Image(), 200), 166);

    // Zoom: 25..125 puts 50 a quarter up: 316 - 75.
    g.wnd.SetRange(0, 100, 25, 125, true);
    EXPECT_EQ(RedRow(g.Image(), 200), 241);

    // Pan with Shift and the left button, 30 pixels down: the line follows.
    g.Mouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton, Qt::ShiftModifier);
    g.Mouse(QEvent::MouseMove, QPoint(100, 120), Qt::LeftButton, Qt::ShiftModifier);
    g.Mouse(QEvent::MouseButtonRelease, QPoint(100, 130), Qt::LeftButton, Qt::ShiftModifier);
    double x0, x1, y0, y1;
    g.wnd.GetRange(x0, x1, y0, y1);
    EXPECT_NEAR(y0, 35, 1e-9);
    EXPECT_EQ(RedRow(g.Image(), 200), 271);

    // A band dragged over the left half, then a double click: x 0..50.
    g.Mouse(QEvent::MouseButtonPress, QPoint(1, 1), Qt::LeftButton);
    g.Mouse(QEvent::MouseButtonRelease, QPoint(199, 298), Qt::LeftButton);
    ASSERT_TRUE(g.Panel().GetState().IsZoomToolOn());
    g.Mouse(QEvent::MouseButtonDblClick, QPoint(100, 100), Qt::LeftButton);
    g.wnd.GetRange(x0, x1, y0, y1);
    EXPECT_NEAR(x0, 0, 1e-9);
    EXPECT_NEAR(x1, 50, 1e-9);
    EXPECT_FALSE(g.Panel().GetState().IsZoomToolOn());
}

TEST(GraphWindow, FitOnConstantDataAndDeepZoomStillDraw) {
    Graph g;
    const int curve = g.wnd.AddGraph(kRed, "flat", false);
    for (int i = 0; i <= 10; ++i) g.wnd.AddPoint(curve, i * 10.0, 7.0, false);
    g.Panel().OnGraphCommand(graph_command::kFitPage);
    double x0, x1, y0, y1;
    g.wnd.GetRange(x0, x1, y0, y1);
    EXPECT_NEAR(y0, 6.3, 1e-12);
    EXPECT_NEAR(y1, 7.7, 1e-12);
    EXPECT_EQ(RedRow(g.Image(), 200), 166);

    // A steep line seen through a window 1e-9 wide still crosses it.
    g.wnd.ClearPoints(curve, false);
    g.wnd.AddPoint(curve, 0, 0, false);
    g.wnd.AddPoint(curve, 100, 100, false);
    g.wnd.SetRange(50, 50 + 1e-9, 50, 50 + 1e-9, true);
    const QImage image = g.Image();
    EXPECT_NE(RedRow(image, 216), -1);
}

TEST(GraphWindow, DenseCurveDrawsEverySegmentsPixels) {
    Graph g;
    const int curve = g.wnd.AddGraph(kRed, "dense", false);
    std::vector<QPointF> values;
    for (int i = 0; i < 4000; ++i) values.emplace_back(i * 0.025, 50 + 30 * std::sin(i * 0.37) * std::sin(i * 0.01));
    for (const QPointF& v : values) g.wnd.AddPoint(curve, v.x(), v.y(), false);
    const QImage drawn = g.Image();
    // One polyline through every point's truncated pixel, repeats
    // dropped, drawn into the picture without the curve.
    g.wnd.GetGraph(curve)->SetVisible(false);
    QImage reference = g.Image();
    QPainter painter(&reference);
    painter.setPen(QPen(kQRed, 0));
    const AxisScale xs(16, 416, 0, 100);
    const AxisScale ys(316, 16, 0, 100);
    const auto pixel = [&](const QPointF& v) { return QPoint(xs.ValueToIntPixel(v.x()), ys.ValueToIntPixel(v.y())); };
    QPolygon line;
    for (const QPointF& v : values)
        if (line.isEmpty() || line.back() != pixel(v)) line << pixel(v);
    painter.drawPolyline(line);
    painter.end();
    EXPECT_EQ(drawn, reference);
}

TEST(GraphWindow, RendersWithinOneEventTurnMergeIntoOne) {
    Graph g;
    g.wnd.AddGraph(kRed, "a", false);
    g.wnd.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g.wnd));
    QApplication::processEvents();
    const int before = g.Panel().GetRenderCount();
    for (int i = 0; i < 5; ++i) {
        g.wnd.SetRange(0, 100 + i, 0, 100, true);
        g.wnd.Redraw(-1);
        g.wnd.AddPoint(0, i * 10.0, i, true);
    }
    QApplication::processEvents();
    EXPECT_EQ(g.Panel().GetRenderCount(), before + 1);
    // A point at the end of a curve is drawn into the canvas alone.
    g.wnd.AddPoint(0, 90, 50, true);
    EXPECT_EQ(g.Panel().GetRenderCount(), before + 1);
    // x 90 of 0..104 over 400 pixels: 346; y 50: row 150.
    EXPECT_EQ(g.Panel().GetCanvas().pixelColor(346, 150), kQRed);
}

TEST(GraphWindow, PopupMenuOffersThePanelItemsAndTheirCommandsWork) {
    Graph g;
    g.wnd.SetPanelFlags(4, false);
    std::unique_ptr<QMenu> menu(g.Panel().BuildPopupMenu());
    QStringList texts;
    for (QAction* a : menu->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList{"Point marks", "Show coordinates and highlight track", "Axis", "", "Zoom", "Fit...", "",
                                  "Points", "Properties"}));
    EXPECT_TRUE(menu->actions()[1]->isChecked());
    QMenu* zoom = menu->actions()[4]->menu();
    ASSERT_NE(zoom, nullptr);
    EXPECT_FALSE(zoom->actions()[1]->isEnabled());  // "Apply" needs the tool

    menu->actions()[2]->trigger();  // "Axis"
    EXPECT_EQ(g.wnd.GetPanelFlags(), 4 + 8);
    QApplication::processEvents();
    const int renders = g.Panel().GetRenderCount();
    g.Panel().OnGraphCommand(graph_command::kCoordinates);  // no re-render
    EXPECT_EQ(g.wnd.GetPanelFlags(), 8);
    QApplication::processEvents();
    EXPECT_EQ(g.Panel().GetRenderCount(), renders);

    CGraphBaseClass::SendCommandUp(&g.Panel(), graph_command::kPointsBar);  // the frame's
    EXPECT_TRUE(g.wnd.GetFrame()->IsPointsBarShown());
}

struct Listener : GraphCursorListener {
    std::string FormatCursorInfo(double x, double) override {
        seen = x;
        return ", timediff=+0m 00.100s";
    }
    double seen = -1;
};

TEST(GraphWindow, TooltipShowsValuesWithUnitsAndTheListenersText) {
    Graph g;
    Listener listener;
    g.Panel().SetCursorListener(&listener);
    g.wnd.SetAxisLabel("Distance", "Meter", 0, 1, true);
    g.wnd.SetAxisLabel("Throttle", "%", 1, 0, true);
    EXPECT_EQ(g.Panel().FormatTipText(100, 150), "x=25 Meter, y=50.0 %, timediff=+0m 00.100s");
    EXPECT_EQ(listener.seen, 25);
    EXPECT_EQ(g.wnd.GetFrame()->GetContainer()->GetVRuler()->toolTip(), QString("Throttle, %"));
}

TEST(GraphWindow, PrintsToAPdfPage) {
    fixture::TempDir dir;
    fixture::RecordingInteraction interaction;
    interaction.pdf_path = dir.File("graph.pdf");
    Graph g;
    const int curve = g.wnd.AddGraph(kRed, "a", false);
    for (int i = 0; i <= 100; ++i) g.wnd.AddPoint(curve, i, 50 + 40 * std::sin(i / 10.0), false);
    QPrinter printer;
    ASSERT_TRUE(interaction.SetUpPrinter(&printer));
    QPainter painter(&printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    g.wnd.DrawToDC(painter, QRect(0, 0, page.width(), page.height() / 2));
    painter.end();
    QFile pdf(QString::fromStdString(interaction.pdf_path));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    EXPECT_GT(bytes.size(), 2000);
}

// Builds the screenshot graph: five laps' worth of speed-like curves in
// the lap graph colours.
TEST(GraphScreenshot, SeveralCurvesWithAxesAndRulers) {
    const uint32_t colours[] = {0x0000FF, 0xFF0000, 0x007F00, 0xFF00FF, 0x007F7F};
    GraphModel model(32);
    model.SetAxisLabel("Meter", "Meter", 0, 1, false);
    model.SetAxisLabel("Speed", "km/h", 0, 0, false);
    for (int lap = 0; lap < 5; ++lap) {
        const int g = model.AddGraph(colours[lap], "New graph - " + std::to_string(lap), false);
        for (int i = 0; i <= 3000; i += 5)
            model.AddPoint(g, i, 150 + 80 * std::sin(i / 300.0 + lap * 0.15) + 10 * std::sin(i / 37.0) + lap * 6,
                           false);
    }
    std::unique_ptr<CGraphWnd> graph = BuildGraphWnd(model, QSize(800, 450));
    graph->SetPanelFlags(4 + 8, false);
    const auto curve_colours = [&](const QImage& image) {
        QSet<QRgb> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y) & 0xFFFFFF;
                for (uint32_t cr : colours)
                    if (c == (qRgb(cr & 0xFF, (cr >> 8) & 0xFF, cr >> 16) & 0xFFFFFF)) found.insert(c);
            }
        return found.size();
    };
    EXPECT_EQ(curve_colours(RenderGraphImage(*graph, QSize(800, 450))), 5);
    // The window as it shows on screen: rulers, grid and the five curves.
    graph->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    const QImage image = graph->grab().toImage();
    EXPECT_EQ(curve_colours(image), 5);
    EXPECT_EQ(image.pixelColor(2, 200), QColor(0xC0, 0xC0, 0xC0));  // vertical ruler
    EXPECT_EQ(image.pixelColor(400, 2), QColor(0xC0, 0xC0, 0xC0));  // horizontal ruler
    if (const char* dir = std::getenv("OSTREVAN_SCREENSHOT_DIR"); dir != nullptr && *dir != '\0') {
        QDir().mkpath(dir);
        EXPECT_TRUE(image.save(QDir(dir).filePath("graph.png")));
    }
}

}  // namespace
