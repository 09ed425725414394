#pragma once

#include "toolkit/win32/Win32Pictures.h"

namespace forms::win32 {

// The picture at width x height, smooth both when growing and shrinking.
Bitmap scaled(const Bitmap& source, int width, int height);

} // namespace forms::win32
