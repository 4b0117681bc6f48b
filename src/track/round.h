#pragma once
// Rounding shared by curve sampling and the painters' world-to-pixel
// mapping.

#include <cmath>
#include <cstdint>
#include <limits>

// Rounds half away from zero to a 64-bit integer (x - 0.5 truncated for a
// negative x, x + 0.5 truncated otherwise). NaN gives 0 and values beyond
// the 64-bit range give the nearest limit, so a damaged input never reaches
// an undefined conversion.
inline int64_t Round(double x) {
    if (std::isnan(x)) return 0;
    constexpr double kLimit = 9.2e18;
    if (x >= kLimit) return std::numeric_limits<int64_t>::max();
    if (x <= -kLimit) return std::numeric_limits<int64_t>::min();
    return x < 0 ? static_cast<int64_t>(x - 0.5) : static_cast<int64_t>(x + 0.5);
}
