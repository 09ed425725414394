#pragma once

#include "toolkit/Control.h"

namespace forms {

// A single-line text box with the standard sunken border.
class TextBox : public Control {
public:
    TextBox(Form& form, ControlProps design)
        : Control(form, ControlKind::TextBox, std::move(design)) {}
    const std::string& text() const { return caption(); }
    void setText(std::string value) { setCaption(std::move(value)); }
    using Control::backColor;
    using Control::setBackColor;
};

} // namespace forms
