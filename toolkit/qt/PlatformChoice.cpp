#include "toolkit/qt/PlatformChoice.h"

#include <cstdlib>
#include <string_view>

namespace forms::qt {

std::string chooseQtPlatform(const StartEnvironment& environment) {
    if (!environment.qtPlatform.empty() || environment.platformArgument) return {};
    const bool wayland = !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
    // Qt tries the next plugin when one cannot connect, as when DISPLAY names an X server that is gone.
    if (!environment.x11Display.empty()) return wayland ? "xcb;wayland" : "xcb";
    return wayland ? "wayland" : "";
}

StartEnvironment startEnvironment(int argc, char** argv) {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    StartEnvironment environment{.qtPlatform = variable("QT_QPA_PLATFORM"),
                                 .x11Display = variable("DISPLAY"),
                                 .waylandDisplay = variable("WAYLAND_DISPLAY"),
                                 .sessionType = variable("XDG_SESSION_TYPE")};
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform") environment.platformArgument = true;
    }
    return environment;
}

} // namespace forms::qt
