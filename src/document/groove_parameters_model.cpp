#include "document/groove_parameters_model.h"

#include <charconv>

std::optional<std::string> GrooveParametersModel::CheckFactor(const std::string& text, int& value) {
    // Blanks around the number are allowed, as the framework's reading has it.
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return std::string(kNotInteger);
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    long long v = 0;
    const auto r = std::from_chars(begin, end, v);
    if (r.ptr != end) return std::string(r.ec == std::errc::result_out_of_range ? kFactorRange : kNotInteger);
    if (v < 0 || v > 999) return std::string(kFactorRange);
    value = static_cast<int>(v);
    return std::nullopt;
}

std::optional<std::string> GrooveParametersModel::CheckWidth(const std::string& text) {
    int digits = 0;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return std::string(kNotNumber);
    }
    if (digits == 0 || points > 1) return std::string(kNotNumber);
    return std::nullopt;
}

std::optional<GrooveParametersModel::Refusal> GrooveParametersModel::Accept(const std::string& acceleration,
                                                                            const std::string& roll,
                                                                            const std::string& width) {
    int a = 0;
    int r = 0;
    if (auto m = CheckFactor(acceleration, a)) return Refusal{0, *m};
    if (auto m = CheckFactor(roll, r)) return Refusal{1, *m};
    if (auto m = CheckWidth(width)) return Refusal{2, *m};
    parameters.acceleration_factor = a;
    parameters.roll_factor = r;
    parameters.width = width;
    return std::nullopt;
}
