#include "controls/resizing_dialog.h"

#include <QResizeEvent>
#include <QSizeGrip>
#include <cmath>

CResizingDialog::CResizingDialog(QWidget* parent) : QDialog(parent) {}

CResizingDialog::~CResizingDialog() = default;

void CResizingDialog::InitResizing() {
    if (initialised_) return;
    last_size_ = size();
    minimum_ = size();
    grip_ = new QSizeGrip(this);
    grip_->setObjectName("SizeGrip");
    grip_->setProperty("controlId", kGripId);
    grip_->resize(grip_->sizeHint());
    grip_->move(width() - grip_->width(), height() - grip_->height());
    grip_->show();
    initialised_ = true;
    AddControl(grip_, kMove, kMove, true);
    ApplyLimits();
}

bool CResizingDialog::AddControl(QWidget* control, int h_mode, int v_mode, bool exclude_from_erase) {
    if (!initialised_ || control == nullptr || control->parentWidget() != this) return false;
    ResizeAnchor anchor;
    anchor.control = control;
    anchor.h_mode = h_mode;
    anchor.v_mode = v_mode;
    anchor.rect = control->geometry();
    anchor.exclude_from_erase = exclude_from_erase;
    // left / (width - left) as a ratio r puts the edge at width x r / (r + 1)
    // later, which is the share left / width; kept as the share, so a
    // control at the very edge needs no division by nothing.
    if (last_size_.width() > 0) anchor.h_share = static_cast<double>(anchor.rect.left()) / last_size_.width();
    if (last_size_.height() > 0) anchor.v_share = static_cast<double>(anchor.rect.top()) / last_size_.height();
    anchors_.push_back(anchor);
    return true;
}

void CResizingDialog::SetResizeAllowed(bool horizontal, bool vertical) {
    horizontal_allowed_ = horizontal;
    vertical_allowed_ = vertical;
    ApplyLimits();
}

void CResizingDialog::ApplyLimits() {
    if (!initialised_) return;
    setMinimumSize(minimum_);
    setMaximumWidth(horizontal_allowed_ ? QWIDGETSIZE_MAX : minimum_.width());
    setMaximumHeight(vertical_allowed_ ? QWIDGETSIZE_MAX : minimum_.height());
}

QRect CResizingDialog::Place(const ResizeAnchor& anchor, int dx, int dy, int width, int height) {
    int left = anchor.rect.left();
    int top = anchor.rect.top();
    int w = anchor.rect.width();
    int h = anchor.rect.height();
    switch (anchor.h_mode) {
    case kStretch: w += dx; break;
    case kMove: left += dx; break;
    case kProportional: left = static_cast<int>(std::trunc(width * anchor.h_share)); break;
    default: break;
    }
    switch (anchor.v_mode) {
    case kStretch: h += dy; break;
    case kMove: top += dy; break;
    case kProportional: top = static_cast<int>(std::trunc(height * anchor.v_share)); break;
    default: break;
    }
    return QRect(left, top, std::max(0, w), std::max(0, h));
}

void CResizingDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (anchors_.empty()) return;
    const QSize now = event->size();
    const int dx = now.width() - last_size_.width();
    const int dy = now.height() - last_size_.height();
    // Every control is placed before any repaint, so the window repaints
    // once.
    for (ResizeAnchor& anchor : anchors_) {
        const QRect placed = Place(anchor, dx, dy, now.width(), now.height());
        if (placed == anchor.rect) continue;
        anchor.control->setGeometry(placed);
        anchor.rect = placed;
    }
    last_size_ = now;
}
