#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace logic {

// Plain decimal notation only: optional ASCII spaces or tabs around it, one optional "+" or "-", digits
// with at most one ".", at least one digit. "." is the decimal point whatever the locale. A value too
// large for a double is refused, so toNumber never yields a non-finite value.
bool isNumeric(std::string_view text);
std::optional<double> toNumber(std::string_view text); // nullopt exactly when !isNumeric(text)
// The form alone, whatever the magnitude: also true for digits beyond the range of a double.
bool hasNumberForm(std::string_view text);

// Rounded to 15 significant digits like "%.15g", but always written out in plain decimal notation,
// without trailing zeros and never as "-0".
std::string numberToText(double value);

// numberToText(value) truncated to at most `decimals` places after the point: never rounds, never pads.
std::string cutDecimals(double value, int decimals);

} // namespace logic
