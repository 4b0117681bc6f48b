#include "graph/graph_axis_label.h"

#include <algorithm>
#include <charconv>
#include <cmath>

std::string CGraphAxisLabel::FormatFixed(double value, int decimals) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    // 308 integer digits, a sign, a point and the decimals always fit.
    constexpr int kMaxDecimals = 64;
    char buf[400];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, kMaxDecimals));
    return std::string(buf, result.ptr);
}

std::string CGraphAxisLabel::FormatValue(double value, int style) const {
    switch (style) {
        case 0:
            return FormatFixed(value, decimals_);
        case 1:
            return FormatFixed(value, decimals_) + " " + unit_;
        case 2:
            return title_ + ": " + FormatFixed(value, decimals_) + " " + unit_;
        default:
            return "";
    }
}
