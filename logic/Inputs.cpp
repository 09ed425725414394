#include "logic/Inputs.h"

#include "logic/NumberText.h"
#include "logic/Savings.h"

#include <stdexcept>

namespace logic {

namespace {

struct FieldRule {
    std::string_view required;
    std::string_view numbersOnly;
    FieldRange range;
    std::string_view outOfRange;
};

constexpr std::array<FieldRule, kFieldCount> kRules{{
    {"Tank Capacity Is Required.", "Please Enter Numbers Only For Tank Capacity.", kRanges[kTank],
     "Tank Capacity Must Be Between 1 And 1500."},
    {"Monthly Top-up Is Required.", "Please Enter Numbers Only For Monthly Top-up.", kRanges[kTopUps],
     "Monthly Top-up Must Be Between 0 And 100."},
    {"Mileage Attained Is Required.", "Please Enter Numbers Only For Mileage Attained.", kRanges[kMileage],
     "Mileage Attained Must Be Between 1 And 3000."},
    {"Fuel Price Is Required.", "Please Enter Numbers Only For Fuel Price.", kRanges[kPrice],
     "Fuel Price Must Be Between 0.01 And 20."},
}};

} // namespace

bool Verdict::fieldOk(int index) const {
    return messages.at(static_cast<std::size_t>(index)) == kNil;
}

std::string judgeField(int index, std::string_view text) {
    if (index < 0 || index >= kFieldCount) throw std::out_of_range("no such field");
    const FieldRule& rule = kRules[static_cast<std::size_t>(index)];
    if (text.empty()) return std::string(rule.required);
    // Digits beyond a double's range, and those too small for one, are numbers out of range.
    if (!hasNumberForm(text)) return std::string(rule.numbersOnly);
    const auto value = toNumber(text);
    if (!value || *value < rule.range.low || *value > rule.range.high) return std::string(rule.outOfRange);
    return std::string(kNil);
}

Verdict judgeFields(const FieldTexts& texts) {
    Verdict verdict;
    bool allOk = true;
    for (int i = 0; i < kFieldCount; ++i) {
        auto& message = verdict.messages[static_cast<std::size_t>(i)];
        message = judgeField(i, texts[static_cast<std::size_t>(i)]);
        allOk = allOk && message == kNil;
    }
    verdict.status = allOk ? kSuccess : kFail;
    return verdict;
}

} // namespace logic
