#include "toolkit/Application.h"

#include "toolkit/Form.h"
#include "toolkit/Hooks.h"
#include "toolkit/Native.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace forms {

namespace {

bool running = false;

// The uncaught-error path: the message on standard error, then the platform's box, then the end.
[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "kelvara-calculator: run-time error: %s\n", message.c_str());
    platform::fatalError(errorBoxText(message));
}

} // namespace

void deliver(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        fail(error.what());
    } catch (...) {
        fail("Unknown error");
    }
}

int Application::run(Form& startup) {
    running = true;
    deliver([&startup] { startup.show(); });
    const int status = run();
    running = false;
    return status;
}

bool applicationRunning() {
    return running;
}

std::string errorBoxText(const std::string& message) {
    return "Run-time error:\n\n" + message;
}

Hooks& hooks() {
    static Hooks installed;
    return installed;
}

void endProcess() {
    std::fflush(nullptr);
#ifdef __SANITIZE_ADDRESS__
    // Ending at once skips the exit-time leak check: a sanitizer build does it here (and fails on a leak).
    __lsan_do_leak_check();
#endif
    platform::exitProcess(0);
}

void openUrl(const std::string& address) {
    if (!hooks().captureUrl || !hooks().captureUrl(address)) platform::openUrl(address);
}

} // namespace forms
