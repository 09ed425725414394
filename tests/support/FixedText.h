#pragma once

#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

// A value written with the given number of decimals, "." whatever the locale; the tests' own writer, since
// not every standard library has the floating-point std::to_chars.
inline std::string fixedText(double value, int decimals) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}
