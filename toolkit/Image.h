#pragma once

#include "toolkit/Control.h"

namespace forms {

// A windowless picture: stretched to the control when `stretch` is set, else drawn at its own size.
class Image : public Control {
public:
    Image(Form& form, ControlProps design)
        : Control(form, ControlKind::Image, std::move(design)) {}
    using Control::picture;
    using Control::setPicture;
};

} // namespace forms
