#include "controls/sizing_control_bar.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QResizeEvent>
#include <algorithm>

CSizingControlBar::CSizingControlBar(QWidget* parent) : QDockWidget(parent) {
    setMinimumSize(kMinWidth, kMinHeight);
    QObject::connect(this, &QDockWidget::dockLocationChanged, this,
                     [this](Qt::DockWidgetArea area) { OnLocationChanged(area); });
    QObject::connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) { OnFloatingChanged(floating); });
}

CSizingControlBar::~CSizingControlBar() = default;

QSize CSizingControlBar::AtLeastMinimum(QSize size) {
    return QSize(std::max(size.width(), kMinWidth), std::max(size.height(), kMinHeight));
}

bool CSizingControlBar::Create(const QString& title, QMainWindow* frame, QSize size, bool gripper, int id) {
    frame_ = frame;
    if (frame != nullptr && parentWidget() != frame) setParent(frame);
    setWindowTitle(title);
    setObjectName(title);
    horizontal_ = vertical_ = floating_ = AtLeastMinimum(size);
    gripper_ = gripper;
    // Without a gripper there is nothing to hold or close the bar by.
    if (!gripper) setTitleBarWidget(new QWidget(this));
    id_ = id;
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    return true;
}

CSizingControlBar::Side CSizingControlBar::GetDockSide() const {
    if (frame_ == nullptr || isFloating()) return Side::Floating;
    switch (frame_->dockWidgetArea(const_cast<CSizingControlBar*>(this))) {
        case Qt::TopDockWidgetArea:
            return Side::Top;
        case Qt::LeftDockWidgetArea:
            return Side::Left;
        case Qt::RightDockWidgetArea:
            return Side::Right;
        case Qt::BottomDockWidgetArea:
            return Side::Bottom;
        default:
            return Side::Floating;
    }
}

QSize CSizingControlBar::sizeHint() const {
    switch (GetDockSide()) {
        case Side::Top:
        case Side::Bottom:
            return horizontal_;
        case Side::Left:
        case Side::Right:
            return vertical_;
        case Side::Floating:
            break;
    }
    return floating_;
}

QSize CSizingControlBar::minimumSizeHint() const { return QSize(kMinWidth, kMinHeight); }

void CSizingControlBar::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    if (restoring_ || !isVisible()) return;
    const QSize size = AtLeastMinimum(event->size());
    switch (GetDockSide()) {
        case Side::Top:
        case Side::Bottom:
            horizontal_ = size;
            break;
        case Side::Left:
        case Side::Right:
            vertical_ = size;
            break;
        case Side::Floating:
            floating_ = size;
            break;
    }
}

void CSizingControlBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && features().testFlag(QDockWidget::DockWidgetFloatable)) {
        setFloating(!isFloating());
        event->accept();
        return;
    }
    QDockWidget::mouseDoubleClickEvent(event);
}

void CSizingControlBar::OnLocationChanged(Qt::DockWidgetArea area) {
    const bool across = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    if (gripper_) setFeatures(features().setFlag(QDockWidget::DockWidgetVerticalTitleBar, across));
    if (frame_ == nullptr || area == Qt::NoDockWidgetArea) return;
    // Back at a side it sat at before: the thickness it had there.
    restoring_ = true;
    if (across)
        frame_->resizeDocks({this}, {horizontal_.height()}, Qt::Vertical);
    else
        frame_->resizeDocks({this}, {vertical_.width()}, Qt::Horizontal);
    restoring_ = false;
}

void CSizingControlBar::OnFloatingChanged(bool floating) {
    if (!floating) return;
    restoring_ = true;
    resize(floating_);
    restoring_ = false;
}
