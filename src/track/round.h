#pragma once
// Rounding shared by curve sampling and the painters' world-to-pixel
// mapping.

#include <cmath>
#include <cstdint>
#include <limits>

#include <algorithm>

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

// Round(q), held well inside 64 bits so that adding a pixel offset cannot
// overflow.
inline int64_t RoundHeld(double q) {
    constexpr int64_t kHold = int64_t{1} << 40;
    return std::clamp<int64_t>(Round(q), -kHold, kHold);
}

// A pixel coordinate held at the ends of the 32-bit range.
inline int32_t ToInt32(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
