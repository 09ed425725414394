#pragma once

#include <cstdint>
#include <vector>

namespace forms::win32 {

// A picture as the Win32 layer draws it: premultiplied BGRA, row by row from the top. Free of the system's
// headers, so that tools/skinpack makes these pixels on the build machine with the same code.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // Picture pixels per design pixel: 2 for a twice-size drawing.
    int scale = 1;
};

} // namespace forms::win32
