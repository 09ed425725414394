#include "logic/Inputs.h"

#include "logic/NumberText.h"
#include "logic/Savings.h"

#include <cmath>
#include <stdexcept>

namespace logic {

namespace {

struct FieldMessages {
    std::string_view required;
    std::string_view numbersOnly;
};

constexpr std::array<FieldMessages, kFieldCount> kMessages{{
    {"Tank Capacity Is Required.", "Please Enter Numbers Only For Tank Capacity."},
    {"Monthly Top-up Is Required.", "Please Enter Numbers Only For Monthly Top-up."},
    {"Mileage Attained Is Required.", "Please Enter Numbers Only For Mileage Attained."},
    {"Fuel Price Is Required.", "Please Enter Numbers Only For Fuel Price."},
}};

std::string_view rangeMessage(int index, double value) {
    switch (index) {
    case kTank:
        if (value <= 0) return "Tank Capacity Must Be Greater Than Zero.";
        if (value < 0.01 || value > 100000) return "Tank Capacity Must Be Between 0.01 And 100000.";
        break;
    case kTopUps:
        if (std::fabs(value) > 1000) return "Monthly Top-up Must Be Between -1000 And 1000.";
        break;
    case kMileage:
        if (std::fabs(value) > 1000000) return "Mileage Attained Must Be Between -1000000 And 1000000.";
        // The topped-up count divides by exactly this cut value.
        if (toNumber(mileageWithAdditive(value)) == 0.0) return "Mileage Attained Is Too Close To Zero.";
        break;
    case kPrice:
        if (std::fabs(value) > 1000) return "Fuel Price Must Be Between -1000 And 1000.";
        break;
    }
    return kNil;
}

} // namespace

bool Verdict::fieldOk(int index) const {
    return messages.at(static_cast<std::size_t>(index)) == kNil;
}

std::string judgeField(int index, std::string_view text) {
    if (index < 0 || index >= kFieldCount) throw std::out_of_range("no such field");
    const auto& words = kMessages[static_cast<std::size_t>(index)];
    if (text.empty()) return std::string(words.required);
    const auto value = toNumber(text);
    if (!value) return std::string(words.numbersOnly);
    return std::string(rangeMessage(index, *value));
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
