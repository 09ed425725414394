#pragma once

#include <windows.h>

namespace forms::win32 {

// An X window manager's full screen reaches a Wine window only as a move to the screen's corner (the size
// hints keep its size), with no state a program can read. Wine withdraws a window manager's state it did not
// ask for at the window's next change made outside its own event handling, so one follows every move the
// window system makes; a jump to the corner, which no drag makes, is taken back there too. Elsewhere the
// follow-up changes nothing.
void refuseFullScreen(HWND window, POINT before, POINT after);

} // namespace forms::win32
