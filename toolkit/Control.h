#pragma once

#include "toolkit/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace forms {

class Form;
class NativeControl;

enum class ControlProp { Geometry, Visible, Caption, Font, ForeColor, BackColor, Picture, Pointer };

enum class ControlKind { Label, TextBox, PictureButton, PictureBox, Image, Frame };

// The second press of a double-click is another click on a button, and a double-click, not a click, on
// anything else: one double-click on a link opens it once.
constexpr bool secondPressClicks(ControlKind kind) {
    return kind == ControlKind::PictureButton || kind == ControlKind::TextBox;
}

// Takes the keyboard focus, from a press or from the keyboard.
constexpr bool takesFocus(ControlKind kind) {
    return kind == ControlKind::PictureButton || kind == ControlKind::TextBox;
}

// Has the system's own press handling: a button clicks as the system says (pointer, Space, Enter), a text
// box edits; neither clicks on release as a label or an image does (ReleaseClick).
constexpr bool clicksItself(ControlKind kind) {
    return kind == ControlKind::PictureButton || kind == ControlKind::TextBox;
}

// Fills its area with its back colour; labels and pictures show what lies beneath them.
constexpr bool fillsBack(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::PictureButton;
}

// Has a window of its own on the platform, drawn above all labels and images whatever the design's order.
constexpr bool isWindowed(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::PictureButton ||
           kind == ControlKind::PictureBox || kind == ControlKind::Frame;
}

// When a control without a click of the system's own (a label, an image) clicks: on the release of a left
// press that began on it, if the release is on it too. The second press of a double-click starts no click.
class ReleaseClick {
public:
    void pressed(int button) { armed_ = button == LeftButton; }
    // The press or release went elsewhere, or the press was the second of a double-click.
    void cancel() { armed_ = false; }
    // True when this release is a click.
    bool released(int button, bool inside) {
        if (button != LeftButton) return false;
        return std::exchange(armed_, false) && inside;
    }

private:
    bool armed_ = false;
};

// A control's properties. A control's design holds their starting values; loading its window resets the
// control to them.
struct ControlProps {
    std::string name;
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
    std::string caption; // a label's caption, a text box's text
    Font font;
    Color foreColor = kButtonText;
    Color backColor = kWhite;
    Picture picture;
    Picture downPicture; // a picture button's second state picture, shown while it is pressed
    bool stretch = false;
    bool visible = true;
    MousePointer mousePointer = MousePointer::Default;
    Picture mouseIcon;
    int tabIndex = -1;   // place in the keyboard focus order; -1 takes no focus from the keyboard
    bool cancel = false; // answers the Escape key of its window
    std::string accessibleName;
};

// Base of all controls. Reading or writing any property loads the control's window first, as the
// classic forms runtime does.
class Control {
public:
    Control(Form& form, ControlKind kind, ControlProps design);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return design_.name; }
    const ControlProps& design() const { return design_; }
    Form& form() const { return form_; }

    Twips left() const;
    Twips top() const;
    Twips width() const;
    Twips height() const;
    void setLeft(Twips value);
    void setTop(Twips value);
    void setHeight(Twips value);
    bool visible() const;
    void setVisible(bool value);
    void setFocus();
    bool hasFocus() const;

    std::function<void()> onClick;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    std::function<void(const PointerEvent&)> onMouseDown;
    std::function<void(const PointerEvent&)> onMouseMove;
    // The control whose caption names this one for assistive technology.
    const Control* labelledBy = nullptr;

    // Read by the platform layer and the test driver.
    const ControlProps& props() const { return props_; }
    // Null until the control can first be seen or reached (see Form).
    NativeControl* native() const { return native_.get(); }

protected:
    // Kinds expose the subset of these that they have.
    const std::string& caption() const { return loadedProps().caption; }
    void setCaption(std::string value) {
        set(&ControlProps::caption, std::move(value), ControlProp::Caption);
    }
    Color foreColor() const { return loadedProps().foreColor; }
    void setForeColor(Color value) { set(&ControlProps::foreColor, value, ControlProp::ForeColor); }
    Color backColor() const { return loadedProps().backColor; }
    void setBackColor(Color value) { set(&ControlProps::backColor, value, ControlProp::BackColor); }
    bool fontBold() const { return loadedProps().font.bold; }
    void setFontBold(bool value);
    const Picture& picture() const { return loadedProps().picture; }
    void setPicture(Picture value) { set(&ControlProps::picture, std::move(value), ControlProp::Picture); }

    const ControlProps& loadedProps() const;
    template <typename T> void set(T ControlProps::*member, T value, ControlProp changed) {
        loadedProps();
        props_.*member = std::move(value);
        sync(changed);
    }
    void sync(ControlProp changed);
    // Creates the platform part now, seen or not, for what only a drawn control can tell.
    void createNative();

private:
    // Loading and unloading are the form's; what the user typed is the platform's to report.
    friend class Form;
    friend class ControlAccess;
    void attach(std::unique_ptr<NativeControl> native);
    void detach();
    void resetToDesign() { props_ = design_; }
    void textEditedByUser(std::string text);

    Form& form_;
    ControlKind kind_;
    ControlProps design_;
    ControlProps props_;
    std::unique_ptr<NativeControl> native_;
};

} // namespace forms
