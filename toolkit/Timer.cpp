#include "toolkit/Timer.h"

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Hooks.h"
#include "toolkit/Native.h"

#include <algorithm>

namespace forms {

namespace {
int liveNativeTimers = 0;
}

int runningNativeTimers() {
    return liveNativeTimers;
}

Timer::Timer(Form& form, TimerProps design)
    : form_(form)
    , design_(std::move(design))
    , props_(design_) {
    form_.registerTimer(this);
}

Timer::~Timer() {
    stop();
}

bool Timer::enabled() const {
    form_.ensureLoaded();
    return props_.enabled;
}

int Timer::interval() const {
    form_.ensureLoaded();
    return props_.interval;
}

void Timer::setEnabled(bool value) {
    form_.ensureLoaded();
    props_.enabled = value;
    sync();
}

void Timer::setInterval(int milliseconds) {
    form_.ensureLoaded();
    if (milliseconds < 0) throw Error("Invalid property value");
    if (props_.interval == milliseconds) return;
    props_.interval = milliseconds;
    stop();
    sync();
}

void Timer::sync() {
    const bool shouldRun = form_.isLoaded() && props_.enabled && props_.interval > 0 &&
                           !(hooks().manualTimers && hooks().manualTimers());
    if (!shouldRun) {
        stop();
    } else if (!native_) {
        const auto period = std::max<std::chrono::microseconds>(std::chrono::milliseconds(props_.interval),
                                                                kMinimumTickPeriod);
        native_ = platform::startTimer(*this, period);
        ++liveNativeTimers;
    }
}

void Timer::stop() {
    if (native_) --liveNativeTimers;
    native_.reset();
}

bool Timer::tick() {
    if (!form_.isLoaded() || !props_.enabled || props_.interval == 0) return false;
    if (onTimer) deliver(onTimer);
    if (NativeWindow* window = form_.native()) window->presentFrame();
    return true;
}

} // namespace forms
