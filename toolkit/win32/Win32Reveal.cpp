#include "toolkit/win32/Win32Reveal.h"

namespace forms::win32 {

void revealWhole(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Marks every pixel as changed, so that what Wine sends first once the window appears is all of it.
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
    BitBlt(dc, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
    // From here on nothing is blended.
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

} // namespace forms::win32
