// The graph panel's off-screen canvas: a layout at the same size keeps the
// picture, a new size makes a new white canvas drawn at the next paint, a
// paint copies its rectangle of the canvas to the same place, and a panel
// of no size has no canvas and draws nothing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <QTest>

#include "graph/ui/f_h_ruler.h"
#include "graph/ui/f_v_ruler.h"
#include "graph/ui/graph_panel.h"
#include "graph/ui/graph_wnd.h"

namespace {

const QColor kQRed(255, 0, 0);

// A flat red line at y 50 of 0..100 in a 400 x 300 plot: row 150.
struct ShownGraph {
    ShownGraph() {
        wnd.ShowPointsBar(2);
        wnd.resize(416, 316);
        wnd.LayOut();
        wnd.SetPanelFlags(0, false);
        wnd.SetRange(0, 100, 0, 100, false);
        const int curve = wnd.AddGraph(0x0000FF, "flat", false);
        wnd.AddPoint(curve, 0, 50, false);
        wnd.AddPoint(curve, 100, 50, false);
        wnd.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&wnd));
        QApplication::processEvents();
    }
    CGraphPanel& Panel() { return *wnd.GetPanel(); }

    CGraphWnd wnd{8, 0};
};

TEST(GraphPanelCanvas, SameSizeKeepsThePictureAndANewSizeIsDrawnAnewOnWhite) {
    ShownGraph g;
    CGraphPanel& panel = g.Panel();
    ASSERT_EQ(panel.GetCanvas().size(), QSize(400, 300));
    ASSERT_EQ(panel.GetCanvas().pixelColor(200, 150), kQRed);
    const QImage before = panel.GetCanvas();
    const int renders = panel.GetRenderCount();

    panel.LayOut();
    QApplication::processEvents();
    EXPECT_EQ(panel.GetRenderCount(), renders);
    EXPECT_EQ(panel.GetCanvas(), before);

    g.wnd.resize(516, 416);
    ASSERT_EQ(panel.GetCanvas().size(), QSize(500, 400));
    EXPECT_EQ(panel.GetCanvas().pixelColor(250, 200), QColor(Qt::white)) << "new memory is never shown uncleared";
    QApplication::processEvents();
    EXPECT_EQ(panel.GetRenderCount(), renders + 1);
    EXPECT_EQ(panel.GetCanvas().pixelColor(250, 200), kQRed);
}

TEST(GraphPanelCanvas, PaintCopiesItsRectangleToTheSamePlace) {
    ShownGraph g;
    CGraphPanel& panel = g.Panel();
    QImage target(400, 300, QImage::Format_RGB32);
    target.fill(Qt::green);
    // The region lands at the target offset: the same place again.
    panel.render(&target, QPoint(100, 100), QRegion(100, 100, 150, 100));
    for (const QPoint& p : {QPoint(100, 100), QPoint(249, 199), QPoint(120, 120)})
        EXPECT_EQ(target.pixel(p), panel.GetCanvas().pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(target.pixelColor(200, 150), kQRed);
    for (const QPoint& p : {QPoint(99, 150), QPoint(250, 150), QPoint(200, 99), QPoint(200, 200)})
        EXPECT_EQ(target.pixelColor(p), QColor(Qt::green)) << p.x() << "," << p.y();
}

TEST(GraphPanelCanvas, NoSizeNoCanvasAndNothingDrawn) {
    FVRuler v_ruler;
    FHRuler h_ruler;
    CGraphPanel panel(&v_ruler, &h_ruler);
    panel.resize(0, 0);
    panel.LayOut();
    EXPECT_TRUE(panel.GetCanvas().isNull());
    panel.Render();
    QApplication::processEvents();
    EXPECT_EQ(panel.GetRenderCount(), 0);

    panel.resize(40, 30);
    panel.LayOut();
    ASSERT_EQ(panel.GetCanvas().size(), QSize(40, 30));
    EXPECT_EQ(panel.GetCanvas().pixelColor(20, 15), QColor(Qt::white));
    panel.grab();
    EXPECT_EQ(panel.GetRenderCount(), 1);
}

}  // namespace
