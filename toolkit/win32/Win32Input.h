#pragma once

#include "toolkit/Native.h"

#include <windows.h>

namespace forms::win32 {

class Win32Window;

// The buttons held and the shift keys down, from a pointer message's key flags.
int buttonState(WPARAM keys);
int shiftState(WPARAM keys);
// The button a press or release message is about.
int pressedButton(UINT message);

// The message's point in twips of the surface, from the pointer's screen position and the window's position
// as the toolkit last placed it.
PointerEvent pointerEvent(const Win32Window& window, HWND surface, LPARAM point, int button, WPARAM keys);

} // namespace forms::win32
