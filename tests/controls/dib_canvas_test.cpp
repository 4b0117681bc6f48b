// The transparent drawing of the traction circle's picture, checked by
// pixel.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "controls/mask_bitmap.h"

namespace {

TEST(MaskBitmapTest, KeyColourIsTransparent) {
    // A blue square on a magenta key, held in 16 bits as the graph canvas
    // holds it: the key is compared as the picture stores it.
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB555}) {
        SCOPED_TRACE(format);
        QImage source(4, 4, format);
        source.fill(QColor(255, 0, 255));
        QPainter(&source).fillRect(1, 1, 2, 2, Qt::blue);
        MaskBitmap mask;
        ASSERT_TRUE(mask.Create(source, 0, 0, 4, 4, 0xFF00FF));
        EXPECT_EQ(mask.GetMask().pixelIndex(0, 0), 1);
        EXPECT_EQ(mask.GetMask().pixelIndex(1, 1), 0);

        QImage target(4, 4, QImage::Format_RGB32);
        target.fill(Qt::green);
        QPainter p(&target);
        EXPECT_TRUE(mask.DrawTransparent(p, 0, 0, 4, 4, source, 0, 0, 4, 4));
        p.end();
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const bool square = x >= 1 && x < 3 && y >= 1 && y < 3;
                EXPECT_EQ(target.pixel(x, y), square ? qRgb(0, 0, 255) : qRgb(0, 255, 0)) << x << "," << y;
            }
        }
        // ANDed onto white, the mask leaves white at the key and black elsewhere.
        QImage white(4, 4, QImage::Format_RGB32);
        white.fill(Qt::white);
        QPainter w(&white);
        EXPECT_TRUE(mask.DrawMask(w, 0, 0, 4, 4, QPainter::RasterOp_SourceAndDestination));
        w.end();
        EXPECT_EQ(white.pixel(0, 3), qRgb(255, 255, 255));
        EXPECT_EQ(white.pixel(2, 2), qRgb(0, 0, 0));
    }
    MaskBitmap none;
    QImage source(2, 2, QImage::Format_RGB32);
    EXPECT_FALSE(none.Create(source, 0, 0, 0, 2, 0));
    QPainter p(&source);
    EXPECT_FALSE(none.DrawTransparent(p, 0, 0, 2, 2, source, 0, 0, 2, 2));
}

}  // namespace
