#pragma once

#include "logic/Inputs.h"

#include <array>
#include <optional>
#include <string>

namespace logic {

inline constexpr int kResultCount = 7;

// Every step that is cut to one or two decimals is held as its cut text, because each later step reads it
// back from that text rather than from the uncut number.
struct Steps {
    std::string bottleTopUps;            // 250 / tank, cut 1
    std::string fuelEfficiency;          // mileage / tank, cut 2
    std::string tankCost;                // tank * price, cut 2
    std::string monthlyMileage;          // mileage * topUps, cut 2
    std::string monthlyCost;             // topUps * tankCost, cut 2
    double additiveCostPerTank = 0.0;    // tank * 0.112
    std::string tankCostWithAdditive;    // additiveCostPerTank + tankCost, cut 2
    std::string mileageWithAdditive;     // mileage * 1.23, cut 1
    std::string efficiencyWithAdditive;  // fuelEfficiency * 1.23, cut 1
    std::string topUpsWithAdditive;      // monthlyMileage / mileageWithAdditive, cut 1
    std::string monthlyCostWithAdditive; // tankCostWithAdditive * topUpsWithAdditive, cut 2
    std::string monthlySavings;          // monthlyCost - monthlyCostWithAdditive, exact
    std::string yearlySavings;           // monthlySavings * 12, exact
};

// nullopt unless judgeFields(texts) succeeds.
std::optional<Steps> computeSteps(const FieldTexts& texts);

// Captions in the window's order: mileage, efficiency and top-ups with the additive, "$" monthly cost with
// it, "$" monthly and "$" yearly savings, bottle top-ups. All empty unless judgeFields(texts) succeeds.
std::array<std::string, kResultCount> calculations(const FieldTexts& texts);

// mileage * 1.23 cut to one decimal: the divisor of the topped-up count.
std::string mileageWithAdditive(double mileage);

} // namespace logic
