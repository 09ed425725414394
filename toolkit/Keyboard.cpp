#include "toolkit/Keyboard.h"

#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"

#include <algorithm>

namespace forms {

std::vector<Control*> tabOrder(const Form& form, bool shownOnly) {
    std::vector<Control*> order;
    for (Control* control : form.controls())
        if (control->props().tabIndex >= 0 && takesFocus(control->kind()) &&
            (!shownOnly || control->props().visible))
            order.push_back(control);
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->props().tabIndex < b->props().tabIndex; });
    return order;
}

Control* nextInTabOrder(const Form& form, const Control* from, bool back) {
    const std::vector<Control*> order = tabOrder(form, true);
    if (order.empty()) return nullptr;
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end()) return back ? order.back() : order.front();
    if (back) return at == order.begin() ? order.back() : *(at - 1);
    return at + 1 == order.end() ? order.front() : *(at + 1);
}

Control* focusAfterHiding(const Form& form, const Control& hidden) {
    const std::vector<Control*> order = tabOrder(form, true);
    const auto after = std::find_if(order.begin(), order.end(), [&](Control* c) {
        return c != &hidden && c->props().tabIndex > hidden.props().tabIndex;
    });
    if (after != order.end()) return *after;
    const auto first = std::find_if(order.begin(), order.end(), [&](Control* c) { return c != &hidden; });
    return first != order.end() ? *first : nullptr;
}

bool answerEnter(Control& focused) {
    if (focused.kind() != ControlKind::PictureButton) return false;
    if (focused.onClick) deliver(focused.onClick);
    return true;
}

bool answerEscape(Form& form) {
    for (Control* control : form.controls()) {
        if (control->props().cancel && control->props().visible && control->onClick) {
            deliver(control->onClick);
            return true;
        }
    }
    // A modal window without one closes, as a message box does.
    if (form.isModal()) {
        deliver([&form] { form.closeRequestedByWindowSystem(); });
        return true;
    }
    return false;
}

namespace {

bool continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A paste can hand a box any length of text; the box keeps what a classic single-line box holds.
std::string capped(std::string text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!continuation(text[i]) && ++characters > kTextBoxMaxCharacters) {
            text.erase(i);
            break;
        }
    return text;
}

} // namespace

std::string singleLineEdit(const std::string& before, const std::string& after) {
    if (after.find_first_of("\r\n") == std::string::npos) return capped(after);
    // The inserted run lies between what the texts share at their start and at their end, cut at whole
    // UTF-8 characters.
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    while (prefix > 0 && prefix < after.size() && continuation(after[prefix]))
        --prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    while (suffix > 0 && continuation(after[after.size() - suffix]))
        --suffix;
    std::string inserted = after.substr(prefix, after.size() - prefix - suffix);
    inserted.erase(std::min(inserted.find_first_of("\r\n"), inserted.size()));
    return capped(after.substr(0, prefix) + inserted + after.substr(after.size() - suffix));
}

} // namespace forms
