#pragma once

#include "toolkit/Form.h"
#include "toolkit/TestDriver.h"
#include "windows/main/FormMain.h"

#include <gtest/gtest.h>

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

inline void enterWorkedExample(FormMain& form) {
    form.txtTank.setText("45");
    form.txtTopUp.setText("3");
    form.txtMileage.setText("550");
    form.txtPrice.setText("1.95");
}

// The main window shown and active, as at start-up; closed again with any alert it opened.
class ShownFormMain : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        forms::testing::processEvents();
    }
    void TearDown() override {
        if (FormAlert* alert = form.formAlert()) alert->unload();
        form.unload();
    }
    FormMain form;
};
