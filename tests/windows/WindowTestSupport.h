#pragma once

#include "toolkit/Form.h"
#include "toolkit/TestDriver.h"

#include <map>
#include <string>

// Steps the form's timers, each enabled one once per round, until none is left on; counts each timer's
// ticks. Gives up after `limit` rounds, which a test reads as an animation that never ends.
inline std::map<std::string, int> runTimers(forms::Form& form, int limit = 1000) {
    std::map<std::string, int> ticks;
    for (int round = 0; round < limit; ++round) {
        bool any = false;
        for (forms::Timer* timer : form.timers()) {
            if (form.isLoaded() && timer->tick()) {
                ++ticks[timer->name()];
                any = true;
            }
        }
        if (!any) return ticks;
    }
    ticks["<endless>"] = 1;
    return ticks;
}

inline bool anyTimerOn(forms::Form& form) {
    for (forms::Timer* timer : form.timers())
        if (timer->enabled()) return true;
    return false;
}
