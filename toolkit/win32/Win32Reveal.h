#pragma once

#include <windows.h>

namespace forms::win32 {

// A top-level window is created layered (WS_EX_LAYERED), which keeps it off the screen until it is given its
// attributes: Windows and Wine then show it with everything it has painted. Shown as an ordinary window, its
// controls' windows would paint in their own turns after it appeared, and Wine sends each of those paints to
// the X server as it ends, so that the first frame on the screen was the window's body with black holes
// where the controls were to come. Paints the shown, still layered window whole, shows it, and makes it an
// ordinary window from then on.
void revealWhole(HWND window);

} // namespace forms::win32
