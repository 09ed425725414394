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
                "Mileage Attained Is Too Close To Zero.", "Fuel Price Must Be Between -1000 And 1000."}},
        SetRow{"Worked", kWorked, kAllNil}, SetRow{"ZeroTopUpsAndPrice", {"45", "0", "550", "0"}, kAllNil},
        SetRow{"NegativesAllowed", {"45", "-3", "-550", "-1.95"}, kAllNil},
        SetRow{"LowestBounds", {"0.01", "-1000", "-1000000", "-1000"}, kAllNil},
        SetRow{"HighestBounds", {"100000", "1000", "1000000", "1000"}, kAllNil},
        SetRow{"MileageJustCutToTenth", {"45", "3", "0.0814", "1.95"}, kAllNil}),
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
        BoxRow{"OverflowingDigits", logic::kPrice, std::string(400, '9'),
               "Please Enter Numbers Only For Fuel Price."},
        BoxRow{"TankZero", logic::kTank, "0", "Tank Capacity Must Be Greater Than Zero."},
        BoxRow{"TankNegative", logic::kTank, "-45", "Tank Capacity Must Be Greater Than Zero."},
        BoxRow{"TankTiny", logic::kTank, "0.0099", "Tank Capacity Must Be Between 0.01 And 100000."},
        BoxRow{"TankHuge", logic::kTank, "100000.01", "Tank Capacity Must Be Between 0.01 And 100000."},
        BoxRow{"TopUpsHuge", logic::kTopUps, "-1000.01", "Monthly Top-up Must Be Between -1000 And 1000."},
        BoxRow{"MileageHuge", logic::kMileage, "1000000.1",
               "Mileage Attained Must Be Between -1000000 And 1000000."},
        BoxRow{"MileageZero", logic::kMileage, "0", "Mileage Attained Is Too Close To Zero."},
        BoxRow{"MileageCutToZero", logic::kMileage, "0.0813", "Mileage Attained Is Too Close To Zero."},
        BoxRow{"NegativeMileageCutToZero", logic::kMileage, "-0.08",
               "Mileage Attained Is Too Close To Zero."},
        BoxRow{"PriceHuge", logic::kPrice, "1000.5", "Fuel Price Must Be Between -1000 And 1000."}),
    rowName);

TEST(JudgingRuns, CorrectedAfterFailingRunSucceeds) {
    ASSERT_EQ(logic::judgeFields({"", "x", "0", "y"}).status, logic::kFail);
    expectVerdict(kWorked, kAllNil);
}

} // namespace
