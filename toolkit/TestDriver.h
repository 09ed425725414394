#pragma once

// Drives windows the way a user would, through the platform's own event path, for tests: synthetic pointer,
// focus and key events, stepped timer ticks, and what the program asked of the desktop.

#include "toolkit/Control.h"
#include "toolkit/Form.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forms::testing {

// Lets the platform deliver what it has queued, such as the activation of a window just shown.
void processEvents();

// With manual timers on, timers never tick by themselves; tests step them.
void setManualTimers(bool manual);
// Ticks every enabled timer of the form once, in declaration order; returns how many ticked.
int stepTimers(Form& form);

void pointerDown(Control& control, int button, int shift, float x, float y);
void pointerMove(Control& control, int button, int shift, float x, float y);
void pointerUp(Control& control, int button, int shift, float x, float y);
void pointerDown(Form& form, int button, int shift, float x, float y);
void pointerMove(Form& form, int button, int shift, float x, float y);
// A left press and release in the middle of the control.
void click(Control& control);
// A left double-click in the middle of the control: press, release, the second press as the platform reports
// a double-click, release.
void doubleClick(Control& control);
// The window system asks to close the window, as a window manager's close or Alt+F4 does.
void closeFromWindowSystem(Form& form);
struct SizeLimits {
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0; // pixels
};
// The smallest and largest size the window system is told the window may take.
SizeLimits sizeLimits(const Form& form);
// Focus as the keyboard moves it.
void focus(Control& control);
// The window system activates the window, as a press on its taskbar button does.
void activate(Form& form);
// Types into the control that has the focus, key by key.
void typeText(const std::string& text);
// Pastes into the control that has the focus, as Ctrl+V does with the text on the clipboard.
void paste(const std::string& text);
// Timers whose ticks the platform is delivering now.
int runningTimerCount();

enum class Key { Enter, Space, Escape, Tab };
// To the window that has the keyboard focus.
void pressKey(Key key);

// The next modal window runs this from inside its wait; a modal window that no test expects fails the
// test through the handler given to setUnexpectedModalHandler and is unloaded.
void expectModal(std::function<void(Form&)> handler);
void setUnexpectedModalHandler(std::function<void(Form&)> handler);

// With capture on, addresses are recorded instead of opened.
void setCaptureUrls(bool capture);
std::vector<std::string> takeOpenedUrls();

// Instead of waiting for the user, the uncaught-error message box hands its text to this handler and closes.
void setFatalErrorBoxHandler(std::function<void(const std::string&)> handler);

enum class PointerShape { Arrow, IBeam, Hand, Other };
PointerShape pointerShape(const Control& control);

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // row by row
    std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y * width + x)]; }
};
// The window as it is drawn, at one pixel per 15 twips.
Pixels grab(const Form& form);
// Whether the text fits the control's width in the font the platform draws it with.
int textWidthPixels(const Control& control, const std::string& text);
std::string accessibleName(const Control& control);
std::string windowTitle(const Form& form);

} // namespace forms::testing
