#include "logic/NumberText.h"
#include "logic/Savings.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void require(bool holds) {
    if (!holds) __builtin_trap();
}

void checkText(std::string_view text) {
    const auto value = logic::toNumber(text);
    require(logic::isNumeric(text) == value.has_value());
    if (!value) return;
    require(std::isfinite(*value));
    const auto shown = logic::numberToText(*value);
    require(shown.find_first_of("eEinfa") == std::string_view::npos);
    require(logic::toNumber(shown).has_value());
    // The cut is a prefix of the text, but a negative value cut down to zeros loses its sign.
    const auto cut = logic::cutDecimals(*value, 2);
    const bool zeroed = shown.starts_with('-') && !cut.starts_with('-');
    require(!zeroed || cut.find_first_not_of("0.") == std::string::npos);
    require(std::string_view(shown).substr(zeroed ? 1 : 0).starts_with(cut));
}

void checkCaption(std::string_view caption, bool money) {
    require(caption.find_first_of("eEinfa") == std::string_view::npos);
    require(caption.starts_with('$') == money);
    if (money) caption.remove_prefix(1);
    const auto value = logic::toNumber(caption);
    require(value.has_value() && std::isfinite(*value));
}

} // namespace

// Four texts separated by newlines; the last takes whatever remains, newlines included.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    logic::FieldTexts texts;
    for (int i = 0; i < logic::kFieldCount; ++i) {
        const auto end = i + 1 < logic::kFieldCount ? rest.find('\n') : std::string_view::npos;
        texts[static_cast<std::size_t>(i)] = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        checkText(texts[static_cast<std::size_t>(i)]);
    }

    const auto verdict = logic::judgeFields(texts);
    bool allOk = true;
    for (int i = 0; i < logic::kFieldCount; ++i)
        allOk = allOk && verdict.fieldOk(i);
    require(verdict.status == (allOk ? logic::kSuccess : logic::kFail));
    if (!allOk) return 0;

    const auto captions = logic::calculations(texts);
    for (std::size_t c = 0; c < captions.size(); ++c)
        checkCaption(captions[c], c >= 3 && c <= 5);
    return 0;
}
