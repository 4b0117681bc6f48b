// The track-map view's side of playback (its timer, zooming and scrolling
// for the playback, drawing into the canvas between rebuilds, erasing car
// markers) and its mouse and keys.

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/ui/rpy_graph_view.h"

void CRpyGraphView::InitPlayback() {
    playback_timer_ = new QTimer(this);
    playback_timer_->setInterval(PlaybackController::kTimerMs);
    connect(playback_timer_, &QTimer::timeout, this, &CRpyGraphView::OnPlaybackTimer);
    playback_.SetMap(this);
    setFocusPolicy(Qt::StrongFocus);
}

void CRpyGraphView::OnPlaybackTimer() {
    const bool was_playing = playing;
    const bool was_paused = paused;
    playback_.OnTimer();
    if (was_playing != playing || was_paused != paused) emit PlaybackChanged();
}

void CRpyGraphView::StartTimer() { playback_timer_->start(); }

void CRpyGraphView::KillTimer() { playback_timer_->stop(); }

void CRpyGraphView::SetZoomToolOff() { SetZoomMode(kZoomOff); }

void CRpyGraphView::SetPanningToolOff() {
    if (GetPanMode() == 1) SetPanMode(0);
}

void CRpyGraphView::ZoomToBox(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    DoZoomIn({left, top, right, bottom});
}

void CRpyGraphView::ZoomFull() { DoZoomFull(); }

void CRpyGraphView::CenterOn(PixelPoint logical) { CenterOnLogicalPoint({logical.x, logical.y}); }

void CRpyGraphView::InvalidateMap() { viewport()->update(); }

CoreDisplay& CRpyGraphView::BeginCanvasDrawing() {
    // Without a current canvas the points are only converted; the next
    // rebuild draws what the playback has reached.
    if (canvas_.isNull() || canvas_stale_ || !doc_.GetTrack()) {
        convert_only_ = display_;
        return convert_only_;
    }
    canvas_painter_ = std::make_unique<QPainter>(&canvas_);
    canvas_painter_->setTransform(LogicalToClient());
    const QRect square(0, 0, static_cast<int>(kMapExtent), static_cast<int>(kMapExtent));
    canvas_painter_->setClipRect(square);
    display_.BeginDraw(*canvas_painter_, square, doc_.GetColours());
    return display_;
}

void CRpyGraphView::EndCanvasDrawing() { canvas_painter_.reset(); }

void CRpyGraphView::EraseCarMarkers() {
    if (background_.isNull() || canvas_.isNull() || background_.size() != canvas_.size()) return;
    const RaceReplayModel& race = playback_.Race();
    // Half the side of the square to restore, in device pixels: the car
    // at its drawn size, never less than 7 pixels.
    const double scale = LogicalToClient().m11();
    const double ppm = display_.GetPixelsPerMetre();
    double half = 10.0;
    if (race.GetCarDrawMode() == 1) half = std::trunc(2 * ppm + 0.5) * scale;
    if (race.GetCarDrawMode() == 2) half = std::trunc(4 * ppm + 0.5) * scale;
    const int h = static_cast<int>(std::ceil(std::max(half, 7.0))) + 1;
    QPainter painter(&canvas_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QTransform to_client = LogicalToClient();
    for (int i = 0; i < race.GetCarCount(); ++i) {
        const PixelPoint p = race.GetCarPositions()[static_cast<size_t>(i)];
        if (p.x == 0 && p.y == 0) continue;
        const QPoint c = to_client.map(QPointF(p.x, p.y)).toPoint();
        const QRect r(c.x() - h, c.y() - h, 2 * h, 2 * h);
        painter.drawImage(r, background_, r);
    }
}

void CRpyGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        CZoomView::mousePressEvent(event);
        if (context_menu_) context_menu_->popup(event->globalPosition().toPoint());
        return;
    }
    // A zoom click stops the playback only until the map is rebuilt.
    if (event->button() == Qt::LeftButton && (GetZoomMode() == kZoomIn || GetZoomMode() == kZoomOut))
        playback_.OnZoomClick();
    CZoomView::mousePressEvent(event);
}

void CRpyGraphView::keyPressEvent(QKeyEvent* event) {
    const int64_t r = std::max(1, event->count());
    switch (event->key()) {
    case Qt::Key_PageUp: ScrollByStep(1, 390 * r); break;
    case Qt::Key_PageDown: ScrollByStep(1, -390 * r); break;
    case Qt::Key_Up: ScrollByStep(1, 8 * r); break;
    case Qt::Key_Down: ScrollByStep(1, -8 * r); break;
    case Qt::Key_Left: ScrollByStep(2, 8 * r); break;
    case Qt::Key_Right: ScrollByStep(4, 8 * r); break;
    default: CZoomView::keyPressEvent(event); return;
    }
    event->accept();
}
