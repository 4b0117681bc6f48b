// Bitmaps drawn with QPainter and saved at every depth: pixel bytes at
// offsets worked out by hand from the file layout, read back with Qt's own
// BMP reader, the 4-bit track-map palette, and the saves that must fail.

#include "controls/dib_section_lite.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "controls/dib_pixels.h"
#include "support/map_colours.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"
#include "support/track_fixture.h"
#include "track/track.h"
#include "track/ui/mfc_display.h"

namespace {

namespace fs = std::filesystem;
using bmp_file::BitmapInfoHeader;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

BitmapInfoHeader Header(int32_t width, int32_t height, uint16_t bits, uint32_t compression = bmp_file::kBiRgb) {
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = bits;
    h.biCompression = compression;
    return h;
}

// White and the first fifteen colours of the document's colour table, the
// palette the track map is drawn and saved with.
std::vector<uint32_t> MapPalette() {
    std::vector<uint32_t> palette{0xFFFFFF};
    for (int i = 0; i < 15; ++i) palette.push_back(dib_pixels::RgbQuadOf(fixture::kMapColours[i]));
    return palette;
}

// Top row red, green, blue; bottom row black, white, red.
void DrawPicture(QPainter& p) {
    const QColor colours[2][3] = {{Qt::red, Qt::green, Qt::blue}, {Qt::black, Qt::white, Qt::red}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) p.fillRect(x, y, 1, 1, colours[y][x]);
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (const int v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(DibSectionLiteTest, SavesEveryDepthBottomUpAndQtReadsItBack) {
    std::vector<uint32_t> grey(256);
    for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101;
    grey[200] = 0xFF0000;
    grey[201] = 0x00FF00;
    grey[202] = 0x0000FF;
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    const struct {
        const char* name;
        BitmapInfoHeader header;
        std::vector<uint32_t> colours;
        uint32_t pixel_offset, row_bytes;
        std::string bottom_row, top_row;  // as the file holds them, padding included
        QRgb read_back[2][3];
        // Qt's reader widens 5 and 6-bit channels by multiplying (31 reads
        // as 248), so 16-bit colours come back up to 7 below full.
        int tolerance = 0;
    } cases[] = {
        // Black and white only: every colour of the picture but white is nearer black.
        {"1 bit", Header(3, 2, 1), {0x000000, 0xFFFFFF}, 62, 4,
         Bytes({0x40, 0, 0, 0}), Bytes({0x00, 0, 0, 0}),
         {{black, black, black}, {black, white, black}}},
        // Pure green has no entry; its nearest is lap colour 2 (entry 3).
        {"4 bit map palette", Header(3, 2, 4), MapPalette(), 118, 4,
         Bytes({0xE0, 0x10, 0, 0}), Bytes({0x13, 0x20, 0, 0}),
         {{red, qRgb(0, 251, 56), blue}, {black, white, red}}},
        {"8 bit", Header(3, 2, 8), grey, 1078, 4,
         Bytes({0x00, 0xFF, 0xC8, 0}), Bytes({0xC8, 0xC9, 0xCA, 0}),
         {{red, green, blue}, {black, white, red}}},
        {"16 bit 5-5-5", Header(3, 2, 16), {}, 54, 8,
         Bytes({0, 0, 0xFF, 0x7F, 0x00, 0x7C, 0, 0}), Bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}),
         {{red, green, blue}, {black, white, red}}, 7},
        {"16 bit 5-6-5 masks", Header(3, 2, 16, bmp_file::kBiBitfields), {0xF800, 0x07E0, 0x001F}, 66, 8,
         Bytes({0, 0, 0xFF, 0xFF, 0x00, 0xF8, 0, 0}), Bytes({0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0}),
         {{red, green, blue}, {black, white, red}}, 7},
        {"24 bit", Header(3, 2, 24), {}, 54, 12,
         Bytes({0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0, 0, 0}),
         Bytes({0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0}),
         {{red, green, blue}, {black, white, red}}},
        {"32 bit", Header(3, 2, 32), {}, 54, 12,
         Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0}),
         Bytes({0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0}),
         {{red, green, blue}, {black, white, red}}},
    };
    fixture::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDIBSectionLite dib;
        ASSERT_TRUE(dib.CreateFromBitmapInfo(c.header, c.colours));
        QPainter* painter = dib.SelectIntoMemoryDC();
        ASSERT_NE(painter, nullptr);
        DrawPicture(*painter);
        // Saved while the painter is still held.
        const fs::path path = dir.path() / "picture.bmp";
        ASSERT_TRUE(dib.SaveBmp(path));
        const std::string file = ReadAll(path);
        ASSERT_EQ(file.size(), c.pixel_offset + 2 * c.row_bytes);
        EXPECT_EQ(file.substr(c.pixel_offset, c.row_bytes), c.bottom_row);
        EXPECT_EQ(file.substr(c.pixel_offset + c.row_bytes), c.top_row);

        QImage back;
        ASSERT_TRUE(back.load(QString::fromStdString(path.string()), "BMP"));
        ASSERT_EQ(back.size(), QSize(3, 2));
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const QRgb got = back.pixel(x, y), want = c.read_back[y][x];
                EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) +
                              std::abs(qBlue(got) - qBlue(want)),
                          3 * c.tolerance)
                    << x << "," << y << " read " << std::hex << got;
            }
        }
    }
}

TEST(DibSectionLiteTest, FourBitMapQuantisesToThePaletteExactly) {
    const std::vector<uint32_t> palette = MapPalette();
    CDIBSectionLite dib;
    ASSERT_TRUE(dib.CreateFromBitmapInfo(Header(18, 1, 4), palette));
    QPainter* p = dib.SelectIntoMemoryDC();
    for (int i = 0; i < 16; ++i) p->fillRect(i, 0, 1, 1, QColor::fromRgb(palette[static_cast<size_t>(i)]));
    p->fillRect(16, 0, 1, 1, QColor(250, 5, 5));
    p->fillRect(17, 0, 1, 1, QColor(120, 120, 120));
    dib.ReleaseMemoryDC();
    fixture::TempDir dir;
    ASSERT_TRUE(dib.SaveBmp(dir.path() / "map.bmp"));
    const std::string file = ReadAll(dir.path() / "map.bmp");
    ASSERT_EQ(file.size(), 118u + 12u);
    // The colour table: white, then red 0x0000FF and blue 0xFF0000 as blue, green, red, 0.
    EXPECT_EQ(file.substr(54, 12), Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}));
    // Each entry is its own index, but entry 15 (colour 14, white) is entry
    // 0's colour and takes the first; (250, 5, 5) is nearest red (1), mid
    // grey nearest 0x808080 (8).
    const int expected[18] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1, 8};
    for (int x = 0; x < 18; ++x) {
        const auto byte = static_cast<uint8_t>(file[118 + static_cast<size_t>(x / 2)]);
        EXPECT_EQ(x % 2 == 0 ? byte >> 4 : byte & 0x0F, expected[x]) << "pixel " << x;
    }
}

TEST(DibSectionLiteTest, TrackMapSavedAtFourBitsKeepsEveryPixel) {
    // The map draws only in table colours, so the 4-bit file must read back
    // exactly as drawn.
    fixture::TempDir dir;
    const std::string track_path = dir.File("stadium.trk");
    fixture::WriteFile(track_path, fixture::BuildTrackBlock(fixture::StadiumCircuit()));
    Track track(track_path);
    track.ComputeSplitLines();
    CDIBSectionLite dib;
    ASSERT_TRUE(dib.CreateFromBitmapInfo(Header(300, 300, 4), MapPalette()));
    MFCDisplay display(0x000000, 0xFFFFFF);
    display.BeginDraw(*dib.SelectIntoMemoryDC(), QRect(0, 0, 300, 300), fixture::kMapColours);
    display.FitToSurfaceBounds(5, 5, 300, 300);
    track.DrawSurfaces(display);
    track.DrawSections(display);
    track.DrawSplitLines(display);
    dib.ReleaseMemoryDC();
    track.Clear();
    const fs::path path = dir.path() / "stadium.bmp";
    ASSERT_TRUE(dib.SaveBmp(path));
    QImage back;
    ASSERT_TRUE(back.load(QString::fromStdString(path.string()), "BMP"));
    EXPECT_EQ(back.colorCount(), 16);
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), dib.GetImage());
    std::set<QRgb> drawn;  // white, the centre line, tarmac, grass, the split lines' red...
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) drawn.insert(back.pixel(x, y));
    EXPECT_GE(drawn.size(), 4u);
}

TEST(DibSectionLiteTest, FailedBitmapsAndWritesAreReportedAndWriteNothing) {
    fixture::TempDir dir;
    const fs::path path = dir.path() / "map.bmp";
    CDIBSectionLite dib;
    EXPECT_FALSE(dib.SaveBmp(path));  // empty: no 54-byte file
    EXPECT_EQ(dib.SaveBmpResult(path), bmp_file::Result::kEmptyImage);
    EXPECT_FALSE(fs::exists(path));

    ASSERT_TRUE(dib.CreateFromBitmapInfo(Header(4, 4, 24), {}));
    ASSERT_TRUE(dib.SaveBmp(path));
    const std::string old = ReadAll(path);

    BitmapInfoHeader claimed = Header(4, 4, 24);
    claimed.biSizeImage = 4096;  // more than the rows hold
    const QImage wrong_size(5, 4, QImage::Format_RGB32);
    const struct {
        const char* name;
        BitmapInfoHeader header;
        std::vector<uint32_t> colours;
        const QImage* pixels;
    } refused[] = {
        {"no size", Header(0, 0, 24), {}, nullptr},
        {"image size claimed past the rows", claimed, {}, nullptr},
        {"pixels of another size", Header(4, 4, 24), {}, &wrong_size},
        {"colour table too short", Header(4, 4, 8), {0, 0}, nullptr},
        {"2 bits", Header(4, 4, 2), {}, nullptr},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(dib.CreateFromBitmapInfo(r.header, r.colours, r.pixels));
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(dib.SelectIntoMemoryDC(), nullptr);
        EXPECT_FALSE(dib.SaveBmp(path));
        EXPECT_EQ(ReadAll(path), old);
    }
    ASSERT_TRUE(dib.CreateFromBitmapInfo(Header(4, 4, 24), {}));
    EXPECT_EQ(dib.SaveBmpResult(dir.path() / "missing" / "map.bmp"), bmp_file::Result::kWriteFailed);
    EXPECT_FALSE(dib.SaveBmp(fs::path()));
}

TEST(DibSectionLiteTest, CopiesPicturesAtTheirOwnDepth) {
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(40, 50, 60)});
    indexed.setPixel(0, 0, 1);
    indexed.setPixel(1, 0, 0);
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(0, 0, 200)});
    mono.fill(1);
    const struct {
        const char* name;
        QImage image;
        std::vector<uint32_t> palette;
        uint16_t bits;
        std::vector<uint32_t> first_colours;
        QRgb first_pixel;
    } cases[] = {
        {"indexed", indexed, {}, 8, {0x0A141E, 0x28323C, 0}, qRgb(40, 50, 60)},
        {"indexed with a palette", indexed, {0x112233}, 8, {0x112233, 0x28323C, 0}, qRgb(40, 50, 60)},
        {"monochrome", mono, {}, 1, {0x000000, 0x0000C8}, qRgb(0, 0, 200)},
        {"16 bit", QImage(2, 1, QImage::Format_RGB16), {}, 16, {}, 0},
        {"24 bit", QImage(2, 1, QImage::Format_RGB888), {}, 24, {}, 0},
        {"32 bit", QImage(2, 1, QImage::Format_ARGB32), {}, 32, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDIBSectionLite dib;
        ASSERT_TRUE(dib.SetBitmap(c.image, c.palette));
        EXPECT_EQ(dib.GetHeader().biBitCount, c.bits);
        EXPECT_EQ(dib.GetHeader().biSizeImage, bmp_file::BytesPerRow(2, c.bits));
        const auto& table = dib.GetColourTable();
        ASSERT_GE(table.size(), c.first_colours.size());
        EXPECT_TRUE(std::equal(c.first_colours.begin(), c.first_colours.end(), table.begin()));
        if (c.first_pixel != 0) {
            EXPECT_EQ(dib.GetImage().pixel(0, 0), c.first_pixel);
        }
    }
    CDIBSectionLite dib;
    EXPECT_FALSE(dib.SetBitmap(QImage()));

    // Drawing into a copy leaves the picture it came from alone.
    QImage canvas(2, 2, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    ASSERT_TRUE(dib.CreateFromBitmapInfo(Header(2, 2, 24), {}, &canvas));
    dib.SelectIntoMemoryDC()->fillRect(0, 0, 2, 2, Qt::black);
    dib.ReleaseMemoryDC();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(dib.GetImage().pixel(0, 0), qRgb(0, 0, 0));
}

TEST(DibSectionLiteTest, LoadsResourcesAndDrawsThemStretched) {
    CDIBSectionLite dib;
    EXPECT_FALSE(dib.LoadFromResource(9999));
    ASSERT_TRUE(dib.LoadFromResource(9001));
    EXPECT_EQ(dib.GetHeader().biWidth, 2);
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(Qt::gray);
    QPainter p(&target);
    EXPECT_TRUE(dib.Draw(p, 0, 0, 4, 4));
    p.end();
    const QRgb expected[2][2] = {{qRgb(255, 0, 0), qRgb(0, 255, 0)}, {qRgb(0, 0, 255), qRgb(255, 255, 255)}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(target.pixel(x, y), expected[y / 2][x / 2]) << x << "," << y;
    CDIBSectionLite empty;
    QPainter q(&target);
    EXPECT_FALSE(empty.Draw(q, 0, 0, 4, 4));
}

}  // namespace
