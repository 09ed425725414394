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

// Besides the form, each box has a range, chosen so that no step of the savings calculation divides by
// zero and every caption fits in 15 significant digits without an exponent:
//   tank     0.01 to 100000
//   top-ups  -1000 to 1000
//   mileage  -1000000 to 1000000, and mileage * 1.23 cut to one decimal must not be 0
//   price    -1000 to 1000
// Throws std::out_of_range for an index outside 0..kFieldCount-1.
std::string judgeField(int index, std::string_view text);
Verdict judgeFields(const FieldTexts& texts);

} // namespace logic
