#pragma once
// Windows bitmap files laid out byte by byte from the file format: the
// 14-byte file header, an information header of 12 (core), 40, 108 or 124
// bytes, the colour table (3-byte entries after a core header, else 4),
// an optional gap, and the pixel rows padded to four bytes, bottom-up or
// top-down. Any field can be set to a value no writer would use, so the
// readers' refusals can be tested.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fixture {

struct BmpSpec {
    uint32_t info_size = 40;
    int32_t width = 1;
    int32_t height = 1;       // negative: rows stored top-down
    uint16_t bits = 8;
    uint32_t compression = 0;
    std::vector<uint32_t> colours;  // 0x00RRGGBB
    uint32_t gap = 0;               // bytes between the colour table and the pixels
    size_t prefix = 0;              // bytes of something else before "BM"
    // The pixel at (x, y), y = 0 the top row: a colour-table index, or
    // 0x00RRGGBB for 24 bits.
    std::function<uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
    std::optional<uint32_t> pixel_offset;  // else where the pixels start
    std::optional<size_t> cut_to;          // bitmap cut to this many bytes (prefix not counted)
};

std::string BuildBmp(const BmpSpec& spec);
void WriteBmp(const std::string& path, const BmpSpec& spec);

}  // namespace fixture
