#include "controls/bmp_file.h"

#include <bit>

#include "replay/byte_writer.h"
#include "settings/atomic_file.h"

namespace bmp_file {

namespace {

bool DirectColour(uint32_t bits) { return bits == 16 || bits == 24 || bits == 32; }

// A channel mask must be one run of set bits within the pixel.
bool GoodMask(uint32_t mask, uint32_t bits) {
    if (mask == 0) return false;
    if (bits < 32 && (mask >> bits) != 0) return false;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

}  // namespace

uint32_t ColourEntryCount(const BitmapInfoHeader& header) {
    uint32_t count = 0;
    switch (header.biBitCount) {
        case 1: count = 2; break;
        case 4: count = 16; break;
        case 8: count = 256; break;
        case 16:
        case 32: count = header.biCompression == kBiBitfields ? 3 : 0; break;
        default: count = 0; break;
    }
    if (header.biClrUsed != 0 && header.biClrUsed <= count) count = header.biClrUsed;
    return count;
}

uint64_t BytesPerRow(int64_t width, uint32_t bits_per_pixel) {
    if (width <= 0) return 0;
    return ((static_cast<uint64_t>(width) * bits_per_pixel + 31) & ~uint64_t{31}) / 8;
}

uint64_t ImageBytes(const BitmapInfoHeader& header) {
    if (header.biHeight <= 0) return 0;
    return BytesPerRow(header.biWidth, header.biBitCount) * static_cast<uint64_t>(header.biHeight);
}

Result Check(const BitmapInfoHeader& header, std::span<const uint32_t> colours) {
    if (header.biWidth == 0 || header.biHeight == 0) return Result::kEmptyImage;
    // Top-down rows (a negative height) and negative widths are not written.
    if (header.biWidth < 0 || header.biHeight < 0) return Result::kUnsupportedFormat;
    if (header.biSize != kInfoHeaderBytes || header.biPlanes != 1) return Result::kUnsupportedFormat;
    const uint32_t bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && !DirectColour(bits)) return Result::kUnsupportedFormat;
    if (header.biCompression == kBiBitfields) {
        if (bits != 16 && bits != 32) return Result::kUnsupportedFormat;
    } else if (header.biCompression != kBiRgb) {
        return Result::kUnsupportedFormat;
    }
    const uint32_t entries = ColourEntryCount(header);
    if (header.biCompression == kBiBitfields && entries != 3) return Result::kUnsupportedFormat;
    if (colours.size() != entries) return Result::kColourTableMismatch;
    if (header.biCompression == kBiBitfields) {
        uint32_t all = 0;
        for (const uint32_t mask : colours) {
            if (!GoodMask(mask, bits) || (all & mask) != 0) return Result::kUnsupportedFormat;
            all |= mask;
        }
    }
    const uint64_t image = ImageBytes(header);
    if (image > kMaxImageBytes) return Result::kTooLarge;
    // The size the header claims is how many pixel bytes a reader takes, so
    // any other value than the rows' size would misplace or overrun them.
    if (header.biSizeImage != 0 && header.biSizeImage != image) return Result::kPixelSizeMismatch;
    return Result::kWritten;
}

Result Encode(const BitmapInfoHeader& header, std::span<const uint32_t> colours,
              std::span<const uint8_t> pixels, std::string& out) {
    out.clear();
    const Result checked = Check(header, colours);
    if (checked != Result::kWritten) return checked;
    const uint64_t image = ImageBytes(header);
    if (pixels.size() != image) return Result::kPixelSizeMismatch;

    const uint32_t pixel_offset = kFileHeaderBytes + kInfoHeaderBytes + 4 * static_cast<uint32_t>(colours.size());
    ByteWriter w;
    w.bytes().reserve(pixel_offset + pixels.size());
    w.U8('B');
    w.U8('M');
    w.U32(pixel_offset + static_cast<uint32_t>(image));
    w.U16(0);
    w.U16(0);
    w.U32(pixel_offset);
    w.U32(header.biSize);
    w.U32(static_cast<uint32_t>(header.biWidth));
    w.U32(static_cast<uint32_t>(header.biHeight));
    w.U16(header.biPlanes);
    w.U16(header.biBitCount);
    w.U32(header.biCompression);
    w.U32(static_cast<uint32_t>(image));
    w.U32(static_cast<uint32_t>(header.biXPelsPerMeter));
    w.U32(static_cast<uint32_t>(header.biYPelsPerMeter));
    w.U32(header.biClrUsed);
    w.U32(header.biClrImportant);
    for (const uint32_t entry : colours) w.U32(entry);
    w.Raw(std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size()));
    out = std::move(w.bytes());
    return Result::kWritten;
}

Result Write(const std::filesystem::path& path, const BitmapInfoHeader& header,
             std::span<const uint32_t> colours, std::span<const uint8_t> pixels) {
    if (path.empty()) return Result::kWriteFailed;
    std::string bytes;
    const Result encoded = Encode(header, colours, pixels, bytes);
    if (encoded != Result::kWritten) return encoded;
    return atomic_file::Write(path, bytes) ? Result::kWritten : Result::kWriteFailed;
}

}  // namespace bmp_file
