#pragma once
// A report-style list (a QTreeWidget without branches) whose selected rows
// the user drags with the mouse to another place: the row under the
// cursor is highlighted as the drop target, and while the mouse is held
// above or below the list it scrolls one line every 100 ms and the
// highlight follows. On release the dragged rows go, in their order,
// before the target row, or after the last row when there is none (the
// cursor below the last row drops there too). Rows move whole: every
// cell's full text, the check state and the item data.
//
// OrderChanged() is set by every drop and never cleared by the control;
// the owning dialog reads it to know whether to save the new order.

#include <QTreeWidget>
#include <functional>
#include <vector>

class QLabel;
class QTimer;

class CDragDropListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kScrollIntervalMs = 100;
    enum class Scroll { kNone, kUp, kDown };

    explicit CDragDropListCtrl(QWidget* parent = nullptr);
    ~CDragDropListCtrl() override;

    bool OrderChanged() const { return order_changed_; }
    bool IsDragging() const { return dragging_; }
    // The row the drop goes to; -1 when none is highlighted.
    int DropIndex() const { return drop_index_; }
    Scroll ScrollDirection() const { return scroll_; }
    bool IsAutoScrolling() const;

    // Moves the rows dragged (indices in list order) to the drop index, as a
    // drop does; an index outside the rows appends them at the end.
    void DropRows(std::vector<int> dragged, int drop_index);
    // For an owner whose list shows rows it keeps itself: a drop then
    // hands it the dragged rows (indices in list order) and the row they
    // go before (the row count for the end) and moves nothing.
    using DropHandler = std::function<void(const std::vector<int>& dragged, int before)>;
    void SetDropHandler(DropHandler handler) { drop_handler_ = std::move(handler); }
    // One step of the auto-scroll timer.
    void OnTimer();
    // The auto-scroll timer, whose timeouts run OnTimer(); owned by the list.
    QTimer* ScrollTimer() const { return timer_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BeginDrag(const QPoint& at);
    void DragTo(const QPoint& at);
    void EndDrag();
    void Highlight(int row);
    void Unhighlight();
    void MoveImage(const QPoint& global);

    std::vector<int> dragged_;
    int drop_index_ = -1;
    int highlighted_ = -1;
    bool highlighted_was_selected_ = false;
    bool dragging_ = false;
    bool order_changed_ = false;
    Scroll scroll_ = Scroll::kNone;
    QTimer* timer_ = nullptr;
    QLabel* image_ = nullptr;
    QPoint hot_spot_;
    QPoint press_;
    // A plain press on a chosen row that has not yet become a drag.
    bool held_on_selected_ = false;
    DropHandler drop_handler_;
};
