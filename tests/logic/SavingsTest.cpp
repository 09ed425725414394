#include "logic/Savings.h"
#include "logic/NumberText.h"

#include "Rows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const logic::FieldTexts kWorked{"45", "3", "550", "1.95"};

struct StepRow {
    const char* name;
    std::string (*step)(const logic::Steps&);
    std::string value;
};

class WorkedExample : public ::testing::TestWithParam<StepRow> {};

TEST_P(WorkedExample, StepByStep) {
    const auto steps = logic::computeSteps(kWorked);
    ASSERT_TRUE(steps);
    EXPECT_EQ(GetParam().step(*steps), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WorkedExample,
    ::testing::Values(
        StepRow{"S01BottleTopUps", [](const logic::Steps& s) { return s.bottleTopUps; }, "5.5"},
        StepRow{"S02FuelEfficiency", [](const logic::Steps& s) { return s.fuelEfficiency; }, "12.22"},
        StepRow{"S03TankCost", [](const logic::Steps& s) { return s.tankCost; }, "87.75"},
        StepRow{"S04MonthlyMileage", [](const logic::Steps& s) { return s.monthlyMileage; }, "1650"},
        StepRow{"S05MonthlyCost", [](const logic::Steps& s) { return s.monthlyCost; }, "263.25"},
        StepRow{"S06AdditiveCost",
                [](const logic::Steps& s) { return logic::numberToText(s.additiveCostPerTank); }, "5.04"},
        StepRow{"S07TankCostWithAdditive", [](const logic::Steps& s) { return s.tankCostWithAdditive; },
                "92.79"},
        StepRow{"S08MileageWithAdditive", [](const logic::Steps& s) { return s.mileageWithAdditive; },
                "676.5"},
        StepRow{"S09EfficiencyWithAdditive", [](const logic::Steps& s) { return s.efficiencyWithAdditive; },
                "15.0"},
        StepRow{"S10TopUpsWithAdditive", [](const logic::Steps& s) { return s.topUpsWithAdditive; }, "2.4"},
        StepRow{"S11MonthlyCostWithAdditive", [](const logic::Steps& s) { return s.monthlyCostWithAdditive; },
                "222.69"},
        StepRow{"S12MonthlySavings", [](const logic::Steps& s) { return s.monthlySavings; }, "40.56"},
        StepRow{"S13YearlySavings", [](const logic::Steps& s) { return s.yearlySavings; }, "486.72"}),
    rowName);

struct CaptionRow {
    const char* name;
    logic::FieldTexts texts;
    int index;
    std::string caption;
};

class Captions : public ::testing::TestWithParam<CaptionRow> {};

TEST_P(Captions, ReadAsShown) {
    const auto captions = logic::calculations(GetParam().texts);
    EXPECT_EQ(captions[static_cast<std::size_t>(GetParam().index)], GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Captions,
    ::testing::Values(CaptionRow{"WorkedMileage", kWorked, 0, "676.5"},
                      CaptionRow{"WorkedEfficiency", kWorked, 1, "15.0"},
                      CaptionRow{"WorkedTopUps", kWorked, 2, "2.4"},
                      CaptionRow{"WorkedMonthlyCost", kWorked, 3, "$222.69"},
                      CaptionRow{"WorkedMonthlySavings", kWorked, 4, "$40.56"},
                      CaptionRow{"WorkedYearlySavings", kWorked, 5, "$486.72"},
                      CaptionRow{"WorkedBottleTopUps", kWorked, 6, "5.5"},
                      CaptionRow{"WholeBottleTopUps", {"50", "3", "550", "1.95"}, 6, "5"},
                      CaptionRow{"TwoDigitBottleTopUps", {"25", "3", "550", "1.95"}, 6, "10"},
                      CaptionRow{"SavingsWithoutNoise", {"47.5", "4", "845", "2.88"}, 4, "$92.42"},
                      CaptionRow{"YearlyWithoutNoise", {"47.5", "4", "845", "2.88"}, 5, "$1109.04"},
                      CaptionRow{"OtherMonthlyWithoutNoise", {"40", "3", "400", "3.18"}, 4, "$65.57"},
                      CaptionRow{"OtherYearlyWithoutNoise", {"40", "3", "400", "3.18"}, 5, "$786.84"},
                      CaptionRow{"NegativeMonthlySavings", {"45", "3", "550", "0.01"}, 4, "$-11.82"},
                      CaptionRow{"NegativeYearlySavings", {"45", "3", "550", "0.01"}, 5, "$-141.84"},
                      CaptionRow{"NoTopUpsNoSavings", {"45", "0", "550", "1.95"}, 5, "$0"},
                      CaptionRow{"RefusedTextsGiveNoCaption", {"0", "3", "550", "1.95"}, 0, ""}),
    rowName);

} // namespace
