#include "controls/mask_bitmap.h"

#include "controls/dib_pixels.h"

bool MaskBitmap::Create(const QImage& source, int x, int y, int width, int height, uint32_t key) {
    mask_ = QImage();
    const QRect area = QRect(x, y, width, height).normalized();
    if (source.isNull() || area.isEmpty()) return false;
    // The key as the source would hold it: a 16-bit picture keeps only the
    // top bits of each channel, and its own pixels are compared after the
    // same round trip.
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.fill(QColor::fromRgb(static_cast<QRgb>(0xFF000000 | dib_pixels::RgbQuadOf(key))));
    const QRgb stored_key = probe.convertToFormat(source.format()).convertToFormat(QImage::Format_RGB32).pixel(0, 0);
    const QImage pixels = source.copy(area).convertToFormat(QImage::Format_RGB32);
    const QRect inside = area.intersected(source.rect());

    mask_ = QImage(area.size(), QImage::Format_Mono);
    if (mask_.isNull()) return false;
    mask_.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask_.fill(0);
    for (int row = 0; row < area.height(); ++row) {
        for (int col = 0; col < area.width(); ++col) {
            if (!inside.contains(area.x() + col, area.y() + row)) continue;
            if (((pixels.pixel(col, row) ^ stored_key) & 0xFFFFFF) == 0) mask_.setPixel(col, row, 1);
        }
    }
    return true;
}

bool MaskBitmap::DrawMask(QPainter& target, int x, int y, int width, int height,
                          QPainter::CompositionMode mode) const {
    if (mask_.isNull()) return false;
    target.save();
    target.setCompositionMode(mode);
    target.setRenderHint(QPainter::SmoothPixmapTransform, false);
    target.drawImage(QRect(x, y, width, height), mask_.convertToFormat(QImage::Format_RGB32));
    target.restore();
    return true;
}

bool MaskBitmap::DrawTransparent(QPainter& target, int x, int y, int width, int height, const QImage& source,
                                 int source_x, int source_y, int source_width, int source_height) const {
    const QRect from = QRect(source_x, source_y, source_width, source_height).normalized();
    if (mask_.isNull() || source.isNull() || from.isEmpty()) return false;
    // Key pixels become fully transparent; drawn over the target, the rest
    // replaces it and the target shows through the key.
    QImage picture = source.copy(from).convertToFormat(QImage::Format_ARGB32);
    const QImage mask = mask_.scaled(from.size());
    for (int row = 0; row < picture.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(row));
        for (int col = 0; col < picture.width(); ++col) {
            line[col] = mask.pixelIndex(col, row) == 1 ? 0 : (line[col] | 0xFF000000);
        }
    }
    target.save();
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    target.setRenderHint(QPainter::SmoothPixmapTransform, false);
    target.drawImage(QRect(x, y, width, height), picture);
    target.restore();
    return true;
}
