#pragma once
// The first sixteen entries of the document's colour table (COLORREF,
// 0x00BBGGRR), the ones the track map draws with: lap colours 0 to 4 and
// the surface colours 6 to 15. Tests and benchmarks pass it to the painter
// as the document will.

#include <array>
#include <cstdint>

namespace fixture {

inline constexpr std::array<uint32_t, 16> kMapColours{
    0x0000FF, 0xFF0000, 0x38FB00, 0x00F0F0, 0xE2E826, 0x2F2020, 0x2D5B28, 0x808080,
    0xBEBEBE, 0x328032, 0x005CB9, 0xFF00FF, 0x0050A0, 0x000000, 0xFFFFFF, 0x0000FF,
};

}  // namespace fixture
