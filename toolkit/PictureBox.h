#pragma once

#include "toolkit/Control.h"

namespace forms {

// Holds a picture, drawn unscaled from its top-left corner.
class PictureBox : public Control {
public:
    PictureBox(Form& form, ControlProps design)
        : Control(form, ControlKind::PictureBox, std::move(design)) {}
    using Control::picture;
    using Control::setPicture;
};

} // namespace forms
