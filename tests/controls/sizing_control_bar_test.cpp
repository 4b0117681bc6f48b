// The sizing control bar in a frame, offscreen: its sizes per side, the
// minimum size, the gripper's close button and double clicks.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTest>

#include "controls/sizing_control_bar.h"

namespace {

struct Frame {
    Frame() {
        window.setCentralWidget(new QWidget);
        window.resize(800, 600);
        bar->Create("Points", &window, QSize(150, 200), true, 11003);
        window.addDockWidget(Qt::RightDockWidgetArea, bar);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        Settle();
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    QMainWindow window;
    CSizingControlBar* bar = new CSizingControlBar;
};

TEST(SizingControlBar, KeepsOneSizePerSideAndNeverGetsSmallerThanItsMinimum) {
    Frame f;
    EXPECT_EQ(f.bar->GetId(), 11003);
    EXPECT_EQ(f.bar->GetDockSide(), CSizingControlBar::Side::Right);
    EXPECT_EQ(f.bar->width(), 150);
    EXPECT_FALSE(f.bar->features().testFlag(QDockWidget::DockWidgetVerticalTitleBar));

    f.window.resizeDocks({f.bar}, {220}, Qt::Horizontal);  // the user drags the inner edge
    Frame::Settle();
    EXPECT_EQ(f.bar->GetVerticalSize().width(), 220);

    f.window.addDockWidget(Qt::BottomDockWidgetArea, f.bar);  // docked at the bottom
    Frame::Settle();
    EXPECT_EQ(f.bar->GetDockSide(), CSizingControlBar::Side::Bottom);
    EXPECT_EQ(f.bar->height(), 200);
    // Docked across the frame, the gripper runs along the left edge.
    EXPECT_TRUE(f.bar->features().testFlag(QDockWidget::DockWidgetVerticalTitleBar));

    f.window.addDockWidget(Qt::RightDockWidgetArea, f.bar);  // back: its width there
    Frame::Settle();
    EXPECT_EQ(f.bar->width(), 220);

    f.bar->setFloating(true);
    Frame::Settle();
    EXPECT_EQ(f.bar->size(), QSize(150, 200));
    f.bar->resize(5, 5);
    EXPECT_GE(f.bar->width(), CSizingControlBar::kMinWidth);
    EXPECT_GE(f.bar->height(), CSizingControlBar::kMinHeight);
}

TEST(SizingControlBar, DoubleClickFloatsAndDocksAndTheCloseButtonHides) {
    Frame f;
    const auto double_click = [&f] {
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, f.bar->height() - 2), QPointF(), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(f.bar, &click);
        Frame::Settle();
    };
    double_click();
    EXPECT_TRUE(f.bar->isFloating());
    double_click();
    EXPECT_FALSE(f.bar->isFloating());
    EXPECT_EQ(f.bar->GetDockSide(), CSizingControlBar::Side::Right);

    auto* close = f.bar->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_TRUE(f.bar->isHidden());

    CSizingControlBar plain;
    plain.Create("plain", nullptr, QSize(10, 10), false, 1);
    EXPECT_EQ(plain.GetFloatingSize(), QSize(33, 32));
    // Without a gripper there is no title bar to close it by.
    EXPECT_FALSE(plain.HasGripper());
    EXPECT_NE(plain.titleBarWidget(), nullptr);
}

}  // namespace
