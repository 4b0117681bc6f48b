#include "controls/drag_drop_list_ctrl.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRegion>
#include <QScrollBar>
#include <QTimer>

CDragDropListCtrl::CDragDropListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    timer_ = new QTimer(this);
    timer_->setInterval(kScrollIntervalMs);
    connect(timer_, &QTimer::timeout, this, &CDragDropListCtrl::OnTimer);
}

CDragDropListCtrl::~CDragDropListCtrl() {
    timer_->stop();
    delete image_;
}

bool CDragDropListCtrl::IsAutoScrolling() const { return timer_->isActive(); }

void CDragDropListCtrl::mousePressEvent(QMouseEvent* event) {
    press_ = event->position().toPoint();
    // A plain press on a chosen row may start a drag of every chosen row,
    // so it keeps them all; the row alone becomes the choice only when the
    // button comes up without a drag.
    QTreeWidgetItem* item = itemAt(press_);
    held_on_selected_ = event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && item != nullptr &&
                        item->isSelected();
    if (held_on_selected_) {
        setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CDragDropListCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!dragging_) {
        timer_->stop();
        // A drag starts from a selected row once the mouse has moved far
        // enough with the button held; otherwise the list selects as usual.
        QTreeWidgetItem* pressed = itemAt(press_);
        if ((event->buttons() & Qt::LeftButton) && pressed && pressed->isSelected() &&
            (at - press_).manhattanLength() >= QApplication::startDragDistance()) {
            held_on_selected_ = false;
            BeginDrag(at);
            if (dragging_) DragTo(at);
            return;
        }
        // The list did not see that press and must not select from it.
        if (!held_on_selected_) QTreeWidget::mouseMoveEvent(event);
        return;
    }
    DragTo(at);
}

void CDragDropListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) {
        if (held_on_selected_) {
            held_on_selected_ = false;
            if (QTreeWidgetItem* item = itemAt(press_)) setCurrentItem(item);
            event->accept();
            return;
        }
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    timer_->stop();
    scroll_ = Scroll::kNone;
    const int drop = drop_index_;
    EndDrag();
    DropRows(dragged_, drop);
    dragged_.clear();
    event->accept();
}

void CDragDropListCtrl::BeginDrag(const QPoint& at) {
    highlighted_ = -1;
    dragged_.clear();
    for (int r = 0; r < topLevelItemCount(); ++r)
        if (topLevelItem(r)->isSelected()) dragged_.push_back(r);
    if (dragged_.empty()) return;

    // The picture that follows the cursor: the dragged rows as the list
    // shows them, in their places over the union of their rectangles; the
    // rows between them are left out.
    QRect area;
    QRegion rows;
    for (int r : dragged_) {
        const QRect row = visualItemRect(topLevelItem(r)).adjusted(0, 0, viewport()->width(), 0);
        area = area.united(row);
        rows += row;
    }
    area = area.intersected(viewport()->rect());
    if (!area.isEmpty()) {
        image_ = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        image_->setAttribute(Qt::WA_TransparentForMouseEvents);
        image_->setPixmap(viewport()->grab(area));
        image_->setMask(rows.intersected(area).translated(-area.topLeft()));
        image_->setWindowOpacity(0.7);
        image_->resize(area.size());
        hot_spot_ = at - area.topLeft();
        MoveImage(viewport()->mapToGlobal(at));
        image_->show();
    }
    dragging_ = true;
    drop_index_ = -1;
}

void CDragDropListCtrl::MoveImage(const QPoint& global) {
    if (image_) image_->move(global - hot_spot_);
}

void CDragDropListCtrl::DragTo(const QPoint& at) {
    MoveImage(viewport()->mapToGlobal(at));
    // The target is the row at the cursor's height, wherever across the
    // list the cursor is.
    if (viewport()->rect().contains(QPoint(8, at.y()))) {
        if (QTreeWidgetItem* item = itemAt(QPoint(8, at.y()))) {
            Highlight(indexOfTopLevelItem(item));
        } else {
            // Below the last row: the rows go to the end, the only place no
            // row stands before.
            Unhighlight();
            drop_index_ = -1;
        }
    }
    const QRect zone = viewport()->rect();
    if (at.y() < zone.top()) {
        scroll_ = Scroll::kUp;
        if (!timer_->isActive()) timer_->start();
    } else if (at.y() > zone.bottom()) {
        scroll_ = Scroll::kDown;
        if (!timer_->isActive()) timer_->start();
    } else {
        scroll_ = Scroll::kNone;
        timer_->stop();
    }
}

void CDragDropListCtrl::Highlight(int row) {
    if (row < 0 || row >= topLevelItemCount()) return;
    if (highlighted_ == row) return;
    Unhighlight();
    QTreeWidgetItem* item = topLevelItem(row);
    highlighted_was_selected_ = item->isSelected();
    item->setSelected(true);
    highlighted_ = row;
    drop_index_ = row;
    viewport()->repaint();
}

void CDragDropListCtrl::Unhighlight() {
    if (highlighted_ >= 0 && highlighted_ < topLevelItemCount())
        topLevelItem(highlighted_)->setSelected(highlighted_was_selected_);
    highlighted_ = -1;
}

void CDragDropListCtrl::OnTimer() {
    if (!dragging_) {
        timer_->stop();
        return;
    }
    if (image_) image_->hide();
    // Without a target row there is no row above or below it to follow.
    if (scroll_ == Scroll::kUp) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        if (drop_index_ >= 0) Highlight(drop_index_ - 1);
    } else if (scroll_ == Scroll::kDown) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        if (drop_index_ >= 0) Highlight(drop_index_ + 1);
    }
    if (image_) image_->show();
}

void CDragDropListCtrl::EndDrag() {
    delete image_;
    image_ = nullptr;
    dragging_ = false;
    Unhighlight();
}

void CDragDropListCtrl::DropRows(std::vector<int> dragged, int drop) {
    order_changed_ = true;
    const int count = topLevelItemCount();
    if (drop < 0 || drop >= count) drop = count;
    if (drop_handler_) {
        drop_handler_(dragged, drop);
        return;
    }
    std::vector<QTreeWidgetItem*> moved;
    for (size_t k = 0; k < dragged.size(); ++k) {
        const int i = dragged[k];
        if (i < 0 || i >= count) continue;
        // The row moves whole, so no text is cut and no cell is lost. It
        // lands before the drop row: one place lower when it came from
        // above that row.
        QTreeWidgetItem* item = takeTopLevelItem(i);
        const int to = drop <= i ? drop : drop - 1;
        insertTopLevelItem(to, item);
        moved.push_back(item);
        for (size_t m = k + 1; m < dragged.size(); ++m) {
            int& j = dragged[m];
            if (j > i && j < drop) --j;
            else if (j > drop && j < i) ++j;
        }
        if (drop < i) ++drop;
    }
    // The moved rows stay selected; no other row is.
    clearSelection();
    for (QTreeWidgetItem* item : moved) item->setSelected(true);
}
