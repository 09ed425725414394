#include "toolkit/win32/Win32FullScreen.h"

#include "toolkit/Native.h"
#include "toolkit/win32/Win32Window.h"

#include <algorithm>
#include <cstdlib>

namespace forms::win32 {

void refuseFullScreen(HWND window, POINT before, POINT after) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    // Further than a drag moves a window between two pointer events.
    constexpr LONG kDragStep = 64;
    const bool jumpedToCorner =
        after.x == monitor.rcMonitor.left && after.y == monitor.rcMonitor.top &&
        std::max(std::abs(before.x - after.x), std::abs(before.y - after.y)) > kDragStep;
    platform::post([window, jumpedToCorner, before] {
        if (!Win32Window::of(window)) return;
        if (jumpedToCorner)
            SetWindowPos(window, nullptr, before.x, before.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        else
            SetWindowPos(window, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

} // namespace forms::win32
