#include "FixedText.h"
#include "logic/NumberText.h"
#include "logic/Savings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>

namespace {

std::string pick(std::mt19937& rng, std::string_view from, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    return text;
}

int upTo(std::mt19937& rng, int most) {
    return std::uniform_int_distribution<int>(0, most)(rng);
}

// Mostly well-formed numbers from 1e-4 to 1e7 in size, so that every range rule is met and missed.
std::string numberText(std::mt19937& rng) {
    const std::string_view signs[] = {"", "", "-", "+"};
    std::string text = std::string(signs[upTo(rng, 3)]) + pick(rng, "0123456789", upTo(rng, 7));
    if (upTo(rng, 1) == 1 || text.find_first_of("0123456789") == std::string::npos) {
        text += '.';
        text.append(static_cast<std::size_t>(upTo(rng, 3)), '0');
        text += pick(rng, "0123456789", 1 + upTo(rng, 3));
    }
    return pick(rng, " ", upTo(rng, 1)) + text + pick(rng, " \t", upTo(rng, 1));
}

// A value of the range, written with up to three decimals.
std::string textWithin(std::mt19937& rng, logic::FieldRange range) {
    const double value = std::uniform_real_distribution<double>(range.low, range.high)(rng);
    return fixedText(value, upTo(rng, 3));
}

TEST(Properties, NumericFormMatchesPlainDecimalGrammar) {
    const std::regex plainDecimal(R"([ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)[ \t]*)");
    std::mt19937 rng(20240611);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        const auto text = pick(rng, "0123456789+-.. \tex,a$", upTo(rng, 6));
        const auto value = logic::toNumber(text);
        ASSERT_EQ(logic::isNumeric(text), value.has_value()) << text;
        ASSERT_EQ(value.has_value(), std::regex_match(text, plainDecimal)) << text;
        if (!value) continue;
        ++accepted;
        ASSERT_TRUE(std::isfinite(*value)) << text;
        ASSERT_EQ(*value, std::strtod(text.c_str(), nullptr)) << text;
    }
    EXPECT_GT(accepted, 1000);
}

TEST(Properties, TextRoundTripsAndCutsTruncate) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    for (int i = 0; i < 10000; ++i) {
        const double value = mantissa(rng) * std::pow(10.0, upTo(rng, 60) - 30);
        const auto text = logic::numberToText(value);
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << value;
        const auto shown = logic::toNumber(text);
        ASSERT_TRUE(shown) << text;
        ASSERT_NEAR(*shown, value, std::fabs(value) * 6e-15) << text;
        ASSERT_EQ(logic::numberToText(*shown), text);
        for (const int decimals : {1, 2}) {
            const auto cut = logic::cutDecimals(value, decimals);
            // A negative value cut down to zeros loses its sign; otherwise the cut is a prefix of the text.
            const bool zeroed = text[0] == '-' && cut[0] != '-';
            ASSERT_TRUE(!zeroed || cut.find_first_not_of("0.") == std::string::npos) << cut;
            ASSERT_EQ(text.compare(zeroed ? 1 : 0, cut.size(), cut), 0) << text << " cut to " << cut;
            const auto point = cut.find('.');
            const auto kept = point == std::string::npos ? 0 : cut.size() - point - 1;
            ASSERT_TRUE(cut == text || kept == static_cast<std::size_t>(decimals))
                << text << " cut to " << cut;
            ASSERT_LE(std::fabs(logic::toNumber(cut).value()), std::fabs(*shown)) << text;
        }
    }
}

TEST(Properties, JudgedTextsAlwaysGivePlainCaptions) {
    std::mt19937 rng(1234);
    const std::string bounds[] = {"1", "1500", "0", "100", "3000", "0.01", "20", "0.99"};
    int successes = 0;
    for (int i = 0; i < 20000; ++i) {
        logic::FieldTexts texts;
        for (int f = 0; f < logic::kFieldCount; ++f) {
            const int kind = upTo(rng, 19);
            texts[static_cast<std::size_t>(f)] =
                kind == 0   ? pick(rng, "0123456789.-+ ax", upTo(rng, 4))
                : kind == 1 ? bounds[upTo(rng, 7)]
                : kind == 2 ? numberText(rng)
                            : textWithin(rng, logic::kRanges[static_cast<std::size_t>(f)]);
        }
        const auto verdict = logic::judgeFields(texts);
        bool allNil = true;
        for (int f = 0; f < logic::kFieldCount; ++f) {
            ASSERT_EQ(verdict.messages[static_cast<std::size_t>(f)],
                      logic::judgeField(f, texts[static_cast<std::size_t>(f)]));
            allNil = allNil && verdict.messages[static_cast<std::size_t>(f)] == logic::kNil;
        }
        ASSERT_EQ(verdict.status, allNil ? logic::kSuccess : logic::kFail);
        if (!allNil) continue;
        ++successes;

        const auto captions = logic::calculations(texts);
        std::array<double, logic::kResultCount> values{};
        for (std::size_t c = 0; c < captions.size(); ++c) {
            const auto& caption = captions[c];
            ASSERT_EQ(caption.find_first_of("eEinfa"), std::string::npos) << caption;
            const bool money = c >= 3 && c <= 5;
            ASSERT_EQ(caption.starts_with('$'), money) << caption;
            if (const auto point = caption.find('.'); money && point != std::string::npos) {
                ASSERT_LE(caption.size() - point, 3u) << "noise in " << caption;
            }
            const auto value = logic::toNumber(std::string_view(caption).substr(money ? 1 : 0));
            ASSERT_TRUE(value && std::isfinite(*value)) << caption;
            values[c] = *value;
        }
        const auto monthlyCost = logic::toNumber(logic::computeSteps(texts)->monthlyCost).value();
        ASSERT_NEAR(values[4], monthlyCost - values[3], 1e-3) << captions[4];
        ASSERT_NEAR(values[5], values[4] * 12, 1e-3) << captions[5];
    }
    EXPECT_GT(successes, 2000);
}

} // namespace
