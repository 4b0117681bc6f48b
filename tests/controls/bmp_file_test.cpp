// The .bmp writer: header fields, sizes and offsets of every depth worked
// out by hand from the file layout, and the images it refuses to write.

#include "controls/bmp_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using bmp_file::BitmapInfoHeader;
using bmp_file::Result;

uint32_t U32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

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

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    return bytes;
}

TEST(BmpFileTest, EveryDepthHasTheSizesAndOffsetsOfTheLayout) {
    const std::vector<uint32_t> masks565{0xF800, 0x07E0, 0x001F};
    const struct {
        const char* name;
        BitmapInfoHeader header;
        size_t colours;
        uint32_t row_bytes, pixel_offset, file_size;
    } cases[] = {
        // 10 pixels of 1 bit: 2 bytes padded to 4; two RGBQUADs.
        {"1 bit", Header(10, 2, 1), 2, 4, 62, 70},
        // 5 bytes padded to 8; 16 entries.
        {"4 bit", Header(10, 2, 4), 16, 8, 118, 134},
        {"8 bit", Header(10, 2, 8), 256, 12, 1078, 1102},
        {"16 bit", Header(10, 2, 16), 0, 20, 54, 94},
        {"16 bit with masks", Header(10, 2, 16, bmp_file::kBiBitfields), 3, 20, 66, 106},
        {"24 bit", Header(10, 2, 24), 0, 32, 54, 118},
        {"32 bit", Header(10, 2, 32), 0, 40, 54, 134},
        {"1 pixel of 24 bit", Header(1, 1, 24), 0, 4, 54, 58},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> colours(c.colours, 0x00123456);
        if (c.colours == 3) colours = masks565;
        const std::vector<uint8_t> pixels = Pattern(size_t{c.row_bytes} * static_cast<size_t>(c.header.biHeight));
        std::string out;
        ASSERT_EQ(bmp_file::Encode(c.header, colours, pixels, out), Result::kWritten);
        ASSERT_EQ(out.size(), c.file_size);
        EXPECT_EQ(out.substr(0, 2), "BM");
        EXPECT_EQ(U32(out, 2), c.file_size);
        EXPECT_EQ(U32(out, 6), 0u);
        EXPECT_EQ(U32(out, 10), c.pixel_offset);
        EXPECT_EQ(U32(out, 14), 40u);
        EXPECT_EQ(U32(out, 18), static_cast<uint32_t>(c.header.biWidth));
        EXPECT_EQ(U32(out, 22), static_cast<uint32_t>(c.header.biHeight));
        EXPECT_EQ(U16(out, 26), 1);
        EXPECT_EQ(U16(out, 28), c.header.biBitCount);
        EXPECT_EQ(U32(out, 30), c.header.biCompression);
        // biSizeImage 0 is written as the size of the rows.
        EXPECT_EQ(U32(out, 34), pixels.size());
        for (size_t i = 0; i < c.colours; ++i) EXPECT_EQ(U32(out, 54 + 4 * i), colours[i]);
        EXPECT_EQ(out.substr(c.pixel_offset), std::string(pixels.begin(), pixels.end()));
    }
}

TEST(BmpFileTest, UsedColourCountShortensTheTable) {
    BitmapInfoHeader h = Header(4, 1, 8);
    h.biClrUsed = 16;
    std::string out;
    ASSERT_EQ(bmp_file::Encode(h, std::vector<uint32_t>(16, 0), Pattern(4), out), Result::kWritten);
    EXPECT_EQ(U32(out, 10), 54u + 64u);
    EXPECT_EQ(U32(out, 46), 16u);
    h.biClrUsed = 300;  // larger than the depth allows: the full table
    EXPECT_EQ(bmp_file::ColourEntryCount(h), 256u);
}

TEST(BmpFileTest, RefusesImagesItCannotWriteWhole) {
    const std::vector<uint32_t> none;
    const std::vector<uint32_t> two(2, 0);
    BitmapInfoHeader claimed_large = Header(10, 2, 24);
    claimed_large.biSizeImage = 65;
    BitmapInfoHeader claimed_small = Header(10, 2, 24);
    claimed_small.biSizeImage = 32;
    BitmapInfoHeader two_planes = Header(10, 2, 24);
    two_planes.biPlanes = 2;
    const struct {
        const char* name;
        BitmapInfoHeader header;
        std::vector<uint32_t> colours;
        size_t pixel_bytes;
        Result expected;
    } cases[] = {
        {"no width", Header(0, 2, 24), none, 0, Result::kEmptyImage},
        {"no height", Header(10, 0, 24), none, 0, Result::kEmptyImage},
        {"all zero", BitmapInfoHeader{}, none, 0, Result::kEmptyImage},
        {"top-down rows", Header(10, -2, 24), none, 64, Result::kUnsupportedFormat},
        {"2 bits", Header(10, 2, 2), none, 24, Result::kUnsupportedFormat},
        {"run-length compressed", Header(10, 2, 8, 1), std::vector<uint32_t>(256, 0), 24,
         Result::kUnsupportedFormat},
        {"masks on 24 bits", Header(10, 2, 24, bmp_file::kBiBitfields), {0xFF, 0xFF00, 0xFF0000}, 64,
         Result::kUnsupportedFormat},
        {"two planes", two_planes, none, 64, Result::kUnsupportedFormat},
        {"overlapping masks", Header(10, 2, 16, bmp_file::kBiBitfields), {0xF800, 0x0FE0, 0x001F}, 40,
         Result::kUnsupportedFormat},
        {"split mask", Header(10, 2, 16, bmp_file::kBiBitfields), {0xF000, 0x0501, 0x001E}, 40,
         Result::kUnsupportedFormat},
        {"mask beyond 16 bits", Header(10, 2, 16, bmp_file::kBiBitfields), {0x1F0000, 0x07E0, 0x001F}, 40,
         Result::kUnsupportedFormat},
        {"short colour table", Header(10, 2, 8), two, 24, Result::kColourTableMismatch},
        {"colours on 24 bits", Header(10, 2, 24), two, 64, Result::kColourTableMismatch},
        {"size claimed past the pixels", claimed_large, none, 64, Result::kPixelSizeMismatch},
        {"size claimed short of the pixels", claimed_small, none, 64, Result::kPixelSizeMismatch},
        {"pixels short of the rows", Header(10, 2, 24), none, 63, Result::kPixelSizeMismatch},
        {"pixels past the rows", Header(10, 2, 24), none, 65, Result::kPixelSizeMismatch},
        {"too large", Header(0x10000, 0x10000, 24), none, 0, Result::kTooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "old";
        EXPECT_EQ(bmp_file::Encode(c.header, c.colours, Pattern(c.pixel_bytes), out), c.expected);
        EXPECT_TRUE(out.empty());
    }
}

TEST(BmpFileTest, FailedWritesLeaveNoFileAndKeepTheOldOne) {
    fixture::TempDir dir;
    const fs::path target = dir.path() / "map.bmp";
    const std::vector<uint8_t> pixels = Pattern(64);
    ASSERT_EQ(bmp_file::Write(target, Header(10, 2, 24), {}, pixels), Result::kWritten);
    const std::string old = ReadAll(target);
    ASSERT_EQ(old.size(), 118u);

    // A refused image does not touch the file it would have replaced.
    EXPECT_EQ(bmp_file::Write(target, Header(0, 0, 24), {}, {}), Result::kEmptyImage);
    EXPECT_EQ(bmp_file::Write(target, Header(10, 2, 24), {}, Pattern(10)), Result::kPixelSizeMismatch);
    EXPECT_EQ(ReadAll(target), old);
    EXPECT_EQ(bmp_file::Write(dir.path() / "empty.bmp", Header(0, 0, 24), {}, {}), Result::kEmptyImage);
    EXPECT_FALSE(fs::exists(dir.path() / "empty.bmp"));

    // A folder that cannot take the file, and no path at all.
    EXPECT_EQ(bmp_file::Write(dir.path() / "missing" / "map.bmp", Header(10, 2, 24), {}, pixels),
              Result::kWriteFailed);
    EXPECT_EQ(bmp_file::Write(fs::path(), Header(10, 2, 24), {}, pixels), Result::kWriteFailed);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
