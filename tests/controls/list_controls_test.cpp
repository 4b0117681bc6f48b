// The drag-and-drop list: drops of several rows, whole rows moving with
// their text, check state and data, an owner taking the drop, a drag with
// the mouse, and the auto-scroll above the list.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include "controls/drag_drop_list_ctrl.h"

namespace {

QStringList Column(const QTreeWidget& list, int column = 0) {
    QStringList out;
    for (int r = 0; r < list.topLevelItemCount(); ++r) out << list.topLevelItem(r)->text(column);
    return out;
}

void Fill(QTreeWidget& list, const QStringList& texts) {
    list.setColumnCount(2);
    for (int r = 0; r < texts.size(); ++r) {
        auto* item = new QTreeWidgetItem(&list, {texts[r], QString("second %1").arg(r)});
        item->setData(0, Qt::UserRole, r);
    }
}

TEST(DragDropList, DropsTheDraggedRowsBeforeTheTargetInTheirOrder) {
    struct Case {
        std::vector<int> dragged;
        int drop;
        QStringList order;
    };
    const Case cases[] = {
        {{1, 3}, 5, {"0", "2", "4", "1", "3", "5"}},
        {{1, 3}, -1, {"0", "2", "4", "5", "1", "3"}},
        {{1, 3}, 6, {"0", "2", "4", "5", "1", "3"}},
        {{1, 3}, 0, {"1", "3", "0", "2", "4", "5"}},
        {{2}, 2, {"0", "1", "2", "3", "4", "5"}},
        {{2}, 3, {"0", "1", "2", "3", "4", "5"}},
        {{4, 9}, 1, {"0", "4", "1", "2", "3", "5"}},
    };
    for (const Case& c : cases) {
        CDragDropListCtrl list;
        Fill(list, {"0", "1", "2", "3", "4", "5"});
        EXPECT_FALSE(list.OrderChanged());
        list.DropRows(c.dragged, c.drop);
        EXPECT_EQ(Column(list), c.order) << c.drop;
        EXPECT_TRUE(list.OrderChanged());
    }

    // A moved row keeps its whole text, its check box and its data.
    CDragDropListCtrl list;
    Fill(list, {"0", "1", "2"});
    const QString long_text(400, 'z');
    list.topLevelItem(0)->setText(1, long_text);
    list.topLevelItem(0)->setCheckState(0, Qt::Checked);
    list.DropRows({0}, -1);
    QTreeWidgetItem* moved = list.topLevelItem(2);
    EXPECT_EQ(moved->text(1), long_text);
    EXPECT_EQ(moved->checkState(0), Qt::Checked);
    EXPECT_EQ(moved->data(0, Qt::UserRole).toInt(), 0);
    EXPECT_TRUE(moved->isSelected());
}

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST(DragDropList, AnOwnerKeepingItsOwnRowsTakesTheDropAndBelowTheLastRowIsTheEnd) {
    CDragDropListCtrl list;
    Fill(list, {"0", "1", "2", "3"});
    std::vector<std::pair<std::vector<int>, int>> drops;
    list.SetDropHandler([&](const std::vector<int>& dragged, int before) { drops.emplace_back(dragged, before); });
    list.DropRows({1, 3}, -1);
    list.DropRows({0}, 2);
    ASSERT_EQ(drops.size(), 2u);
    EXPECT_EQ(drops[0], (std::pair{std::vector<int>{1, 3}, 4}));
    EXPECT_EQ(drops[1], (std::pair{std::vector<int>{0}, 2}));
    EXPECT_EQ(Column(list), (QStringList{"0", "1", "2", "3"})) << "the owner moves its rows";
    EXPECT_TRUE(list.OrderChanged());

    // Released in the empty space under the rows, after passing over one.
    CDragDropListCtrl own;
    Fill(own, {"0", "1", "2", "3"});
    own.resize(300, 300);
    own.show();
    QApplication::processEvents();
    QWidget* port = own.viewport();
    const QPoint row0 = own.visualItemRect(own.topLevelItem(0)).center();
    const QPoint below(row0.x(), own.visualItemRect(own.topLevelItem(3)).bottom() + 30);
    own.topLevelItem(0)->setSelected(true);
    Mouse(port, QEvent::MouseButtonPress, row0, Qt::LeftButton);
    Mouse(port, QEvent::MouseMove, own.visualItemRect(own.topLevelItem(2)).center(), Qt::LeftButton);
    EXPECT_EQ(own.DropIndex(), 2);
    Mouse(port, QEvent::MouseMove, below, Qt::LeftButton);
    EXPECT_EQ(own.DropIndex(), -1);
    EXPECT_FALSE(own.topLevelItem(2)->isSelected()) << "the target row is no longer lit";
    Mouse(port, QEvent::MouseButtonRelease, below, Qt::NoButton);
    EXPECT_EQ(Column(own), (QStringList{"1", "2", "3", "0"}));
}

TEST(DragDropList, AClickWithoutADragOnAChosenRowChoosesItAlone) {
    CDragDropListCtrl list;
    Fill(list, {"0", "1", "2"});
    list.resize(300, 200);
    list.show();
    QApplication::processEvents();
    list.topLevelItem(0)->setSelected(true);
    list.topLevelItem(2)->setSelected(true);
    const QPoint at = list.visualItemRect(list.topLevelItem(2)).center();
    Mouse(list.viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(list.viewport(), QEvent::MouseMove, at + QPoint(1, 0), Qt::LeftButton);
    EXPECT_TRUE(list.topLevelItem(0)->isSelected());
    Mouse(list.viewport(), QEvent::MouseButtonRelease, at, Qt::NoButton);
    EXPECT_FALSE(list.topLevelItem(0)->isSelected());
    EXPECT_TRUE(list.topLevelItem(2)->isSelected());
    EXPECT_FALSE(list.OrderChanged());
}

TEST(DragDropList, DragsWithTheMouseAndScrollsWhileHeldAboveTheList) {
    CDragDropListCtrl list;
    QStringList rows;
    for (int r = 0; r < 40; ++r) rows << QString::number(r);
    Fill(list, rows);
    list.resize(300, 200);
    list.show();
    QApplication::processEvents();
    QWidget* port = list.viewport();
    const auto centre = [&](int row) { return list.visualItemRect(list.topLevelItem(row)).center(); };

    list.topLevelItem(1)->setSelected(true);
    list.topLevelItem(2)->setSelected(true);
    Mouse(port, QEvent::MouseButtonPress, centre(1), Qt::LeftButton);
    EXPECT_TRUE(list.topLevelItem(2)->isSelected()) << "the press keeps both chosen";
    Mouse(port, QEvent::MouseMove, centre(1) + QPoint(0, 20), Qt::LeftButton);
    ASSERT_TRUE(list.IsDragging());
    Mouse(port, QEvent::MouseMove, centre(5), Qt::LeftButton);
    EXPECT_EQ(list.DropIndex(), 5);
    Mouse(port, QEvent::MouseButtonRelease, centre(5), Qt::NoButton);
    EXPECT_FALSE(list.IsDragging());
    EXPECT_EQ(Column(list).mid(0, 6), (QStringList{"0", "3", "4", "1", "2", "5"}));

    // Held above the list: it scrolls up a line per tick, the target with it.
    // The test ticks the list itself; its timer never fires.
    const QSignalBlocker held(list.ScrollTimer());
    list.scrollToBottom();
    QApplication::processEvents();
    const int bottom = list.verticalScrollBar()->value();
    list.clearSelection();
    const QPoint last = centre(39);
    list.topLevelItem(39)->setSelected(true);
    Mouse(port, QEvent::MouseButtonPress, last, Qt::LeftButton);
    list.topLevelItem(39)->setSelected(true);
    Mouse(port, QEvent::MouseMove, last - QPoint(0, 30), Qt::LeftButton);
    const int target = list.DropIndex();
    Mouse(port, QEvent::MouseMove, QPoint(20, -15), Qt::LeftButton);
    EXPECT_EQ(list.ScrollDirection(), CDragDropListCtrl::Scroll::kUp);
    EXPECT_TRUE(list.IsAutoScrolling());
    list.OnTimer();
    list.OnTimer();
    EXPECT_LT(list.verticalScrollBar()->value(), bottom);
    EXPECT_EQ(list.DropIndex(), target - 2);
    Mouse(port, QEvent::MouseMove, centre(target - 2), Qt::LeftButton);
    EXPECT_FALSE(list.IsAutoScrolling());
    Mouse(port, QEvent::MouseButtonRelease, centre(target - 2), Qt::NoButton);
    EXPECT_EQ(list.topLevelItem(target - 2)->text(0), "39");
}

}  // namespace
