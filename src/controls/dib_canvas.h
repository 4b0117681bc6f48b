#pragma once
// DibCanvas: a 16-bit (RGB 5-5-5) off-screen picture with a painter of its
// own, drawn into once and copied to the screen by rectangles (the graph
// panel's canvas). Sizes are in pixels. Creation fails for a size of 0 or
// less or one too large to allocate; the canvas then has no image, GetDC is
// null and Blit does nothing.

#include <QImage>
#include <cstdint>
#include <memory>

class QPainter;

class DibCanvas {
public:
    // Creates the image, every byte 0 (black).
    DibCanvas(int32_t width, int32_t height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    // At the current size only clears (every byte of the pixel rows set to
    // byte) when clear is set. Otherwise recreates the image at the new size,
    // filled with byte when clear is set and with 0 when not, and resets the
    // flag to 0; the old painter ends and GetDC gives a new one.
    void Resize(int32_t width, int32_t height, bool clear, uint8_t byte);

    // The canvas's painter, owned by the canvas and valid until the next
    // Resize; null when there is no image.
    QPainter* GetDC() const { return painter_.get(); }

    // Copies the canvas rectangle (left, top)-(right, bottom) to the same
    // place on target. Nothing without an image.
    void Blit(QPainter& target, int left, int top, int right, int bottom) const;

    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    // Format_RGB555; null when there is no image.
    const QImage& GetImage() const { return image_; }

    // A word for the canvas's user; every creation sets it to 0.
    uint32_t GetFlag() const { return flag_; }
    void SetFlag(uint32_t flag) { flag_ = flag; }

private:
    void Create(bool clear, uint8_t byte);
    void Clear(uint8_t byte);

    int32_t width_;
    int32_t height_;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    uint32_t flag_ = 0;
};
