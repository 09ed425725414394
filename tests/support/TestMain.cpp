// Window tests run on Qt's offscreen platform unless told otherwise, with timers stepped by hand, and fail
// when a modal window opens that the test did not expect.

#include "toolkit/Application.h"
#include "toolkit/TestDriver.h"

#include <gtest/gtest.h>

#include "TestApplication.h"

#include <cstdlib>

namespace {
forms::Application* application = nullptr;
}

forms::Application& testApplication() {
    return *application;
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    forms::Application app(argc, argv);
    application = &app;
    forms::testing::setManualTimers(true);
    forms::testing::setCaptureUrls(true);
    forms::testing::setUnexpectedModalHandler([](forms::Form& form) {
        ADD_FAILURE() << "unexpected modal window " << form.name();
        form.unload();
    });
    return RUN_ALL_TESTS();
}
