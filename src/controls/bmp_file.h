#pragma once
// The .bmp file as the program writes it: a 14-byte file header, the 40-byte
// BITMAPINFOHEADER of the image, its colour table and its pixel rows, all
// little-endian. Rows run bottom-up and each is padded to a multiple of four
// bytes. Depths of 1, 4 and 8 bits carry a colour table; 16 and 32 bits
// carry none (BI_RGB) or their three channel masks (BI_BITFIELDS); 24 bits
// carry none.
//
// Images are refused rather than written wrong: an empty image, a header
// that does not describe an uncompressed bitmap of a supported depth, a
// colour table of the wrong length, or pixel bytes whose length differs
// from the image size the header gives. A refused image writes no file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace bmp_file {

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitfields = 3;
inline constexpr uint32_t kFileHeaderBytes = 14;
inline constexpr uint32_t kInfoHeaderBytes = 40;
// Largest image accepted, in bytes of pixel rows; the file's 32-bit size
// field must hold the whole file.
inline constexpr uint64_t kMaxImageBytes = 0x7FFF0000;

// The BITMAPINFOHEADER fields, in file order. Height is positive: rows run
// bottom-up.
struct BitmapInfoHeader {
    uint32_t biSize = kInfoHeaderBytes;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = kBiRgb;
    // Bytes of pixel rows; 0 stands for BytesPerRow x height.
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

enum class Result {
    kWritten,
    kEmptyImage,           // width or height 0
    kUnsupportedFormat,    // header size, planes, depth, compression or masks
    kColourTableMismatch,  // not exactly ColourEntryCount entries
    kPixelSizeMismatch,    // biSizeImage or the pixel bytes differ from the image size
    kTooLarge,             // beyond kMaxImageBytes
    kWriteFailed,          // no path, or the file could not be written
};

// Colour-table entries of a header: 2, 16 and 256 for 1, 4 and 8 bits; 3
// (the masks) for 16 and 32 bits with BI_BITFIELDS; else 0. A non-zero
// biClrUsed not larger than that count replaces it.
uint32_t ColourEntryCount(const BitmapInfoHeader& header);

// Bytes of one pixel row, padded to a multiple of four.
uint64_t BytesPerRow(int64_t width, uint32_t bits_per_pixel);

// Bytes of all pixel rows of the header's image.
uint64_t ImageBytes(const BitmapInfoHeader& header);

// Checks a header and its colour table (the masks of BI_BITFIELDS must each
// be one run of bits inside the pixel, not overlapping) against the rules
// above; the pixel bytes are not looked at. kWritten when it can be written.
Result Check(const BitmapInfoHeader& header, std::span<const uint32_t> colours);

// The file bytes of an image. colours are RGBQUADs read as little-endian
// 32-bit words (0x00RRGGBB), or for BI_BITFIELDS the red, green and blue
// masks; pixels are the rows as the file holds them. The header is written
// with biSizeImage filled in when it was 0. out is emptied first and left
// empty when the image is refused.
Result Encode(const BitmapInfoHeader& header, std::span<const uint32_t> colours,
              std::span<const uint8_t> pixels, std::string& out);

// Encodes and replaces the file at path atomically: on any failure no file
// is created and an old file stays whole.
Result Write(const std::filesystem::path& path, const BitmapInfoHeader& header,
             std::span<const uint32_t> colours, std::span<const uint8_t> pixels);

}  // namespace bmp_file
