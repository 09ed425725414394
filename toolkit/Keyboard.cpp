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
    return false;
}

} // namespace forms
