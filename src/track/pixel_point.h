#pragma once
// A logical pixel position of a painter (x to the right, y down).

#include <cstdint>

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};
