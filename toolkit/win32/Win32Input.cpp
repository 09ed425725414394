#include "toolkit/win32/Win32Input.h"

#include "toolkit/Metrics.h"
#include "toolkit/win32/Win32Window.h"

#include <windowsx.h>

namespace forms::win32 {

int buttonState(WPARAM keys) {
    return (keys & MK_LBUTTON ? LeftButton : 0) | (keys & MK_RBUTTON ? RightButton : 0) |
           (keys & MK_MBUTTON ? MiddleButton : 0);
}

int shiftState(WPARAM keys) {
    return (keys & MK_SHIFT ? ShiftMask : 0) | (keys & MK_CONTROL ? ControlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? AltMask : 0);
}

int pressedButton(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return LeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return RightButton;
    default:
        return MiddleButton;
    }
}

PointerEvent pointerEvent(const Win32Window& window, HWND surface, LPARAM point, int button, WPARAM keys) {
    POINT screen{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    ClientToScreen(surface, &screen);
    RECT surfaceRect{};
    RECT windowRect{};
    GetWindowRect(surface, &surfaceRect);
    GetWindowRect(window.hwnd(), &windowRect);
    const POINT placed = window.placedPixels();
    const double x = screen.x - (placed.x + surfaceRect.left - windowRect.left);
    const double y = screen.y - (placed.y + surfaceRect.top - windowRect.top);
    return PointerEvent{button, shiftState(keys), toTwips(x, window.dpi()), toTwips(y, window.dpi())};
}

} // namespace forms::win32
