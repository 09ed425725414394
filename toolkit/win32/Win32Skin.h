#pragma once

#include "toolkit/Types.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace forms::win32 {

std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// A decoded picture: premultiplied BGRA, row by row from the top.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // Picture pixels per design pixel: 2 for a twice-size drawing.
    int scale = 1;
};

// Pictures, pointers, icons and typefaces come from the resources embedded in the executable. The picture
// and pointer look-ups throw for a name that is not there; drawing code only meets names already loaded.
// From 144 dpi (1.5 times the design's 96) up, the twice-size drawing where the skin has one.
const Bitmap& picture(const Picture& picture, UINT dpi = 96);
HCURSOR cursor(const Picture& picture, UINT dpi);
HICON icon(const Picture& picture, int size);
// Registers the embedded typefaces with the process.
void loadFonts();
HFONT font(const Font& font, UINT dpi);
int fontPixels(const Font& font, UINT dpi);

// Draws with the picture's transparency at (x, y), scaled smoothly to width x height when they differ.
void drawPicture(HDC dc, const Bitmap& bitmap, int x, int y, int width, int height);
// A picture drawn at its own size, which on a scaled screen grows with the screen; `pixels` of a picture
// drawn at `scale` picture pixels per design pixel.
int naturalPixels(int pixels, UINT dpi, int scale = 1);

UINT systemDpi();
UINT windowDpi(HWND window);
int systemMetric(int index, UINT dpi);
int toPixels(Twips twips, UINT dpi);
Twips toTwips(double pixels, UINT dpi);
// Edges in pixels from twips, so that abutting controls never leave a gap or overlap.
RECT toPixelRect(Twips left, Twips top, Twips width, Twips height, UINT dpi);

// A label's caption as it is laid out: broken at CR LF or LF, wrapped at words, runs of spaces as wide as the
// design's face had them.
void drawLabelText(HDC dc, const RECT& area, const std::string& caption, HFONT face, int pixelSize);
// With the face selected into dc: the lines drawLabelText lays the caption out in at that width, including
// those cut off below, and the width of the text on one line.
int labelLineCount(HDC dc, int width, const std::string& caption, int pixelSize);
double singleLineWidth(HDC dc, const std::string& text, int pixelSize);

} // namespace forms::win32
