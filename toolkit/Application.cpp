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

void deliver(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        platform::fatalError(error.what());
    } catch (...) {
        platform::fatalError("Unknown error");
    }
}

int Application::run(Form& startup) {
    deliver([&startup] { startup.show(); });
    return run();
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
    std::_Exit(0);
}

void openUrl(const std::string& address) {
    if (!hooks().captureUrl || !hooks().captureUrl(address)) platform::openUrl(address);
}

} // namespace forms
