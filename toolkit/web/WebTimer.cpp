#include "toolkit/web/WebTimer.h"

#include "toolkit/Timer.h"
#include "toolkit/web/WebBridge.h"
#include "toolkit/web/WebHandles.h"

namespace forms::web {

Handles<Timer>& timers() {
    static Handles<Timer> handles;
    return handles;
}

WebTimer::WebTimer(Timer& timer, std::chrono::microseconds period)
    : id_(timers().add(&timer)) {
    kv_timer_start(id_, static_cast<double>(period.count()) / 1000.0);
}

WebTimer::~WebTimer() {
    kv_timer_stop(id_);
    timers().remove(id_);
}

Timer* WebTimer::find(int id) {
    return timers().find(id);
}

} // namespace forms::web
