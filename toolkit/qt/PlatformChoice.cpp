#include "toolkit/qt/PlatformChoice.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace forms::qt {

namespace {

bool named(const StartEnvironment& environment) {
    return !environment.qtPlatform.empty() || environment.platformArgument;
}
bool x11(const StartEnvironment& environment) {
    return !environment.x11Display.empty() && environment.x11Reachable;
}
bool wayland(const StartEnvironment& environment) {
    return (!environment.waylandDisplay.empty() || environment.sessionType == "wayland") &&
           environment.waylandReachable;
}

// A local socket that a server accepts on; the name starting with '@' is in the abstract namespace.
bool accepts(const std::string& name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.empty() || name.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, name.data(), name.size());
    if (name[0] == '@') address.sun_path[0] = '\0';
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    close(fd);
    return ok;
}

// A local display (":0", ":0.1", "unix:0") answers on its socket; one on another host is left to Qt.
bool x11Answers(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return true;
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    const std::string path = "/tmp/.X11-unix/X" + number;
    return accepts("@" + path) || accepts(path);
}

bool waylandAnswers(const std::string& display, const std::string& runtimeDir) {
    const std::string name = display.empty() ? "wayland-0" : display;
    return accepts(name[0] == '/' || runtimeDir.empty() ? name : runtimeDir + "/" + name);
}

std::string tried(const char* variable, const std::string& value) {
    return value.empty() ? std::string(variable) + " (not set)" : std::string(variable) + "=" + value;
}

} // namespace

std::string chooseQtPlatform(const StartEnvironment& environment) {
    if (named(environment)) return {};
    // DISPLAY may name an X server that is gone: Qt would try it first and warn.
    if (x11(environment)) return wayland(environment) ? "xcb;wayland" : "xcb";
    return wayland(environment) ? "wayland" : "";
}

std::string noDisplay(const StartEnvironment& environment) {
    if (named(environment) || x11(environment) || wayland(environment)) return {};
    return "no display could be opened; tried " + tried("DISPLAY", environment.x11Display) + " and " +
           tried("WAYLAND_DISPLAY", environment.waylandDisplay);
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
    if (named(environment)) return environment;
    environment.x11Reachable = !environment.x11Display.empty() && x11Answers(environment.x11Display);
    environment.waylandReachable =
        (!environment.waylandDisplay.empty() || environment.sessionType == "wayland") &&
        waylandAnswers(environment.waylandDisplay, variable("XDG_RUNTIME_DIR"));
    return environment;
}

} // namespace forms::qt
