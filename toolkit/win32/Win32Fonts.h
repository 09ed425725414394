#pragma once

#include "toolkit/Types.h"

#include <windows.h>

namespace forms::win32 {

// Registers the embedded typefaces with the process.
void loadFonts();
// The face a design's font is drawn in at that dpi.
HFONT font(const Font& font, UINT dpi);

} // namespace forms::win32
