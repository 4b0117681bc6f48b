#include "controls/selection_slider_ctrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

CSelectionSliderCtrl::CSelectionSliderCtrl(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {
    last_ = value();
    connect(this, &QAbstractSlider::valueChanged, this, [this](int now) {
        const int before = last_;
        last_ = now;
        Moved(before, now);
    });
}

void CSelectionSliderCtrl::ClearSel() {
    selection_.reset();
    update();
}

void CSelectionSliderCtrl::Moved(int before, int now) {
    if (!enabled_) return;
    if (!selecting_) {
        if (!shift_) anchor_ = -1;
        if (anchor_ == -1) ClearSel();
        if (shift_) {
            selecting_ = true;
            if (anchor_ == -1) anchor_ = before;
        }
    }
    if (!selecting_) return;
    selection_ = std::make_pair(std::min(anchor_, now), std::max(anchor_, now));
    update();
}

void CSelectionSliderCtrl::EndTrack() {
    if (!enabled_) return;
    // Shift still down: the next step with Shift goes on from the anchor.
    if (!(selecting_ && shift_)) anchor_ = -1;
    selecting_ = false;
}

void CSelectionSliderCtrl::keyPressEvent(QKeyEvent* event) {
    shift_ = event->modifiers() & Qt::ShiftModifier;
    QSlider::keyPressEvent(event);
}

void CSelectionSliderCtrl::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift) {
        shift_ = false;
    } else {
        shift_ = event->modifiers() & Qt::ShiftModifier;
        EndTrack();
    }
    QSlider::keyReleaseEvent(event);
}

void CSelectionSliderCtrl::mousePressEvent(QMouseEvent* event) {
    shift_ = event->modifiers() & Qt::ShiftModifier;
    QSlider::mousePressEvent(event);
}

void CSelectionSliderCtrl::mouseMoveEvent(QMouseEvent* event) {
    shift_ = event->modifiers() & Qt::ShiftModifier;
    QSlider::mouseMoveEvent(event);
}

void CSelectionSliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    shift_ = event->modifiers() & Qt::ShiftModifier;
    QSlider::mouseReleaseEvent(event);
    EndTrack();
}

void CSelectionSliderCtrl::paintEvent(QPaintEvent* event) {
    if (selection_) {
        // The selected range as a band along the groove, under the handle.
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
        const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
        const bool horizontal = orientation() == Qt::Horizontal;
        const int span = horizontal ? groove.width() - handle.width() : groove.height() - handle.height();
        const int from = QStyle::sliderPositionFromValue(minimum(), maximum(), selection_->first, span, opt.upsideDown);
        const int to = QStyle::sliderPositionFromValue(minimum(), maximum(), selection_->second, span, opt.upsideDown);
        QPainter p(this);
        const QColor band = palette().color(QPalette::Highlight);
        if (horizontal) {
            const int x = groove.left() + handle.width() / 2;
            p.fillRect(QRect(x + std::min(from, to), groove.center().y() - 3, std::abs(to - from) + 1, 7), band);
        } else {
            const int y = groove.top() + handle.height() / 2;
            p.fillRect(QRect(groove.center().x() - 3, y + std::min(from, to), 7, std::abs(to - from) + 1), band);
        }
    }
    QSlider::paintEvent(event);
}
