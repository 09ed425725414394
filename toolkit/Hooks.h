#pragma once

// Internal to the toolkit and its test driver: what the core and the platform layers consult, empty in the
// shipped program. The test driver installs the hooks; nothing else does.

#include "toolkit/Control.h"

#include <functional>
#include <string>

namespace forms {

class Form;

struct Hooks {
    // True while timers must not tick by themselves.
    std::function<bool()> manualTimers;
    // A modal window is about to wait for its unloading.
    std::function<void(Form&)> modalShown;
    // True when the address was taken care of instead of being opened.
    std::function<bool(const std::string&)> captureUrl;
    // The uncaught-error message box is about to wait for its answer.
    std::function<void()> fatalErrorBoxShowing;
};
Hooks& hooks();

// Platform timers running now.
int runningNativeTimers();

// What the platform layer reports about a control and nothing else may change.
class ControlAccess {
public:
    // The user typed: the platform keeps the text without drawing it again.
    static void textEditedByUser(Control& control, std::string text) {
        control.textEditedByUser(std::move(text));
    }
};

} // namespace forms
