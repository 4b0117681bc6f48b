#include "app/ui/zoom_view.h"

#include <QIcon>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace {

int ToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

CZoomView::CZoomView(QWidget* parent)
    : QAbstractScrollArea(parent),
      band_(new QRubberBand(QRubberBand::Rectangle, viewport())) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(false);
}

CZoomView::~CZoomView() = default;

const QCursor& CZoomView::ZoomCursor() {
    // Made when first needed: a view that is only drawn from (the report
    // site's map) never loads the picture's SVG support.
    if (!zoom_cursor_) zoom_cursor_.emplace(QIcon(":/cursors/zoom.svg").pixmap(32, 32), 12, 12);
    return *zoom_cursor_;
}

void CZoomView::SetZoomSizes(int64_t width, int64_t height) {
    zoom_.SetZoomSizes(width, height);
    SyncScrollBars();
}

void CZoomView::DoZoomIn(const ZoomModel::Rect& logical) {
    zoom_.DoZoomIn(logical);
    SyncScrollBars();
}

void CZoomView::ZoomInBy(const ZoomModel::Point* logical, double factor) {
    zoom_.ZoomInBy(logical, factor);
    SyncScrollBars();
}

void CZoomView::ZoomOutBy(const ZoomModel::Point* logical, double factor) {
    zoom_.ZoomOutBy(logical, factor);
    SyncScrollBars();
}

void CZoomView::DoZoomFull() {
    // The client the view would have without scroll bars.
    zoom_.SetClientSize({viewport()->width() + (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0),
                         viewport()->height() +
                             (horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0)});
    zoom_.DoZoomFull();
    SyncScrollBars();
}

void CZoomView::CenterOnLogicalPoint(ZoomModel::Point logical) {
    zoom_.CenterOnLogicalPoint(logical);
    SyncScrollBars();
}

bool CZoomView::ScrollByStep(int direction, int64_t n) {
    const bool moved = zoom_.ScrollByStep(direction, n);
    if (moved) SyncScrollBars();
    return moved;
}

void CZoomView::SyncScrollBars() {
    syncing_ = true;
    // The bars' own appearance changes the client: settle both ways.
    for (int pass = 0; pass < 2; ++pass) {
        zoom_.SetClientSize({viewport()->width(), viewport()->height()});
        const ZoomModel::Size limit = zoom_.GetScrollLimit();
        horizontalScrollBar()->setRange(0, ToInt(limit.width));
        verticalScrollBar()->setRange(0, ToInt(limit.height));
        horizontalScrollBar()->setPageStep(ToInt(std::max<int64_t>(1, zoom_.GetPageSize().width)));
        verticalScrollBar()->setPageStep(ToInt(std::max<int64_t>(1, zoom_.GetPageSize().height)));
        horizontalScrollBar()->setSingleStep(ToInt(std::max<int64_t>(1, zoom_.GetLineSize().width)));
        verticalScrollBar()->setSingleStep(ToInt(std::max<int64_t>(1, zoom_.GetLineSize().height)));
    }
    const ZoomModel::Point scroll = zoom_.GetScrollPosition();
    horizontalScrollBar()->setValue(ToInt(scroll.x));
    verticalScrollBar()->setValue(ToInt(scroll.y));
    syncing_ = false;
    NotifyZoom();
    viewport()->update();
}

void CZoomView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SyncScrollBars();
}

void CZoomView::scrollContentsBy(int, int) {
    if (syncing_) return;
    zoom_.SetScrollPosition({horizontalScrollBar()->value(), verticalScrollBar()->value()});
    NotifyZoom();
    viewport()->update();
}

QTransform CZoomView::LogicalToClient() const {
    const ZoomModel::Point origin = zoom_.GetOrigin();
    const ZoomModel::Size logical = zoom_.GetLogicalSize();
    const ZoomModel::Size device = zoom_.GetTotalDeviceSize();
    return QTransform::fromTranslate(static_cast<double>(origin.x), static_cast<double>(origin.y))
        .scale(static_cast<double>(device.width) / static_cast<double>(logical.width),
               static_cast<double>(device.height) / static_cast<double>(logical.height));
}

ZoomModel::Point CZoomView::ClientToLogical(const QPoint& client) const {
    return zoom_.DeviceToLogical({client.x(), client.y()});
}

void CZoomView::SetZoomMode(int mode) {
    if (mode == zoom_mode_) return;
    zoom_mode_ = mode;
    UpdateCursor();
}

void CZoomView::SetPanMode(int mode) {
    if (mode == pan_mode_) return;
    pan_mode_ = mode;
    UpdateCursor();
}

void CZoomView::UpdateCursor() {
    if (pan_mode_ == 1)
        viewport()->setCursor(capturing_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else if (zoom_mode_ == kZoomIn || zoom_mode_ == kZoomOut)
        viewport()->setCursor(ZoomCursor());
    else
        viewport()->unsetCursor();
}

void CZoomView::mousePressEvent(QMouseEvent* event) {
    QAbstractScrollArea::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    if (zoom_mode_ == kZoomIn) {
        capturing_ = true;
        band_origin_ = p;
        band_->setGeometry(QRect(p, QSize()));
        band_->show();
        viewport()->setCursor(Qt::CrossCursor);
    } else if (pan_mode_ == 1) {
        capturing_ = true;
        last_mouse_ = p;
        UpdateCursor();
    }
}

void CZoomView::mouseMoveEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseMoveEvent(event);
    if (!capturing_) return;
    const QPoint p = event->position().toPoint();
    if (zoom_mode_ == kZoomIn) {
        band_->setGeometry(QRect(band_origin_, p).normalized());
    } else if (pan_mode_ == 1) {
        const QPoint step = p - last_mouse_;
        last_mouse_ = p;
        ScrollByStep(2, step.x());
        ScrollByStep(1, step.y());
    }
}

void CZoomView::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    if (pan_mode_ == 1 && capturing_) {
        capturing_ = false;
        UpdateCursor();
    } else if (zoom_mode_ == kZoomIn && capturing_) {
        capturing_ = false;
        band_->hide();
        UpdateCursor();
        const ZoomModel::Point a = ClientToLogical(band_origin_);
        const ZoomModel::Point b = ClientToLogical(p);
        DoZoomIn({a.x, a.y, b.x, b.y});
    } else if (zoom_mode_ == kZoomOut) {
        const ZoomModel::Point at = ClientToLogical(p);
        ZoomOutBy(&at, ZoomModel::kClickZoom);
    }
}
