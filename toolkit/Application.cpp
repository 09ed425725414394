#include "toolkit/Application.h"

#include "toolkit/Form.h"
#include "toolkit/Native.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

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

void endProcess() {
    std::fflush(nullptr);
    std::_Exit(0);
}

void openUrl(const std::string& address) {
    if (!testhooks::captureUrl(address)) platform::openUrl(address);
}

} // namespace forms
