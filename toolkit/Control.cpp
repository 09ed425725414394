#include "toolkit/Control.h"

#include "toolkit/Form.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Label.h"
#include "toolkit/Native.h"

#include <cmath>

namespace forms {

namespace {
Twips checkedTwips(Twips value) {
    if (!std::isfinite(value)) throw Error("Invalid property value");
    return value;
}
} // namespace

Control::Control(Form& form, ControlKind kind, ControlProps design)
    : form_(form)
    , kind_(kind)
    , design_(std::move(design))
    , props_(design_) {
    form_.registerControl(this);
}

Control::~Control() {
    detach();
}

const ControlProps& Control::loadedProps() const {
    form_.ensureLoaded();
    return props_;
}

Twips Control::left() const {
    return loadedProps().left;
}
Twips Control::top() const {
    return loadedProps().top;
}
Twips Control::width() const {
    return loadedProps().width;
}
Twips Control::height() const {
    return loadedProps().height;
}
void Control::setLeft(Twips value) {
    set(&ControlProps::left, checkedTwips(value), ControlProp::Geometry);
}
void Control::setTop(Twips value) {
    set(&ControlProps::top, checkedTwips(value), ControlProp::Geometry);
}
void Control::setHeight(Twips value) {
    set(&ControlProps::height, checkedTwips(value), ControlProp::Geometry);
}
bool Control::visible() const {
    return loadedProps().visible;
}
void Control::setVisible(bool value) {
    loadedProps();
    if (!value) form_.focusTracker().hiding(*this);
    set(&ControlProps::visible, value, ControlProp::Visible);
}

void Control::setFontBold(bool value) {
    loadedProps();
    props_.font.bold = value;
    sync(ControlProp::Font);
}

void Control::setFocus() {
    loadedProps();
    form_.focusTracker().moveTo(*this);
}

bool Control::hasFocus() const {
    loadedProps();
    return form_.focusTracker().focused() == this;
}

// Lines as drawn need the label laid out by the platform, so a hidden label measured gets its platform part
// now, still hidden.
int Label::lineCount() const {
    loadedProps();
    const_cast<Label*>(this)->createNative();
    return native()->captionLineCount();
}

// Only the font is needed, which a hidden label has as well.
Twips Label::textWidth(const std::string& text) const {
    const Font& font = loadedProps().font;
    return form().native()->textWidth(font, text);
}

void Control::textEditedByUser(std::string text) {
    std::string line = singleLineEdit(props_.caption, text);
    const bool cut = line != text;
    props_.caption = std::move(line);
    // What the platform's box kept of a pasted block goes; only then is the box drawn again.
    if (cut) sync(ControlProp::Caption);
}

void Control::sync(ControlProp changed) {
    if (native_)
        native_->update(changed);
    else if (changed == ControlProp::Visible || changed == ControlProp::Geometry)
        form_.createIfSeen(*this);
}

void Control::createNative() {
    if (!native_) form_.createNative(*this);
}

void Control::attach(std::unique_ptr<NativeControl> native) {
    native_ = std::move(native);
}
void Control::detach() {
    native_.reset();
}

} // namespace forms
