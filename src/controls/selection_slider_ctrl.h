#pragma once
// A slider on which moving with Shift held selects a range: the first move
// with Shift anchors the selection at the position before the move, later
// moves with Shift stretch it from the anchor to the new position, and a
// move without Shift drops the anchor and clears the selection. Releasing
// the key or the handle while Shift is still down keeps the anchor, so
// Shift+arrow steps select from where they started.
//
// Nothing is selected unless selection is enabled (SetSelectionEnabled).

#include <QSlider>
#include <optional>
#include <utility>

class CSelectionSliderCtrl : public QSlider {
    Q_OBJECT
public:
    explicit CSelectionSliderCtrl(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    void SetSelectionEnabled(bool enabled) { enabled_ = enabled; }
    // The selected range (smaller end first), or nullopt.
    std::optional<std::pair<int, int>> selection() const { return selection_; }
    void ClearSel();
    int anchor() const { return anchor_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Moved(int before, int now);
    void EndTrack();

    bool selecting_ = false;
    int anchor_ = -1;  // -1: none
    bool enabled_ = false;
    bool shift_ = false;
    int last_ = 0;
    std::optional<std::pair<int, int>> selection_;
};
