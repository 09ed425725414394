#include "logic/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>
#include <system_error>

namespace logic {

bool isNumeric(std::string_view text) {
    return toNumber(text).has_value();
}

namespace {

// The digits and point of a number in plain decimal form, without blanks and sign; nullopt for any other
// text. from_chars alone would also take "inf", "nan" and a prefix of "1e5", so the form is checked first.
std::optional<std::string_view> numberBody(std::string_view text, bool& negative) {
    constexpr std::string_view blanks = " \t";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return std::nullopt;
    std::string_view body = text.substr(first, text.find_last_not_of(blanks) - first + 1);

    negative = body.front() == '-';
    if (negative || body.front() == '+') body.remove_prefix(1);

    int digits = 0;
    int points = 0;
    for (const char c : body) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) return std::nullopt;
    return body;
}

// Some standard libraries (libc++ before 17, as WebAssembly toolchains ship) lack the floating-point
// charconv functions. The classic-locale streams stand in: correctly rounded, and "." whatever the locale.
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
std::from_chars_result parseFixed(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value, std::chars_format::fixed);
}

std::string scientific15(double magnitude) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::scientific, 14)
                         .ptr;
    return std::string(buffer.data(), end);
}
#else
// Only ever given the digits and point that numberBody accepted, so the whole text is the number.
std::from_chars_result parseFixed(const char* first, const char* last, double& value) {
    std::istringstream in(std::string(first, last));
    in.imbue(std::locale::classic());
    in >> value;
    // The stream fails on any range error but keeps the result: a subnormal value is still exact enough.
    if (!in.fail() || (std::isfinite(value) && value != 0.0)) return {last, std::errc{}};
    return {last, std::errc::result_out_of_range};
}

std::string scientific15(double magnitude) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(14);
    out << std::scientific << magnitude;
    return out.str();
}
#endif

} // namespace

bool hasNumberForm(std::string_view text) {
    bool negative = false;
    return numberBody(text, negative).has_value();
}

std::optional<double> toNumber(std::string_view text) {
    bool negative = false;
    const auto form = numberBody(text, negative);
    if (!form) return std::nullopt;
    const std::string_view body = *form;

    double value = 0.0;
    const auto [end, error] = parseFixed(body.data(), body.data() + body.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Reported for underflow too; that is only an overflow when the whole part is not all zeros.
        const auto whole = body.substr(0, body.find('.'));
        if (whole.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
        value = 0.0;
    } else if (error != std::errc{} || end != body.data() + body.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string numberToText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

    // "d.dddddddddddddde±x" is correctly rounded to 15 significant digits; only its layout changes below.
    const std::string scientificText = scientific15(std::fabs(value));
    const std::string_view scientific(scientificText);
    const auto e = scientific.find('e');

    std::string digits(1, scientific[0]);
    digits.append(scientific.substr(2, e - 2));
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.empty()) return "0";

    auto exponentText = scientific.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::string text = value < 0 ? "-" : "";
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto wholeLength = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= wholeLength) {
            text += digits;
            text.append(wholeLength - digits.size(), '0');
        } else {
            text.append(digits, 0, wholeLength);
            text += '.';
            text.append(digits, wholeLength);
        }
    }
    return text;
}

std::string cutDecimals(double value, int decimals) {
    std::string text = numberToText(value);
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text.resize(std::min(text.size(), point + 1 + static_cast<std::size_t>(std::max(decimals, 0))));
        // A negative value cut down to nothing but zeros is zero, not "-0.0".
        if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    }
    return text;
}

} // namespace logic
