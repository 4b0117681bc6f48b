// The graph canvas and the transparent drawing of the traction circle's
// picture, checked by pixel.

#include "controls/dib_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "controls/mask_bitmap.h"

namespace {

TEST(DibCanvasTest, ResizeKeepsClearsOrRecreates) {
    DibCanvas canvas(8, 6);
    ASSERT_NE(canvas.GetDC(), nullptr);
    EXPECT_EQ(canvas.GetImage().format(), QImage::Format_RGB555);
    EXPECT_EQ(canvas.GetImage().pixel(3, 3), qRgb(0, 0, 0));
    canvas.GetDC()->fillRect(0, 0, 8, 6, Qt::red);
    canvas.SetFlag(5);

    canvas.Resize(8, 6, false, 0xFF);  // same size, no clearing: nothing changes
    EXPECT_EQ(canvas.GetImage().pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.GetFlag(), 5u);
    canvas.Resize(8, 6, true, 0xFF);  // every byte 0xFF: white
    EXPECT_EQ(canvas.GetImage().pixel(7, 5), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.GetFlag(), 5u);

    canvas.Resize(5, 3, true, 0x00);
    EXPECT_EQ(canvas.GetImage().size(), QSize(5, 3));
    EXPECT_EQ(canvas.GetFlag(), 0u);
    canvas.GetDC()->fillRect(0, 0, 1, 1, Qt::blue);
    EXPECT_EQ(canvas.GetImage().pixel(0, 0), qRgb(0, 0, 255));
    canvas.Resize(7, 3, false, 0xFF);  // new memory is cleared all the same
    EXPECT_EQ(canvas.GetImage().pixel(6, 2), qRgb(0, 0, 0));
}

TEST(DibCanvasTest, BlitCopiesTheRectangleToTheSamePlace) {
    DibCanvas canvas(6, 6);
    canvas.GetDC()->fillRect(0, 0, 6, 6, Qt::red);
    QImage target(6, 6, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter p(&target);
    canvas.Blit(p, 2, 1, 5, 3);
    canvas.Blit(p, 4, 4, 9, 9);  // cut at the canvas's edge
    p.end();
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool copied = (x >= 2 && x < 5 && y >= 1 && y < 3) || (x >= 4 && y >= 4);
            EXPECT_EQ(target.pixel(x, y), copied ? qRgb(255, 0, 0) : qRgb(255, 255, 255)) << x << "," << y;
        }
    }
}

TEST(DibCanvasTest, FailedCreationHasNoPainterAndBlitsNothing) {
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-4, 5}, std::pair{5, 0}}) {
        DibCanvas canvas(w, h);
        EXPECT_EQ(canvas.GetDC(), nullptr);
        QImage target(4, 4, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter p(&target);
        canvas.Blit(p, 0, 0, 4, 4);
        p.end();
        EXPECT_EQ(target.pixel(1, 1), qRgb(255, 255, 255));
        canvas.Resize(3, 3, true, 0);
        EXPECT_NE(canvas.GetDC(), nullptr);
    }
}

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
