#include "controls/dib_pixels.h"

#include <array>
#include <bit>
#include <unordered_map>

namespace dib_pixels {

namespace {

uint32_t Red(uint32_t rgb) { return (rgb >> 16) & 0xFF; }
uint32_t Green(uint32_t rgb) { return (rgb >> 8) & 0xFF; }
uint32_t Blue(uint32_t rgb) { return rgb & 0xFF; }

// Places an 8-bit channel value under a mask, keeping its top bits.
uint32_t UnderMask(uint32_t value, uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const uint32_t scaled = width <= 8 ? value >> (8 - width) : value << (width - 8);
    return (scaled << shift) & mask;
}

class DirectPacker {
public:
    DirectPacker(const bmp_file::BitmapInfoHeader& header, std::span<const uint32_t> colours) {
        if (header.biCompression == bmp_file::kBiBitfields) {
            masks_ = {colours[0], colours[1], colours[2]};
        } else if (header.biBitCount == 16) {
            masks_ = {0x7C00, 0x03E0, 0x001F};
        } else {
            masks_ = {0xFF0000, 0x00FF00, 0x0000FF};
        }
    }
    uint32_t operator()(uint32_t rgb) const {
        return UnderMask(Red(rgb), masks_[0]) | UnderMask(Green(rgb), masks_[1]) | UnderMask(Blue(rgb), masks_[2]);
    }

private:
    std::array<uint32_t, 3> masks_{};
};

}  // namespace

uint32_t RgbQuadOf(uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

uint32_t NearestEntry(std::span<const uint32_t> palette, uint32_t rgb) {
    uint32_t best = 0;
    uint32_t best_distance = UINT32_MAX;
    for (uint32_t i = 0; i < palette.size(); ++i) {
        const int dr = static_cast<int>(Red(palette[i])) - static_cast<int>(Red(rgb));
        const int dg = static_cast<int>(Green(palette[i])) - static_cast<int>(Green(rgb));
        const int db = static_cast<int>(Blue(palette[i])) - static_cast<int>(Blue(rgb));
        const auto distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    return best;
}

std::vector<uint8_t> PackRows(const bmp_file::BitmapInfoHeader& header, std::span<const uint32_t> colours,
                              std::span<const uint32_t> rgb) {
    if (bmp_file::Check(header, colours) != bmp_file::Result::kWritten) return {};
    const auto width = static_cast<size_t>(header.biWidth);
    const auto height = static_cast<size_t>(header.biHeight);
    if (rgb.size() != width * height) return {};
    const auto row_bytes = static_cast<size_t>(bmp_file::BytesPerRow(header.biWidth, header.biBitCount));
    std::vector<uint8_t> rows(row_bytes * height, 0);
    const uint32_t bits = header.biBitCount;

    if (bits <= 8) {
        // Pictures hold few colours, so each is matched against the palette
        // once, and runs of one colour skip even that lookup.
        std::unordered_map<uint32_t, uint8_t> nearest;
        uint32_t last_colour = rgb[0] & 0xFFFFFF;
        auto last_index = static_cast<uint8_t>(NearestEntry(colours, last_colour));
        nearest.emplace(last_colour, last_index);
        const uint32_t per_byte = 8 / bits;
        for (size_t y = 0; y < height; ++y) {
            uint8_t* row = rows.data() + (height - 1 - y) * row_bytes;
            for (size_t x = 0; x < width; ++x) {
                const uint32_t colour = rgb[y * width + x] & 0xFFFFFF;
                if (colour != last_colour) {
                    auto it = nearest.find(colour);
                    if (it == nearest.end()) {
                        it = nearest.emplace(colour, static_cast<uint8_t>(NearestEntry(colours, colour))).first;
                    }
                    last_colour = colour;
                    last_index = it->second;
                }
                // The leftmost pixel sits in the high bits of its byte.
                const auto shift = static_cast<uint32_t>(8 - bits * (1 + x % per_byte));
                row[x / per_byte] |= static_cast<uint8_t>(last_index << shift);
            }
        }
        return rows;
    }

    const DirectPacker pack(header, colours);
    const size_t bytes_per_pixel = bits / 8;
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = rows.data() + (height - 1 - y) * row_bytes;
        for (size_t x = 0; x < width; ++x) {
            const uint32_t value = pack(rgb[y * width + x]);
            for (size_t b = 0; b < bytes_per_pixel; ++b) row[x * bytes_per_pixel + b] = static_cast<uint8_t>(value >> (8 * b));
        }
    }
    return rows;
}

}  // namespace dib_pixels
