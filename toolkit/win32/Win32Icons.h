#pragma once

#include "toolkit/Types.h"

#include <windows.h>

namespace forms::win32 {

// Pointers and icons from the embedded pictures (an icon resource of the name where there is one). Both
// throw for a name that is not there.
HCURSOR cursor(const Picture& picture, UINT dpi);
HICON icon(const Picture& picture, int size);

} // namespace forms::win32
