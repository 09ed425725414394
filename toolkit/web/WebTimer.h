#pragma once

#include "toolkit/Native.h"

#include <chrono>

namespace forms::web {

// A timer of the page's, which paces its ticks one a frame (toolkit/web/runtime.js).
class WebTimer : public NativeTimer {
public:
    WebTimer(Timer& timer, std::chrono::microseconds period);
    ~WebTimer() override;

    // The timer the page knows by this id, if it still runs.
    static Timer* find(int id);

private:
    int id_;
};

} // namespace forms::web
