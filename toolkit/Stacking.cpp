#include "toolkit/Stacking.h"

#include "toolkit/Control.h"
#include "toolkit/Form.h"

#include <algorithm>

namespace forms {

namespace {
Control* firstCreatedAfter(const std::vector<Control*>& order, const Control& control) {
    auto at = std::find(order.begin(), order.end(), &control);
    if (at == order.end()) return nullptr;
    const auto next = std::find_if(at + 1, order.end(), [](Control* c) { return c->native() != nullptr; });
    return next == order.end() ? nullptr : *next;
}
} // namespace

std::vector<Control*> stackingOrder(const Form& form) {
    std::vector<Control*> order = form.controls();
    std::stable_partition(order.begin(), order.end(), [](Control* c) { return !isWindowed(c->kind()); });
    return order;
}

Control* createdAbove(const Form& form, const Control& control) {
    return firstCreatedAfter(stackingOrder(form), control);
}

Control* createdAfter(const Form& form, const Control& control) {
    return firstCreatedAfter(form.controls(), control);
}

} // namespace forms
