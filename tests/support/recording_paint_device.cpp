#include "support/recording_paint_device.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Claims every feature, so QPainter hands each primitive over as it was
// drawn instead of breaking it into paths.
class RecordingPaintEngine : public QPaintEngine {
public:
    explicit RecordingPaintEngine(std::vector<RecordingPaintDevice::Op>& ops)
        : QPaintEngine(QPaintEngine::AllFeatures), ops_(ops) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        const auto dirty = state.state();
        if (dirty & QPaintEngine::DirtyPen) pen_ = state.pen();
        if (dirty & QPaintEngine::DirtyBrush) brush_ = state.brush();
        if (dirty & QPaintEngine::DirtyTransform) transform_ = state.transform();
    }

    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i) Add(Kind::kLine, {lines[i].p1(), lines[i].p2()});
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) Add(Kind::kLine, {lines[i].p1(), lines[i].p2()});
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
        Add(mode == PolylineMode ? Kind::kPolyline : Kind::kPolygon, {points, points + count});
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        Add(mode == PolylineMode ? Kind::kPolyline : Kind::kPolygon, {points, points + count});
    }
    void drawEllipse(const QRect& r) override { Add(Kind::kEllipse, {}, r); }
    void drawEllipse(const QRectF& r) override { Add(Kind::kEllipse, {}, r); }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) Add(Kind::kRect, {}, rects[i]);
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) Add(Kind::kRect, {}, rects[i]);
    }
    void drawPoints(const QPoint* points, int count) override { Add(Kind::kPoint, {points, points + count}); }
    void drawPoints(const QPointF* points, int count) override { Add(Kind::kPoint, {points, points + count}); }
    void drawPath(const QPainterPath& path) override { Add(Kind::kPath, {}, path.boundingRect()); }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { Add(Kind::kImage, {}, r); }
    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        Add(Kind::kImage, {}, r);
    }

private:
    using Kind = RecordingPaintDevice::Kind;

    void Add(Kind kind, std::vector<QPointF> points, const QRectF& rect = {}) {
        ops_.push_back({kind, std::move(points), rect, pen_, brush_, transform_});
    }

    std::vector<RecordingPaintDevice::Op>& ops_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
};

}  // namespace

RecordingPaintDevice::RecordingPaintDevice(int width, int height)
    : width_(width), height_(height), engine_(std::make_unique<RecordingPaintEngine>(ops)) {}

RecordingPaintDevice::~RecordingPaintDevice() = default;

QPaintEngine* RecordingPaintDevice::paintEngine() const {
    return engine_.get();
}

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const {
    constexpr int kDpi = 96;
    switch (metric) {
    case PdmWidth: return width_;
    case PdmHeight: return height_;
    case PdmWidthMM: return width_ * 254 / (10 * kDpi);
    case PdmHeightMM: return height_ * 254 / (10 * kDpi);
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return kDpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return 0;
    }
}
