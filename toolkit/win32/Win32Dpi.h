#pragma once

#include "toolkit/Metrics.h"

#include <windows.h>

namespace forms::win32 {

UINT systemDpi();
UINT windowDpi(HWND window);
int systemMetric(int index, UINT dpi);
RECT toRect(const PixelRect& rect);

} // namespace forms::win32
