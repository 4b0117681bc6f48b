#include "graph/data_exchange.h"

#include <charconv>
#include <cmath>

namespace data_exchange {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text without blanks at either end.
std::string_view Trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return std::string_view(text).substr(first, last - first);
}

}  // namespace

std::string IntegerRangeMessage(int min, int max) {
    return "Please enter an integer between " + FormatInt(min) + " and " + FormatInt(max) + ".";
}

std::string FormatDouble(double value) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

std::string FormatInt(int value) {
    char buf[16];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

std::optional<int> ParseInt(const std::string& text) {
    std::string_view s = Trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int value = 0;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || result.ec != std::errc() || result.ptr != s.data() + s.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(const std::string& text) {
    std::string_view s = Trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || result.ec != std::errc() || result.ptr != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace data_exchange
