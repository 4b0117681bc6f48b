// The bitmap to PNG conversion: bitmaps of every depth and header form laid
// out by the fixture writer, the PNGs decoded with libpng and compared
// pixel by pixel; the refusals with their lines; the names, the backups
// and the status line.

#include "reports/bmp_to_png.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "reports/bmp_image.h"
#include "reports/png_status_line.h"
#include "support/bmp_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using fixture::BmpSpec;

struct Decoded {
    uint32_t width = 0, height = 0;
    int bit_depth = 0, colour_type = 0;
    std::vector<png_color> palette;
    std::vector<std::vector<uint8_t>> rows;
    // The pixel's palette index, or 0x00RRGGBB for RGB.
    uint32_t Pixel(uint32_t x, uint32_t y) const {
        const std::vector<uint8_t>& row = rows[y];
        if (colour_type == PNG_COLOR_TYPE_RGB) return row[x * 3] << 16 | row[x * 3 + 1] << 8 | row[x * 3 + 2];
        const int per_byte = 8 / bit_depth;
        const int shift = 8 - bit_depth * static_cast<int>(x % per_byte + 1);
        return row[x / per_byte] >> shift & ((1u << bit_depth) - 1);
    }
};

bool Decode(const fs::path& path, Decoded& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.bit_depth = png_get_bit_depth(png, info);
    out.colour_type = png_get_color_type(png, info);
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) != 0) out.palette.assign(palette, palette + count);
    png_bytepp rows = png_get_rows(png, info);
    const size_t bytes = png_get_rowbytes(png, info);
    for (uint32_t y = 0; y < out.height; ++y) out.rows.emplace_back(rows[y], rows[y] + bytes);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint32_t> Palette(int n) {
    std::vector<uint32_t> colours;
    for (int i = 0; i < n; ++i) colours.push_back(static_cast<uint32_t>(i * 0x10305 + 0x204060) & 0xFFFFFF);
    return colours;
}

// A bitmap of that size and depth, changed further by tweak.
BmpSpec Bmp(int32_t width, int32_t height, uint16_t bits, std::vector<uint32_t> colours = {},
            const std::function<void(BmpSpec&)>& tweak = {}) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = bits;
    spec.colours = std::move(colours);
    if (tweak) tweak(spec);
    return spec;
}

uint32_t Index(int x, int y, int bits) { return static_cast<uint32_t>(x * 3 + y * 5) % (1u << bits); }

TEST(BmpToPng, EveryDepthAndHeaderFormGivesThePicturesPixels) {
    const struct {
        const char* name;
        BmpSpec spec;
    } cases[] = {
        {"1 bit", Bmp(13, 5, 1, Palette(2))},
        {"4 bit", Bmp(7, 6, 4, Palette(16))},
        {"8 bit", Bmp(9, 4, 8, Palette(256))},
        {"24 bit", Bmp(5, 3, 24)},
        {"8 bit core header", Bmp(6, 3, 8, Palette(256), [](BmpSpec& s) { s.info_size = 12; })},
        {"4 bit top-down", Bmp(5, -4, 4, Palette(16))},
        {"4 bit v5 header, gap", Bmp(3, 2, 4, Palette(16), [](BmpSpec& s) { s.info_size = 124; s.gap = 7; })},
        {"after a 128-byte prefix", Bmp(4, 2, 8, Palette(256), [](BmpSpec& s) { s.prefix = 128; })},
    };
    fixture::TempDir dir;
    for (auto c : cases) {
        SCOPED_TRACE(c.name);
        const int bits = c.spec.bits;
        c.spec.pixel = [bits](int x, int y) {
            return bits == 24 ? static_cast<uint32_t>(x * 0x2A0000 + y * 0x003300 + 0x11) : Index(x, y, bits);
        };
        const std::string bmp = dir.File("picture.bmp");
        fixture::WriteBmp(bmp, c.spec);
        std::ostringstream err;
        PngStatusLine status(err);
        ASSERT_EQ(bmp_to_png::ConvertBmpToPng(bmp, status), 0) << err.str();
        Decoded png;
        ASSERT_TRUE(Decode(dir.path() / "picture.png", png));
        fs::remove(dir.path() / "picture.png");
        const uint32_t w = static_cast<uint32_t>(c.spec.width), h = static_cast<uint32_t>(std::abs(c.spec.height));
        ASSERT_EQ(png.width, w);
        ASSERT_EQ(png.height, h);
        if (bits == 24) {
            EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_RGB);
            EXPECT_EQ(png.bit_depth, 8);
        } else {
            EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_PALETTE);
            EXPECT_EQ(png.bit_depth, bits);
            ASSERT_EQ(png.palette.size(), c.spec.colours.size());
            for (size_t i = 0; i < png.palette.size(); ++i) {
                const uint32_t rgb = static_cast<uint32_t>(png.palette[i].red << 16 | png.palette[i].green << 8 |
                                                           png.palette[i].blue);
                EXPECT_EQ(rgb, c.spec.colours[i]) << i;
            }
        }
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                ASSERT_EQ(png.Pixel(x, y), c.spec.pixel(static_cast<int>(x), static_cast<int>(y))) << x << "," << y;
    }
}

TEST(BmpToPng, RefusedBitmapsSayWhyAndLeaveNoPng) {
    const struct {
        const char* name;
        BmpSpec spec;
        const char* line;
    } cases[] = {
        {"no BM", Bmp(1, 1, 8, Palette(256), [](BmpSpec& s) { s.prefix = 300; }), "Not a BMP file"},
        {"header size 11", Bmp(1, 1, 8, Palette(256), [](BmpSpec& s) { s.info_size = 11; }), "Invalid header size in BMP file"},
        {"header size 125", Bmp(1, 1, 8, Palette(256), [](BmpSpec& s) { s.info_size = 125; }), "Invalid header size in BMP file"},
        {"pixels inside the header", Bmp(1, 1, 8, Palette(256), [](BmpSpec& s) { s.pixel_offset = 40; }), "Invalid header size in BMP file"},
        {"width 0", Bmp(0, 1, 8, Palette(256)), "Invalid image size (width is less than one)"},
        {"height 0", Bmp(1, 0, 8, Palette(256)), "Invalid image size (height is less than one)"},
        {"run-length", Bmp(1, 1, 8, Palette(256), [](BmpSpec& s) { s.compression = 1; }), "Compressed or bitfield BMP"},
        {"bit fields", Bmp(1, 1, 16, {}, [](BmpSpec& s) { s.compression = 3; }), "Compressed or bitfield BMP"},
        {"16 bits", Bmp(1, 1, 16), "16 or 32 bits/pixel BMP"},
        {"32 bits", Bmp(1, 1, 32), "16 or 32 bits/pixel BMP"},
        {"7 bits", Bmp(1, 1, 7), "Invalid bit depth in BMP file"},
        {"cut in the pixels", Bmp(8, 8, 8, Palette(256), [](BmpSpec& s) { s.cut_to = 14 + 40 + 1024 + 30; }),
         "Premature end of BMP file"},
        {"cut in the header", Bmp(1, 1, 8, Palette(256), [](BmpSpec& s) { s.cut_to = 16; }), "Premature end of BMP file"},
        // A size no file holds is refused before anything is allocated.
        {"2^31 x 2^31 pixels", Bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, {}, [](BmpSpec& s) { s.cut_to = 54; }),
         "Premature end of BMP file"},
        {"index past a short table",
         Bmp(4, 1, 4, Palette(3), [](BmpSpec& s) { s.pixel = [](int x, int) { return x == 3 ? 5u : 1u; }; }),
         "Colour index outside the colour table"},
        {"8 bits without a table", Bmp(1, 1, 8), "Colour index outside the colour table"},
    };
    fixture::TempDir dir;
    const std::string bmp = dir.File("bad.bmp");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixture::WriteBmp(bmp, c.spec);
        std::ostringstream err;
        PngStatusLine status(err);
        EXPECT_EQ(bmp_to_png::ConvertBmpToPng(bmp, status), -1);
        EXPECT_NE(err.str().find("\r" + std::string(79, ' ') + "\rSKIPPED: " + c.line + " - " + bmp + "\n"),
                  std::string::npos)
            << err.str();
        EXPECT_FALSE(fs::exists(dir.path() / "bad.png"));
    }
    std::ostringstream err;
    PngStatusLine status(err);
    EXPECT_EQ(bmp_to_png::ConvertBmpToPng(dir.File("missing.bmp"), status), -1);
    EXPECT_NE(err.str().find("SKIPPED: No such file or directory - " + dir.File("missing.bmp")), std::string::npos);
}

TEST(BmpToPng, ATableLongerThanTheDepthKeepsTheEntriesItCanIndex) {
    fixture::TempDir dir;
    std::vector<uint32_t> colours = Palette(300);
    const BmpSpec spec = Bmp(3, 2, 8, colours, [](BmpSpec& s) {
        s.pixel = [](int x, int y) { return static_cast<uint32_t>(250 + x + y); };
    });
    fixture::WriteBmp(dir.File("long.bmp"), spec);
    BmpImage image;
    ASSERT_EQ(image.Read(dir.File("long.bmp")), BmpImage::Result::kRead);
    EXPECT_EQ(image.palette_count, 256u);
    EXPECT_EQ(image.rows[1][2], 253);  // the pixels after the whole table
}

TEST(BmpToPng, ALibpngErrorLeavesTheEarlierPngAndNoBackup) {
    fixture::TempDir dir;
    const std::string bmp = dir.File("wide.bmp");
    // Wider than libpng writes by default: its header check fails.
    fixture::WriteBmp(bmp, Bmp(1000001, 1, 1, Palette(2)));
    std::ofstream(dir.File("wide.png")) << "earlier";
    std::ostringstream err;
    PngStatusLine status(err);
    EXPECT_EQ(bmp_to_png::ConvertBmpToPng(bmp, status), -1);
    EXPECT_NE(err.str().find("ERROR(libpng): "), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(" - " + dir.File("wide.png") + "\n"), std::string::npos);
    EXPECT_EQ(ReadAll(dir.path() / "wide.png"), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(BmpToPng, ConversionsKeepEveryEarlierPngAsABackup) {
    fixture::TempDir dir;
    const std::string bmp = dir.File("RaceGraphics.bmp");
    std::vector<std::string> written;
    for (uint32_t round = 0; round < 3; ++round) {
        fixture::WriteBmp(bmp, Bmp(2, 2, 8, Palette(256), [round](BmpSpec& s) {
                              s.pixel = [round](int, int) { return round; };
                          }));
        std::ostringstream err;
        PngStatusLine status(err);
        ASSERT_EQ(bmp_to_png::ConvertBmpToPng(bmp, status), 0) << err.str();
        written.push_back(ReadAll(dir.path() / "RaceGraphics.png"));
    }
    EXPECT_EQ(ReadAll(dir.path() / "RaceGraphics.png"), written[2]);
    EXPECT_EQ(ReadAll(dir.path() / "RaceGraphics.png.bak"), written[0]);
    EXPECT_EQ(ReadAll(dir.path() / "RaceGraphics.png.000"), written[1]);

    // A backup name taken by anything is passed over, never replaced.
    std::ofstream(dir.File("RaceGraphics.png.001")) << "mine";
    EXPECT_EQ(bmp_to_png::BackUpPng(dir.File("RaceGraphics.png")), dir.File("RaceGraphics.png.002"));
    EXPECT_EQ(ReadAll(dir.path() / "RaceGraphics.png.001"), "mine");
    EXPECT_EQ(ReadAll(dir.path() / "RaceGraphics.png.bak"), written[0]);
    EXPECT_EQ(bmp_to_png::BackUpPng(dir.File("none.png")), "");
}

TEST(BmpToPng, PngNamesKeepShortUpperCaseNamesUpperCase) {
    const struct {
        const char* bmp;
        const char* png;
    } cases[] = {
        {"TRACK.BMP", "TRACK.PNG"},
        {"track.bmp", "track.png"},
        {"/site/RaceGraphics.bmp", "/site/RaceGraphics.png"},
        {"C:\\SITE.X\\TRACK", "C:\\SITE.X\\TRACK.PNG"},
        {"C:TRACK.B", "C:TRACK.PNG"},
        {"/a.b/name", "/a.b/name.png"},
        {"LONGNAME9.BMP", "LONGNAME9.png"},
        {"A.B.BMP", "A.B.png"},
        {"TRACK.BMPX", "TRACK.png"},
    };
    for (const auto& c : cases) EXPECT_EQ(bmp_to_png::PngPathFor(c.bmp), c.png) << c.bmp;
}

TEST(BmpToPng, StatusLineShowsEachStepAndAProportionalBar) {
    EXPECT_EQ(PngStatusLine::BarLength(1, 1), 1);
    EXPECT_EQ(PngStatusLine::BarLength(1024, 768), 56);
    EXPECT_EQ(PngStatusLine::BarLength(512, 768), 28);
    EXPECT_EQ(PngStatusLine::BarLength(3000, 3000), 56);
    EXPECT_EQ(PngStatusLine::BarLength(10, 10), 1);

    fixture::TempDir dir;
    const std::string bmp = dir.File("a.bmp");
    fixture::WriteBmp(bmp, Bmp(512, 768, 8, Palette(256)));
    std::ostringstream err;
    PngStatusLine status(err);
    ASSERT_EQ(bmp_to_png::ConvertBmpToPng(bmp, status), 0);
    // Each status: a carriage return, the message in 22 columns, a blank.
    const auto field = [](const std::string& s) {
        std::string line = "\r";
        line += s;
        line.resize(23, ' ');
        return line + " ";
    };
    const std::string expected = field("Reading a.bmp") + field("Read OK a.bmp") + field("Writing a.png") +
                                 std::string(28, '.') + field("Writing a.png") + std::string(28, 'o') +
                                 field("OK      a.png") + "\n";
    EXPECT_EQ(err.str(), expected);
}

}  // namespace
