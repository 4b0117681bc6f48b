#pragma once
// The texts of the property pages' edit boxes and the rules for reading
// them back, with the standard messages shown when a value is refused.
// Numbers are read and written in the C locale; blanks around a number
// are allowed, anything else after it is not.

#include <optional>
#include <string>

namespace data_exchange {

inline constexpr const char* kEnterInteger = "Please enter an integer.";
inline constexpr const char* kEnterNumber = "Please enter a number.";

// "Please enter an integer between 0 and 10."
std::string IntegerRangeMessage(int min, int max);

// The shortest text that reads back as exactly `value`.
std::string FormatDouble(double value);
std::string FormatInt(int value);

// nullopt for text that is not a whole number within int.
std::optional<int> ParseInt(const std::string& text);
// nullopt for text that is not a finite number.
std::optional<double> ParseDouble(const std::string& text);

}  // namespace data_exchange
