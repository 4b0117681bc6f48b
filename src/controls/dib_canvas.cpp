#include "controls/dib_canvas.h"

#include <QPainter>
#include <cstring>

DibCanvas::DibCanvas(int32_t width, int32_t height) : width_(width), height_(height) { Create(true, 0); }

DibCanvas::~DibCanvas() {
    if (painter_) painter_->end();
}

void DibCanvas::Resize(int32_t width, int32_t height, bool clear, uint8_t byte) {
    if (width == width_ && height == height_) {
        if (clear) Clear(byte);
        return;
    }
    width_ = width;
    height_ = height;
    Create(clear, byte);
}

void DibCanvas::Create(bool clear, uint8_t byte) {
    if (painter_) painter_->end();
    painter_.reset();
    image_ = QImage();
    if (width_ > 0 && height_ > 0) image_ = QImage(width_, height_, QImage::Format_RGB555);
    if (image_.isNull()) return;
    // New memory is never shown uncleared.
    Clear(clear ? byte : 0);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&image_)) {
        painter_.reset();
        image_ = QImage();
        return;
    }
    flag_ = 0;
}

void DibCanvas::Clear(uint8_t byte) {
    if (image_.isNull()) return;
    // Rows of Format_RGB555 are padded to four bytes like the 16-bit rows of
    // a bitmap file, so the buffer is height rows of that size.
    std::memset(image_.bits(), byte, static_cast<size_t>(image_.sizeInBytes()));
}

void DibCanvas::Blit(QPainter& target, int left, int top, int right, int bottom) const {
    if (image_.isNull()) return;
    const QRect area = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(image_.rect());
    if (area.isEmpty()) return;
    target.drawImage(area.topLeft(), image_, area);
}
