#include "toolkit/win32/Win32Dpi.h"

namespace forms::win32 {

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// Per-window values exist from Windows 10 1607 on; before that the system's value holds for every window.
template <typename F> F user32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT windowDpi(HWND window) {
    static const auto getDpiForWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

int systemMetric(int index, UINT dpi) {
    static const auto forDpi = user32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    const int value = forDpi ? forDpi(index, dpi) : 0;
    return value > 0 ? value : GetSystemMetrics(index);
}

RECT toRect(const PixelRect& rect) {
    return RECT{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
}

} // namespace forms::win32
