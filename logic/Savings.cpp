#include "logic/Savings.h"

#include "logic/NumberText.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace logic {

namespace {

constexpr double kBottleLitres = 250;         // fuel that one bottle of the additive treats
constexpr double kAdditiveCostPerLitre = 0.112; // the $28 bottle over its 250 litres, SGD
constexpr double kAdditiveGain = 1.23;          // distance per full tank with the additive, as a factor

double number(const std::string& cutText) {
    return toNumber(cutText).value();
}

// Both savings are differences of texts with at most two decimals; whole cents keep them exact, where
// doubles would show noise such as 92.4200000000001.
long long toCents(std::string_view cutText) {
    const bool negative = cutText.starts_with('-');
    if (negative) cutText.remove_prefix(1);
    const auto point = cutText.find('.');
    std::string digits(cutText.substr(0, point));
    std::string fraction(point == std::string_view::npos ? "" : cutText.substr(point + 1));
    fraction.resize(2, '0');
    digits += fraction;
    long long cents = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), cents);
    if (error != std::errc{} || end != digits.data() + digits.size()) throw std::out_of_range(digits);
    return negative ? -cents : cents;
}

std::string centsToText(long long cents) {
    const long long magnitude = std::llabs(cents);
    std::string text = cents < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    if (const auto fraction = static_cast<int>(magnitude % 100); fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

} // namespace

std::string mileageWithAdditive(double mileage) {
    return cutDecimals(mileage * kAdditiveGain, 1);
}

std::optional<Steps> computeSteps(const FieldTexts& texts) {
    if (judgeFields(texts).status != kSuccess) return std::nullopt;
    const double tank = toNumber(texts[kTank]).value();
    const double topUps = toNumber(texts[kTopUps]).value();
    const double mileage = toNumber(texts[kMileage]).value();
    const double price = toNumber(texts[kPrice]).value();

    Steps s;
    s.bottleTopUps = cutDecimals(kBottleLitres / tank, 1);
    s.fuelEfficiency = cutDecimals(mileage / tank, 2);
    s.tankCost = cutDecimals(tank * price, 2);
    s.monthlyMileage = cutDecimals(mileage * topUps, 2);
    s.monthlyCost = cutDecimals(topUps * number(s.tankCost), 2);
    s.additiveCostPerTank = tank * kAdditiveCostPerLitre;
    s.tankCostWithAdditive = cutDecimals(s.additiveCostPerTank + number(s.tankCost), 2);
    s.mileageWithAdditive = mileageWithAdditive(mileage);
    s.efficiencyWithAdditive = cutDecimals(number(s.fuelEfficiency) * kAdditiveGain, 1);
    s.topUpsWithAdditive = cutDecimals(number(s.monthlyMileage) / number(s.mileageWithAdditive), 1);
    s.monthlyCostWithAdditive = cutDecimals(number(s.tankCostWithAdditive) * number(s.topUpsWithAdditive), 2);
    const long long savedCents = toCents(s.monthlyCost) - toCents(s.monthlyCostWithAdditive);
    s.monthlySavings = centsToText(savedCents);
    s.yearlySavings = centsToText(savedCents * 12);
    return s;
}

std::array<std::string, kResultCount> calculations(const FieldTexts& texts) {
    const auto s = computeSteps(texts);
    if (!s) return {};
    return {s->mileageWithAdditive,  s->efficiencyWithAdditive,
            s->topUpsWithAdditive,   "$" + s->monthlyCostWithAdditive,
            "$" + s->monthlySavings, "$" + s->yearlySavings,
            s->bottleTopUps};
}

} // namespace logic
