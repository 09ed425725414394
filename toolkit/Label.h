#pragma once

#include "toolkit/Control.h"

namespace forms {

// Transparent text: breaks at line breaks, wraps at words and cuts off what does not fit.
class Label : public Control {
public:
    Label(Form& form, ControlProps design)
        : Control(form, ControlKind::Label, std::move(design)) {}
    using Control::caption;
    using Control::fontBold;
    using Control::foreColor;
    using Control::setFontBold;
    using Control::setForeColor;

    void setCaption(std::string value) {
        Control::setCaption(std::move(value));
        if (onChange) onChange();
    }
    // Lines the caption takes as drawn, including those cut off below the label.
    int lineCount() const;
    // Width of the text on one line in the label's font.
    Twips textWidth(const std::string& text) const;

    // The caption was set.
    std::function<void()> onChange;
};

} // namespace forms
