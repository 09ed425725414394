#pragma once

// The seam between the toolkit's platform-neutral core and the one platform layer linked into the build. A
// layer implements what is declared here and draws its policy from the core instead of deciding it:
// - toolkit/FocusTracker.h: which control has the focus; the layer reports focus-in and activation and puts
//   the focus where the tracker says;
// - toolkit/Keyboard.h: the Tab order, where the focus goes from a hidden control, Enter and Escape;
// - toolkit/Control.h: which controls take the focus (takesFocus) and click by themselves (clicksItself),
//   what clicks on release (ReleaseClick), what a double-click's second press is (secondPressClicks), which
//   controls have windows of their own (isWindowed);
// - toolkit/Metrics.h: twips to pixel edges at any dpi, the embedded faces standing in for the design's, and
//   their pixel sizes;
// - toolkit/TextLayout.h: a caption's paragraphs, its widened space runs and its word wrap, over the
//   per-character advances the layer measures in its face;
// - toolkit/Hooks.h: what the layer must consult for the test driver (the uncaught-error box) and how it
//   reports typed text (ControlAccess), neither of which the shipped program's windows see.

#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Timer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace forms {

class NativeControl {
public:
    virtual ~NativeControl() = default;
    virtual void update(ControlProp changed) = 0;
    // Puts the keyboard focus on the control's window, where the form's FocusTracker decided it is.
    virtual void setFocus() = 0;
    // Lines the caption takes when broken and wrapped at the control's width as it is drawn.
    virtual int captionLineCount() const = 0;
    // Width of the text on one line in the control's font, as drawn.
    virtual Twips textWidth(const std::string& text) const = 0;
};

// Ticks its timer every period from construction until destruction.
class NativeTimer {
public:
    virtual ~NativeTimer() = default;
};

struct ScreenArea {
    Twips left = 0;
    Twips top = 0;
    Twips width = 0;
    Twips height = 0;
};

class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    virtual std::unique_ptr<NativeControl> createControl(Control& control) = 0;
    // All controls exist: settle stacking and focus order.
    virtual void controlsCreated() = 0;
    // Both sizes are fixed for the window system (no resizing or maximising by the user). A shown window
    // that shrinks keeps its size until its next frame is on screen, so its moved bottom edge is never
    // missing.
    virtual void updateSize() = 0;
    virtual void updateCaption() = 0; // to the form's windowTitle()
    virtual void place() = 0;         // to the form's left and top
    virtual void show(Form* owner, bool modal) = 0;
    virtual WindowState windowState() const = 0;
    // Nothing but this maps a minimised window again: moves, size changes and frames leave it minimised.
    virtual void setWindowState(WindowState state) = 0;
    virtual ScreenArea screenArea() const = 0;
    // A timer tick changed the window: put the change on screen as its own frame.
    virtual void presentFrame() = 0;
};

namespace platform {
std::unique_ptr<NativeWindow> createWindow(Form& form);
std::unique_ptr<NativeTimer> startTimer(Timer& timer, std::chrono::microseconds period);
// The form whose window the window system reports active, if any (Form::active falls back from there).
Form* activeForm();
// Processes events until the form is unloaded. A platform whose event loop must not be blocked (a browser's)
// returns at once instead: the form stays modal until it unloads, and the caller's remaining steps run first.
void runModalLoop(const Form& form);
// Ends the program with the status: no further handler runs and every window goes with it.
[[noreturn]] void exitProcess(int status);
// Shows the uncaught-error box with the text (errorBoxText) and ends the program with status 1.
[[noreturn]] void fatalError(const std::string& text);
// Runs the action from the event loop, after the current event.
void post(std::function<void()> action);
void openUrl(const std::string& address);
} // namespace platform

} // namespace forms
