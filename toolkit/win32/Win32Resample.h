#pragma once

#include "toolkit/win32/Win32Bitmap.h"

namespace forms::win32 {

// The picture at width x height, smooth both when growing and shrinking.
Bitmap scaled(const Bitmap& source, int width, int height);
// A pointer's picture fitted into the system's square pointer box with its proportions kept, and where its
// hot spot, given in the picture's pixels, lands.
struct PointerFit {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
};
PointerFit fitPointer(int width, int height, double hotX, double hotY, int box);
// Straight alpha to premultiplied, rounded as the system's codecs round it.
std::uint32_t premultiplied(std::uint32_t straightArgb);

} // namespace forms::win32
