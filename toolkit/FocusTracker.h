#pragma once

namespace forms {

class Control;
class Form;

// Which control of a form has the keyboard focus, whether or not its window is active, and where the focus
// goes next. The platform layer reports what its window system did (a control's window took the focus, the
// window became active) and puts the focus on screen where the tracker says; the tracker alone raises the
// focus events. So on every platform: switching windows raises none, the first activation gives the first
// control a real focus, a modal window's closing gives its owner back the focus it had, a control that moves
// out of view keeps it, and one that hides hands it on.
class FocusTracker {
public:
    explicit FocusTracker(Form& form)
        : form_(form) {}

    Control* focused() const { return focused_; }
    // The window system gave the control's window the keyboard focus: a press on it, or the tracker's own
    // move arriving. Focus leaving a control raises nothing by itself: it goes to another control, which
    // reports it, or to another window, which moves no focus between this form's controls.
    void focusIn(Control& control);
    // The window became active, or a modal window over it closed: the focus goes back to the control that
    // had it, or to the first in the tab order. Returns the control given the focus, if any.
    Control* activated();
    // Moves the focus to the control (one that takes the focus and is shown), raising the events, and puts it
    // there on screen.
    void moveTo(Control& control);
    // The control is about to hide: if it has the focus, the focus moves on first, so that the window system
    // never chooses where it goes.
    void hiding(Control& control);
    // Tab, or Shift+Tab with back.
    void tab(bool back);
    // The window unloaded.
    void reset() { focused_ = nullptr; }

private:
    void change(Control* to);
    void show() const;

    Form& form_;
    Control* focused_ = nullptr;
};

} // namespace forms
