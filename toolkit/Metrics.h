#pragma once

// Twips to screen pixels and design fonts to drawn faces, the same on every platform.

#include "toolkit/Types.h"

#include <span>
#include <string>

namespace forms {

inline constexpr int kDesignDpi = 96;

int toPixels(Twips twips, int dpi = kDesignDpi);
Twips toTwips(double pixels, int dpi = kDesignDpi);

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
// Edges in pixels from twips, so that abutting controls never leave a gap or overlap.
PixelRect toPixelRect(Twips left, Twips top, Twips width, Twips height, int dpi = kDesignDpi);

// A text box's text lies inside its sunken border and an inset of air, in pixels at the design's dpi; the
// box shows a text whole while the text, the caret after it and one pixel more fit inside those.
inline constexpr int kTextBoxBorder = 2;
inline constexpr int kTextBoxInset = 1;
constexpr bool textBoxShowsWhole(int textPixels, int boxPixels) {
    return textPixels + 2 + 2 * (kTextBoxBorder + kTextBoxInset) <= boxPixels;
}

// The design names classic typefaces; these embedded ones are drawn in their place. Files are named
// without their extension.
struct EmbeddedFace {
    const char* designName;
    const char* family;
    const char* regularFile;
    const char* boldFile;
};
std::span<const EmbeddedFace> embeddedFaces();
// The family a design's font is drawn in.
std::string drawnFamily(const Font& font);
// Sizes in points at 96 dpi, as the design was drawn, rounded to whole pixels; the screen's scaling applies
// on top.
int fontPixels(const Font& font, int dpi = kDesignDpi);

} // namespace forms
