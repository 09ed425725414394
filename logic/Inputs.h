#pragma once

#include <array>
#include <string>
#include <string_view>

namespace logic {

inline constexpr int kFieldCount = 4;
inline constexpr int kTank = 0;    // litres
inline constexpr int kTopUps = 1;  // full tanks a month
inline constexpr int kMileage = 2; // km per full tank
inline constexpr int kPrice = 3;   // SGD per litre

inline constexpr std::string_view kNil = "nil";
inline constexpr std::string_view kSuccess = "success";
inline constexpr std::string_view kFail = "fail";

using FieldTexts = std::array<std::string, kFieldCount>;

struct Verdict {
    std::array<std::string, kFieldCount> messages; // per box its message, or kNil
    std::string status;                            // kSuccess when every box is kNil, else kFail
    bool fieldOk(int index) const;
};

// Besides the form, each box has a range that real vehicles and fuel prices stay within. The ranges keep
// every step of the savings calculation away from a division by zero and every figure within 15 significant
// digits without an exponent, and short enough to show whole in its row.
struct FieldRange {
    double low;
    double high;
};
inline constexpr std::array<FieldRange, kFieldCount> kRanges{{
    {1, 1500},  // tank, litres
    {0, 100},   // top-ups a month
    {1, 3000},  // mileage per full tank, km
    {0.01, 20}, // price per litre, SGD
}};

// Throws std::out_of_range for an index outside 0..kFieldCount-1.
std::string judgeField(int index, std::string_view text);
Verdict judgeFields(const FieldTexts& texts);

} // namespace logic
