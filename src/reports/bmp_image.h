#pragma once
// An uncompressed Windows bitmap of 1, 4, 8 or 24 bits per pixel read into
// memory for the PNG converter: size, depth, colour table (as red, green,
// blue) and the pixel block exactly as the file stores it, with a table of
// row pointers whose row 0 is the picture's top row.
//
// Read accepts the 12-byte core header and the 40- to 124-byte information
// headers, a bitmap that starts 128 bytes into the file (after a
// MacBinary-style prefix), top-down bitmaps (negative height) and gaps
// between the colour table and the pixels. Everything the file claims is
// bounded before a byte is allocated: the rows must lie inside the file,
// colour entries beyond what the depth can index are passed over, and a
// pixel that names an entry the table does not have is refused, since it
// would make an unreadable PNG.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class PngStatusLine;

class BmpImage {
public:
    // The outcome of Read; each failure has its line of text (Message).
    enum class Result {
        kRead,
        kNoSuchFile,
        kNotBmp,
        kInvalidHeaderSize,
        kWidthBelowOne,
        kHeightBelowOne,
        kCompressed,
        kSixteenOrThirtyTwoBits,
        kInvalidBitDepth,
        kOutOfMemory,
        kReadFailed,
        kPrematureEnd,
        kColourIndexOutsideTable,
    };

    // Reads the bitmap at path. Shows "Reading <name>" and "Read OK <name>"
    // on the status line when one is given; on failure prints the failure's
    // line there and leaves the object empty.
    Result Read(const std::string& path, PngStatusLine* status = nullptr);
    // The same for the bytes of a bitmap file held in memory; path names
    // it on the status line.
    Result Read(std::span<const uint8_t> bytes, const std::string& path, PngStatusLine* status = nullptr);
    void Clear();

    // The failure's line for a path, with its line feed ("SKIPPED: ... -
    // path\n"); empty for kRead.
    static std::string Message(Result result, const std::string& path);

    int32_t width = 0;
    int32_t height = 0;
    int32_t bit_depth = 0;
    uint32_t palette_count = 0;  // 0 for 24 bits
    bool top_down = false;
    uint64_t row_stride = 0;     // bytes per stored row, a multiple of 4
    uint64_t image_size = 0;     // row_stride x height
    std::vector<uint8_t> palette;  // red, green, blue per entry
    std::vector<uint8_t> pixels;   // the stored rows
    // Row 0 is the top row of the picture; pointers into pixels.
    std::vector<uint8_t*> rows;

private:
    template <class Source>
    Result ReadFrom(const Source& file, const std::string& path, PngStatusLine* status);
};
