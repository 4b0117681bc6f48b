#pragma once
// A scroll area that shows a logical image scaled by a zoom factor, with a
// zoom tool (click or drag a box to zoom in, click to zoom out) and a hand
// tool that drags the image. The arithmetic lives in ZoomModel; this widget
// keeps the scroll bars and the model in step, handles the mouse and sets
// up a painter's transform from logical units to client pixels. Derived
// views draw in paintLogical.

#include <QAbstractScrollArea>
#include <QCursor>
#include <QPoint>
#include <optional>

#include "app/zoom_model.h"

class QRubberBand;

class CZoomView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum ZoomMode { kZoomOff = 0, kZoomIn = 1, kZoomOut = 2 };

    explicit CZoomView(QWidget* parent = nullptr);
    ~CZoomView() override;

    void SetZoomSizes(int64_t width, int64_t height);
    void DoZoomIn(const ZoomModel::Rect& logical);
    void ZoomInBy(const ZoomModel::Point* logical, double factor);
    void ZoomOutBy(const ZoomModel::Point* logical, double factor);
    void DoZoomFull();
    void CenterOnLogicalPoint(ZoomModel::Point logical);
    bool ScrollByStep(int direction, int64_t n);

    void SetZoomMode(int mode);
    void SetPanMode(int mode);
    int GetZoomMode() const { return zoom_mode_; }
    int GetPanMode() const { return pan_mode_; }

    const ZoomModel& Zoom() const { return zoom_; }
    // The transform from logical units to client pixels.
    QTransform LogicalToClient() const;
    ZoomModel::Point ClientToLogical(const QPoint& client) const;

protected:
    // Called after every zoom or scroll change.
    virtual void NotifyZoom() {}

    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SyncScrollBars();
    void UpdateCursor();
    const QCursor& ZoomCursor();

    ZoomModel zoom_;
    int zoom_mode_ = kZoomOff;
    int pan_mode_ = 0;
    bool capturing_ = false;
    bool syncing_ = false;
    QPoint band_origin_;
    QPoint last_mouse_;
    QRubberBand* band_ = nullptr;
    std::optional<QCursor> zoom_cursor_;
};
