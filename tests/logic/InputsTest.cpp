#include "logic/Inputs.h"

#include "Rows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Messages = std::array<std::string, logic::kFieldCount>;

const std::string kNil(logic::kNil);
const Messages kAllNil{kNil, kNil, kNil, kNil};
const logic::FieldTexts kWorked{"45", "3", "550", "1.95"};

void expectVerdict(const logic::FieldTexts& texts, const Messages& messages) {
    const auto verdict = logic::judgeFields(texts);
    EXPECT_EQ(verdict.messages, messages);
    EXPECT_EQ(verdict.status, messages == kAllNil ? logic::kSuccess : logic::kFail);
    for (int i = 0; i < logic::kFieldCount; ++i) {
        const auto& message = messages[static_cast<std::size_t>(i)];
        EXPECT_EQ(verdict.fieldOk(i), message == kNil) << i;
        EXPECT_EQ(logic::judgeField(i, texts[static_cast<std::size_t>(i)]), message) << i;
    }
}

struct SetRow {
    const char* name;
    logic::FieldTexts texts;
    Messages messages;
};

class JudgingSets : public ::testing::TestWithParam<SetRow> {};

TEST_P(JudgingSets, JudgesEveryBox) {
    expectVerdict(GetParam().texts, GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JudgingSets,
    ::testing::Values(
        SetRow{"AllEmpty",
               {"", "", "", ""},
               {"Tank Capacity Is Required.", "Monthly Top-up Is Required.", "Mileage Attained Is Required.",
                "Fuel Price Is Required."}},
        SetRow{
            "AllWords",
            {"a", "b", "c", "d"},
            {"Please Enter Numbers Only For Tank Capacity.", "Please Enter Numbers Only For Monthly Top-up.",
             "Please Enter Numbers Only For Mileage Attained.", "Please Enter Numbers Only For Fuel Price."}},
        SetRow{"MixedFaults",
               {"", "x", "0", "2000"},
               {"Tank Capacity Is Required.", "Please Enter Numbers Only For Monthly Top-up.",
                "Mileage Attained Must Be Between 1 And 3000.", "Fuel Price Must Be Between 0.01 And 20."}},
        SetRow{"AllNegative",
               {"-45", "-3", "-550", "-1.95"},
               {"Tank Capacity Must Be Between 1 And 1500.", "Monthly Top-up Must Be Between 0 And 100.",
                "Mileage Attained Must Be Between 1 And 3000.", "Fuel Price Must Be Between 0.01 And 20."}},
        SetRow{"Worked", kWorked, kAllNil}, SetRow{"ZeroTopUps", {"45", "0", "550", "1.95"}, kAllNil},
        SetRow{"LowestBounds", {"1", "0", "1", "0.01"}, kAllNil},
        SetRow{"HighestBounds", {"1500", "100", "3000", "20"}, kAllNil},
        SetRow{"SignedAndPaddedBounds", {" +1500.000 ", "-0", "\t3000", "+.01"}, kAllNil}),
    rowName);

// One box refused among otherwise valid ones: only that box carries a message.
struct BoxRow {
    const char* name;
    int index;
    std::string text;
    std::string message;
};

class JudgingBox : public ::testing::TestWithParam<BoxRow> {};

TEST_P(JudgingBox, RefusesOnlyThatBox) {
    auto texts = kWorked;
    auto messages = kAllNil;
    texts[static_cast<std::size_t>(GetParam().index)] = GetParam().text;
    messages[static_cast<std::size_t>(GetParam().index)] = GetParam().message;
    expectVerdict(texts, messages);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JudgingBox,
    ::testing::Values(
        BoxRow{"WordInPrice", logic::kPrice, "abc", "Please Enter Numbers Only For Fuel Price."},
        BoxRow{"OnlyTankBad", logic::kTank, "4 5", "Please Enter Numbers Only For Tank Capacity."},
        BoxRow{"SpacesAreNotEmpty", logic::kTopUps, "  ", "Please Enter Numbers Only For Monthly Top-up."},
        BoxRow{"SignOnly", logic::kPrice, "-", "Please Enter Numbers Only For Fuel Price."},
        BoxRow{"OverflowingDigits", logic::kPrice, std::string(400, '9'),
               "Fuel Price Must Be Between 0.01 And 20."},
        BoxRow{"OverflowingNegative", logic::kTopUps, std::string("-").append(400, '9'),
               "Monthly Top-up Must Be Between 0 And 100."},
        BoxRow{"UnderflowingTank", logic::kTank, std::string("0.").append(400, '0').append("1"),
               "Tank Capacity Must Be Between 1 And 1500."},
        BoxRow{"TankZero", logic::kTank, "0", "Tank Capacity Must Be Between 1 And 1500."},
        BoxRow{"TankJustBelow", logic::kTank, "0.999", "Tank Capacity Must Be Between 1 And 1500."},
        BoxRow{"TankJustAbove", logic::kTank, "1500.01", "Tank Capacity Must Be Between 1 And 1500."},
        BoxRow{"TopUpsNegative", logic::kTopUps, "-0.5", "Monthly Top-up Must Be Between 0 And 100."},
        BoxRow{"TopUpsJustAbove", logic::kTopUps, "100.001", "Monthly Top-up Must Be Between 0 And 100."},
        BoxRow{"MileageZero", logic::kMileage, "0", "Mileage Attained Must Be Between 1 And 3000."},
        BoxRow{"MileageJustAbove", logic::kMileage, "3000.1", "Mileage Attained Must Be Between 1 And 3000."},
        BoxRow{"PriceZero", logic::kPrice, "0", "Fuel Price Must Be Between 0.01 And 20."},
        BoxRow{"PriceJustAbove", logic::kPrice, "20.01", "Fuel Price Must Be Between 0.01 And 20."}),
    rowName);

TEST(JudgingRuns, CorrectedAfterFailingRunSucceeds) {
    ASSERT_EQ(logic::judgeFields({"", "x", "0", "y"}).status, logic::kFail);
    expectVerdict(kWorked, kAllNil);
}

} // namespace
