// Drives the page as a browser would deliver a user's input: synthetic pointer, key and focus events on the
// elements, dispatched synchronously, and what a browser does by default in their wake (a click after a
// press and release, a button's activation by Enter and Space).

#include "toolkit/TestDriver.h"

#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/web/WebControl.h"
#include "toolkit/web/WebPlatform.h"
#include "toolkit/web/WebWindow.h"

#include <cmath>
#include <cstdlib>

extern "C" {
void kvt_pointer(int control, int window, const char* type, int button, int buttons, int shift, double x,
                 double y, int detail);
void kvt_focus(int control);
void kvt_key(const char* keyName);
void kvt_type(const char* text);
void kvt_paste(const char* text);
int kvt_size(int window, int height);
int kvt_pointer_shape(int control);
char* kvt_accessible_name(int control);
char* kvt_title(int window);
// The message of the page that stands in for the ended program.
char* kvt_ended_message();
int* kvt_grab(int window);
}

namespace forms::testing {

namespace {

int controlId(const Control& control) {
    auto* native = static_cast<web::WebControl*>(control.native());
    if (!native) throw Error("Control " + control.name() + " has no window");
    return native->id();
}

int windowId(const Form& form) {
    auto* native = static_cast<web::WebWindow*>(form.native());
    if (!native) throw Error("Form " + form.name() + " is not loaded");
    return native->id();
}

std::string takeString(char* text) {
    std::string result(text);
    std::free(text);
    return result;
}

// The last press of the left button, for the click its release makes, and the press count the browser
// gives it (2 for the second press of a double-click).
int pressedControl = -1;
int pressDetail = 1;

void middle(const Control& control, float& x, float& y) {
    x = std::floor(control.width() / kTwipsPerPixel / 2) * kTwipsPerPixel;
    y = std::floor(control.height() / kTwipsPerPixel / 2) * kTwipsPerPixel;
}

} // namespace

void processEvents() {
    web::drainPosted();
}

void pointerDown(Control& control, int button, int shift, float x, float y) {
    const int id = controlId(control);
    if (button == LeftButton) {
        pressedControl = id;
    }
    kvt_pointer(id, -1, "pointerdown", button, button, shift, x, y, pressDetail);
    processEvents();
}

void pointerMove(Control& control, int button, int shift, float x, float y) {
    kvt_pointer(controlId(control), -1, "pointermove", 0, button, shift, x, y, 0);
    processEvents();
}

void pointerUp(Control& control, int button, int shift, float x, float y) {
    const int id = controlId(control);
    kvt_pointer(id, -1, "pointerup", button, 0, shift, x, y, pressDetail);
    const bool inside = x >= 0 && y >= 0 && x < control.width() && y < control.height();
    if (button == LeftButton && pressedControl == id && inside && control.native())
        kvt_pointer(id, -1, "click", button, 0, shift, x, y, pressDetail);
    processEvents();
}

void pointerDown(Form& form, int button, int shift, float x, float y) {
    pressedControl = -1;
    kvt_pointer(-1, windowId(form), "pointerdown", button, button, shift, x, y, 1);
    processEvents();
}

void pointerMove(Form& form, int button, int shift, float x, float y) {
    kvt_pointer(-1, windowId(form), "pointermove", 0, button, shift, x, y, 0);
    processEvents();
}

void click(Control& control) {
    float x = 0, y = 0;
    middle(control, x, y);
    pressedControl = -1;
    // A browser focuses a button or a text box as it is pressed.
    if (takesFocus(control.kind())) kvt_focus(controlId(control));
    pointerDown(control, LeftButton, 0, x, y);
    if (control.native()) pointerUp(control, LeftButton, 0, x, y);
}

void doubleClick(Control& control) {
    float x = 0, y = 0;
    middle(control, x, y);
    pressedControl = -1;
    pointerDown(control, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
    pressDetail = 2;
    pointerDown(control, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
    pressDetail = 1;
    if (control.native()) kvt_pointer(controlId(control), -1, "dblclick", LeftButton, 0, 0, x, y, 2);
    processEvents();
}

// A page has no window system to close a window; its entry point is called as one would.
void closeFromWindowSystem(Form& form) {
    deliver([&form] { form.closeRequestedByWindowSystem(); });
    processEvents();
}

// A form is an element of fixed size: the page never resizes it.
SizeLimits sizeLimits(const Form& form) {
    const int id = windowId(form);
    const int width = kvt_size(id, 0);
    const int height = kvt_size(id, 1);
    return {width, height, width, height};
}

void focus(Control& control) {
    kvt_focus(controlId(control));
    processEvents();
}

// A page has no window system to activate a window; its entry point is called as one would.
void activate(Form& form) {
    deliver([&form] { form.windowActivated(); });
    processEvents();
}

void typeText(const std::string& text) {
    kvt_type(text.c_str());
    processEvents();
}

void paste(const std::string& text) {
    kvt_paste(text.c_str());
    processEvents();
}

void pressKey(Key key) {
    kvt_key(key == Key::Enter ? "Enter" : key == Key::Space ? " " : key == Key::Escape ? "Escape" : "Tab");
    processEvents();
}

PointerShape pointerShape(const Control& control) {
    switch (kvt_pointer_shape(controlId(control))) {
    case 0:
        return PointerShape::Arrow;
    case 1:
        return PointerShape::IBeam;
    case 2:
        return PointerShape::Hand;
    default:
        return PointerShape::Other;
    }
}

Pixels grab(const Form& form) {
    int* raw = kvt_grab(windowId(form));
    Pixels pixels{raw[0], raw[1], {}};
    const auto* argb = reinterpret_cast<const std::uint32_t*>(raw + 2);
    pixels.argb.assign(argb, argb + static_cast<std::size_t>(pixels.width * pixels.height));
    std::free(raw);
    return pixels;
}

std::string accessibleName(const Control& control) {
    return takeString(kvt_accessible_name(controlId(control)));
}

std::string windowTitle(const Form& form) {
    return takeString(kvt_title(windowId(form)));
}

// The page shows the message in place of the windows; the handler reads it there, and the program ends.
void setFatalErrorBoxHandler(std::function<void(const std::string&)> handler) {
    if (!handler) {
        hooks().fatalErrorBoxShowing = nullptr;
        return;
    }
    hooks().fatalErrorBoxShowing = [handler] { handler(takeString(kvt_ended_message())); };
}

} // namespace forms::testing
