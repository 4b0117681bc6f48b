#pragma once
// MaskBitmap: a one-bit mask made from a colour key, for drawing one picture
// over another with the key colour transparent (the traction circle's
// picture). Mask bit 1 (white) marks a key-coloured pixel, bit 0 (black)
// any other. Lives on its user's stack for one transparent draw.

#include <QImage>
#include <QPainter>
#include <cstdint>

class MaskBitmap {
public:
    // Makes the mask of source's area (x, y, width, height) in pixels; a
    // negative width or height counts from the other corner. key is a
    // COLORREF (0x00BBGGRR), compared after conversion to the source's pixel
    // format, as the source itself stores it. Parts of the area outside the
    // source are not key-coloured. False (and no mask) for an empty area or
    // a null source.
    bool Create(const QImage& source, int x, int y, int width, int height, uint32_t key);

    // Draws the mask, key pixels white and the others black, stretched into
    // the rectangle with the given composition (a raster operation such as
    // RasterOp_SourceAndDestination). False without a mask.
    bool DrawMask(QPainter& target, int x, int y, int width, int height, QPainter::CompositionMode mode) const;

    // Draws source's area (source x, y, width, height) stretched into the
    // target rectangle, leaving the target as it was where the mask is
    // white, so the key colour is transparent. The mask is stretched to the
    // source area. False without a mask or with an empty area.
    bool DrawTransparent(QPainter& target, int x, int y, int width, int height, const QImage& source,
                         int source_x, int source_y, int source_width, int source_height) const;

    int GetWidth() const { return mask_.width(); }
    int GetHeight() const { return mask_.height(); }
    // Format_Mono, colour 0 black, colour 1 white; null before Create.
    const QImage& GetMask() const { return mask_; }

private:
    QImage mask_;
};
