#include "toolkit/Native.h"
#include "toolkit/TestDriver.h"

#include <utility>

namespace forms {

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
} // namespace

bool testhooks::manualTimers() {
    return state().manualTimers;
}

bool testhooks::captureUrl(const std::string& address) {
    if (!state().captureUrls) return false;
    state().openedUrls.push_back(address);
    return true;
}

void testhooks::modalShown(Form& form) {
    std::function<void(Form&)> handler = std::exchange(state().modalHandler, nullptr);
    if (!handler) handler = state().unexpectedModalHandler;
    if (!handler) return;
    // From inside the wait, as a user would answer it.
    platform::post([handler, &form] { handler(form); });
}

void testing::setManualTimers(bool manual) {
    state().manualTimers = manual;
}

int testing::stepTimers(Form& form) {
    if (!form.isLoaded()) return 0;
    std::vector<Timer*> due;
    for (Timer* timer : form.timers())
        if (form.isLoaded() && timer->enabled() && timer->interval() > 0) due.push_back(timer);
    int ticked = 0;
    for (Timer* timer : due)
        ticked += timer->tick() ? 1 : 0;
    return ticked;
}

void testing::expectModal(std::function<void(Form&)> handler) {
    state().modalHandler = std::move(handler);
}

void testing::setUnexpectedModalHandler(std::function<void(Form&)> handler) {
    state().unexpectedModalHandler = std::move(handler);
}

void testing::setCaptureUrls(bool capture) {
    state().captureUrls = capture;
}

std::vector<std::string> testing::takeOpenedUrls() {
    return std::exchange(state().openedUrls, {});
}

} // namespace forms
