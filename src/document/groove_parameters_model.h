#pragma once
// The groove parameters dialog's checks, without any window: the two
// factor fields take whole percentages 0 to 999, and the width field a
// plain decimal number (it goes into every line of the groove file as
// typed, so a blank or a second field in it would break the file).

#include <optional>
#include <string>

#include "document/groove_export.h"

class GrooveParametersModel {
public:
    static constexpr const char* kNotInteger = "Please enter an integer.";
    static constexpr const char* kFactorRange = "Please enter an integer between 0 and 999.";
    static constexpr const char* kNotNumber = "Please enter a number.";

    // The message that refuses the factor text, or nullopt with value set.
    static std::optional<std::string> CheckFactor(const std::string& text, int& value);
    // The message that refuses the width text, or nullopt: digits with at
    // most one "." and at least one digit, nothing else.
    static std::optional<std::string> CheckWidth(const std::string& text);

    // Reads the four texts into parameters (method and resolution index set
    // by the caller). The first refusal, naming the field by its index (0
    // acceleration, 1 roll, 2 width), or nullopt when all are accepted.
    struct Refusal {
        int field = 0;
        std::string message;
    };
    std::optional<Refusal> Accept(const std::string& acceleration, const std::string& roll, const std::string& width);

    groove_export::Parameters parameters;
};
