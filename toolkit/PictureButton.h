#pragma once

#include "toolkit/Control.h"

namespace forms {

// A command button in graphical style: its picture centred on its background colour, and its second
// state picture while it is pressed.
class PictureButton : public Control {
public:
    PictureButton(Form& form, ControlProps design)
        : Control(form, ControlKind::PictureButton, std::move(design)) {}
    using Control::backColor;
    using Control::picture;
    using Control::setBackColor;
    using Control::setPicture;
};

} // namespace forms
