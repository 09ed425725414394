#pragma once

#include "toolkit/Types.h"
#include "toolkit/win32/Win32Bitmap.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace forms::win32 {

// The skin's pictures come from the resources embedded in the executable; the look-up throws for a name that
// is not there, and drawing code only meets names already loaded. From 144 dpi (1.5 times the design's 96)
// up, the twice-size drawing where the skin has one.
const Bitmap& picture(const Picture& picture, UINT dpi = 96);
// A picture to be shown stretched to width x height: packed by the build at that size where the design shows
// it so, otherwise the picture itself, to be scaled as it is drawn.
const Bitmap& stretchedPicture(const Picture& picture, UINT dpi, int width, int height);
// The pixels the build packed under that key (toolkit/PackedSkin.h), and a pointer's hot spot; none if not.
const Bitmap* packedPicture(const std::string& key, POINT* hotSpot = nullptr);
// Whether a screen of that density shows the picture from its twice-size drawing.
bool drawnTwiceSize(const Picture& picture, UINT dpi);
// A PNG as the system's codecs decode it; empty when they cannot.
Bitmap decodePng(std::span<const std::uint8_t> bytes);
// A PNG text chunk's value, such as a pointer's hot spot.
std::string pngText(std::span<const std::uint8_t> bytes, const std::string& key);
// A 32-bit section of the bitmap; icons and pointers take straight alpha, drawing premultiplied.
HBITMAP dibSection(const Bitmap& bitmap, bool premultiplied);

// Draws with the picture's transparency at (x, y), scaled smoothly to width x height when they differ.
void drawPicture(HDC dc, const Bitmap& bitmap, int x, int y, int width, int height);
// A picture drawn at its own size, which on a scaled screen grows with the screen; `pixels` of a picture
// drawn at `scale` picture pixels per design pixel.
int naturalPixels(int pixels, UINT dpi, int scale = 1);

} // namespace forms::win32
