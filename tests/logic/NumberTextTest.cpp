#include "logic/NumberText.h"
#include "logic/Savings.h"

#include "Rows.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cstdlib>
#include <locale>
#include <optional>
#include <string>

namespace {

struct FormRow {
    const char* name;
    std::string text;
    std::optional<double> value;
};

class NumericForm : public ::testing::TestWithParam<FormRow> {};

TEST_P(NumericForm, AcceptsExactlyPlainDecimals) {
    const auto& row = GetParam();
    EXPECT_EQ(logic::toNumber(row.text), row.value);
    EXPECT_EQ(logic::isNumeric(row.text), row.value.has_value());
}

const std::string kTinyText = "0." + std::string(400, '0') + "1";

INSTANTIATE_TEST_SUITE_P(
    Rows, NumericForm,
    ::testing::Values(
        FormRow{"Whole", "50", 50}, FormRow{"Decimal", "1.95", 1.95}, FormRow{"Zero", "0", 0},
        FormRow{"LeadingPoint", ".5", 0.5}, FormRow{"TrailingPoint", "5.", 5}, FormRow{"Plus", "+2", 2},
        FormRow{"Minus", "-2.5", -2.5}, FormRow{"Spaces", "  7 ", 7}, FormRow{"Tabs", "\t7\t", 7},
        FormRow{"LeadingZeros", "007.50", 7.5},
        FormRow{"ThirtyDigits", std::string(30, '1'), 111111111111111111111111111111.0},
        FormRow{"UnderflowsToZero", kTinyText, 0},
        FormRow{"Subnormal", "0." + std::string(310, '0') + "1", 1e-311},
        FormRow{"Overflow", std::string(400, '9'), std::nullopt}, FormRow{"Empty", "", std::nullopt},
        FormRow{"OnlySpaces", "   ", std::nullopt}, FormRow{"Inf", "inf", std::nullopt},
        FormRow{"Nan", "nan", std::nullopt}, FormRow{"Infinity", "-infinity", std::nullopt},
        FormRow{"Exponent", "1e5", std::nullopt}, FormRow{"Hex", "0x10", std::nullopt},
        FormRow{"Comma", "1,5", std::nullopt}, FormRow{"TwoPoints", "1.2.3", std::nullopt},
        FormRow{"DoubleMinus", "--1", std::nullopt}, FormRow{"PlusMinus", "+-1", std::nullopt},
        FormRow{"SpaceAfterSign", "- 1", std::nullopt}, FormRow{"Thousands", "1,000", std::nullopt},
        FormRow{"SpaceGrouped", "1 000", std::nullopt}, FormRow{"Currency", "$5", std::nullopt},
        FormRow{"ArabicIndicDigit", "\u0665", std::nullopt},
        FormRow{"FullWidthDigit", "\uff15", std::nullopt}, FormRow{"NoBreakSpace", "\u00a05", std::nullopt},
        FormRow{"EmbeddedNul", std::string{'1', '\0', '2'}, std::nullopt},
        FormRow{"LonePoint", ".", std::nullopt}, FormRow{"LoneMinus", "-", std::nullopt},
        FormRow{"SignedPoint", "-.", std::nullopt}, FormRow{"Newline", "5\n", std::nullopt},
        FormRow{"TrailingLetter", "12a", std::nullopt}),
    rowName);

struct TextRow {
    const char* name;
    double value;
    std::string text;
};

class NumberToText : public ::testing::TestWithParam<TextRow> {};

TEST_P(NumberToText, FifteenDigitsInPlainNotation) {
    EXPECT_EQ(logic::numberToText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberToText,
    ::testing::Values(TextRow{"BinaryNoise", 400 - 337.92, "62.08"}, TextRow{"Whole", 1650, "1650"},
                      TextRow{"FifteenDigits", 250.0 / 45, "5.55555555555556"},
                      TextRow{"Small", 0.000123, "0.000123"}, TextRow{"Half", 1234567.5, "1234567.5"},
                      TextRow{"Huge", 1e20, "100000000000000000000"},
                      TextRow{"Negative", -0.000123, "-0.000123"}, TextRow{"NegativeZero", -0.0, "0"},
                      TextRow{"Zero", 0.0, "0"},
                      TextRow{"RoundsToNextPower", 999999999999999.9, "1000000000000000"},
                      TextRow{"Largest", DBL_MAX, "179769313486232" + std::string(294, '0')},
                      TextRow{"Subnormal", 5e-324, "0." + std::string(323, '0') + "494065645841247"}),
    rowName);

struct CutRow {
    const char* name;
    double value;
    int decimals;
    std::string text;
};

class CutDecimals : public ::testing::TestWithParam<CutRow> {};

TEST_P(CutDecimals, TruncatesTheText) {
    EXPECT_EQ(logic::cutDecimals(GetParam().value, GetParam().decimals), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, CutDecimals,
                         ::testing::Values(CutRow{"NeverRounds", 250.0 / 45, 1, "5.5"},
                                           CutRow{"TwoPlaces", 550.0 / 45, 2, "12.22"},
                                           CutRow{"KeepsTrailingZero", 15.0306, 1, "15.0"},
                                           CutRow{"AddsNone", 12.5, 2, "12.5"},
                                           CutRow{"WholeStaysWhole", 1650, 2, "1650"},
                                           CutRow{"TowardZero", -5.55, 1, "-5.5"},
                                           CutRow{"NoiseRoundedAwayFirst", 400 - 337.92, 2, "62.08"},
                                           CutRow{"ProductNoise", 92.79 * 2.4, 2, "222.69"},
                                           CutRow{"NegativeBelowCut", -0.04, 1, "0.0"}),
                         rowName);

// A decimal comma must neither be accepted nor written, whichever way the process got its locale.
struct LocaleRow {
    const char* name;
    bool cLibrary; // setlocale, as a C program or Qt would; otherwise the C++ global locale
};

class CommaLocale : public ::testing::TestWithParam<LocaleRow> {
protected:
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
};

struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_P(CommaLocale, KeepsThePoint) {
    if (GetParam().cLibrary) {
        setenv("LOCPATH", LOGIC_TEST_LOCALES, 0); // where the build put de_DE.UTF-8, unless told otherwise
        // musl (WebAssembly's C library) takes any locale name but keeps "." in all of them.
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") || *std::localeconv()->decimal_point != ',')
            GTEST_SKIP() << "no de_DE.UTF-8 with a decimal comma here";
    } else {
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
        ASSERT_EQ(std::use_facet<std::numpunct<char>>(std::locale()).decimal_point(), ',');
    }
    EXPECT_EQ(logic::toNumber("1.95"), 1.95);
    EXPECT_EQ(logic::toNumber("1,95"), std::nullopt);
    EXPECT_EQ(logic::numberToText(1234567.5), "1234567.5");
    EXPECT_EQ(logic::cutDecimals(15.0306, 1), "15.0");
    const auto captions = logic::calculations({"45", "3", "550", "1.95"});
    EXPECT_EQ(captions[3], "$222.69");
    EXPECT_EQ(captions[1], "15.0");
}

INSTANTIATE_TEST_SUITE_P(Rows, CommaLocale,
                         ::testing::Values(LocaleRow{"GermanSystemLocale", true},
                                           LocaleRow{"CommaFacet", false}),
                         rowName);

} // namespace
