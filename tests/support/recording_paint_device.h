#pragma once
// A paint device whose engine draws nothing and records every primitive a
// QPainter hands it, in the painter's logical coordinates, with the pen,
// brush and transform in force. Tests of GUI drawing check call sequences
// and integer coordinates on it; pixels are checked on a QImage.

#include <QBrush>
#include <QPaintDevice>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <memory>
#include <vector>

class QPaintEngine;

class RecordingPaintDevice : public QPaintDevice {
public:
    enum class Kind { kLine, kPolygon, kPolyline, kEllipse, kRect, kPath, kPoint, kImage };
    struct Op {
        Kind kind;
        std::vector<QPointF> points;  // lines: from, to; polygons and polylines: their points
        QRectF rect;                  // ellipses, rectangles, images, paths (bounding rectangle)
        QPen pen;
        QBrush brush;
        QTransform transform;
    };

    // A device of width x height pixels at 96 dpi.
    RecordingPaintDevice(int width, int height);
    ~RecordingPaintDevice() override;

    QPaintEngine* paintEngine() const override;

    std::vector<Op> ops;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int width_;
    int height_;
    std::unique_ptr<QPaintEngine> engine_;
};
