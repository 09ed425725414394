#pragma once

#include <string>

namespace forms::qt {

// What the process starts in, as far as the choice of window-system path goes.
struct StartEnvironment {
    std::string qtPlatform;     // QT_QPA_PLATFORM
    std::string x11Display;     // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string sessionType;    // XDG_SESSION_TYPE
    bool platformArgument = false;
    // Whether a server answers at the named X display and Wayland socket (the default socket in a Wayland
    // session).
    bool x11Reachable = true;
    bool waylandReachable = true;
};

// The Qt platform plugins to ask for, in order (Qt's "a;b" form), or empty to leave the choice to Qt. X11 (on
// a Wayland desktop through XWayland) comes first because there the program places its own windows: centred
// on the screen, the alert centred on its owner, the window following the pointer. Native Wayland is for
// desktops without XWayland, or when the user names a platform.
std::string chooseQtPlatform(const StartEnvironment& environment);

// Why no window can be shown, naming the variables tried, when no display server answers and the user named
// no platform; empty otherwise.
std::string noDisplay(const StartEnvironment& environment);

// The environment, with the display servers it names tried.
StartEnvironment startEnvironment(int argc, char** argv);

} // namespace forms::qt
