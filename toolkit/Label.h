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
    using Control::setCaption;
    using Control::setFontBold;
    using Control::setForeColor;
};

} // namespace forms
