#include "toolkit/Accessibility.h"

#include "toolkit/Control.h"
#include "toolkit/Form.h"

namespace forms {

std::string accessibleText(const std::string& caption) {
    const auto lineBreak = [](char c) { return c == '\r' || c == '\n'; };
    std::size_t from = 0, to = caption.size();
    while (from < to && lineBreak(caption[from]))
        ++from;
    while (to > from && lineBreak(caption[to - 1]))
        --to;
    return caption.substr(from, to - from);
}

std::string accessibleName(const Control& control) {
    const ControlProps& p = control.props();
    return p.accessibleName.empty() && control.kind() == ControlKind::Label ? accessibleText(p.caption)
                                                                            : p.accessibleName;
}

bool offersPress(const Control& control) {
    return control.kind() == ControlKind::Label && control.onClick;
}

bool offscreen(const Control& control) {
    return !control.form().withinWindow(control);
}

} // namespace forms
