// The platform-neutral half of the test driver: it installs the core's hooks, which the shipped program
// leaves empty.

#include "toolkit/TestDriver.h"

#include "toolkit/Hooks.h"
#include "toolkit/Native.h"
#include "toolkit/Timer.h"

#include <cmath>
#include <utility>

namespace forms::testing {

namespace {

struct TestState {
    bool manualTimers = false;
    std::function<void(Form&)> modalHandler;
    std::function<void(Form&)> unexpectedModalHandler;
    bool captureUrls = false;
    std::vector<std::string> openedUrls;
};
TestState& state() {
    static TestState s;
    return s;
}

TestState& installed() {
    Hooks& h = hooks();
    if (!h.manualTimers) h.manualTimers = [] { return state().manualTimers; };
    if (!h.captureUrl) {
        h.captureUrl = [](const std::string& address) {
            if (!state().captureUrls) return false;
            state().openedUrls.push_back(address);
            return true;
        };
    }
    if (!h.modalShown) {
        h.modalShown = [](Form& form) {
            std::function<void(Form&)> handler = std::exchange(state().modalHandler, nullptr);
            if (!handler) handler = state().unexpectedModalHandler;
            if (!handler) return;
            // From inside the wait, as a user would answer it.
            platform::post([handler, &form] { handler(form); });
        };
    }
    return state();
}

} // namespace

void setManualTimers(bool manual) {
    installed().manualTimers = manual;
}

int stepTimers(Form& form) {
    if (!form.isLoaded()) return 0;
    std::vector<Timer*> due;
    for (Timer* timer : form.timers())
        if (form.isLoaded() && timer->enabled() && timer->interval() > 0) due.push_back(timer);
    int ticked = 0;
    for (Timer* timer : due)
        ticked += timer->tick() ? 1 : 0;
    return ticked;
}

int runningTimerCount() {
    return runningNativeTimers();
}

int textWidthPixels(const Control& control, const std::string& text) {
    control.width(); // loads the window: text is measured as its platform draws it
    if (!control.native()) throw Error("Control " + control.name() + " has no window");
    return static_cast<int>(std::ceil(control.native()->textWidth(text) / kTwipsPerPixel));
}

void expectModal(std::function<void(Form&)> handler) {
    installed().modalHandler = std::move(handler);
}

void setUnexpectedModalHandler(std::function<void(Form&)> handler) {
    installed().unexpectedModalHandler = std::move(handler);
}

void setCaptureUrls(bool capture) {
    installed().captureUrls = capture;
}

std::vector<std::string> takeOpenedUrls() {
    return std::exchange(installed().openedUrls, {});
}

} // namespace forms::testing
