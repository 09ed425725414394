#pragma once

#include "toolkit/Control.h"

namespace forms {

// An empty frame with an etched border.
class Frame : public Control {
public:
    Frame(Form& form, ControlProps design)
        : Control(form, ControlKind::Frame, std::move(design)) {}
};

} // namespace forms
