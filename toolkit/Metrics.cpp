#include "toolkit/Metrics.h"

#include <algorithm>
#include <cmath>

namespace forms {

int toPixels(Twips twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel * dpi / kDesignDpi));
}

Twips toTwips(double pixels, int dpi) {
    return static_cast<Twips>(pixels * kTwipsPerPixel * kDesignDpi / dpi);
}

PixelRect toPixelRect(Twips left, Twips top, Twips width, Twips height, int dpi) {
    const int x = toPixels(left, dpi);
    const int y = toPixels(top, dpi);
    return {x, y, std::max(0, toPixels(left + width, dpi) - x), std::max(0, toPixels(top + height, dpi) - y)};
}

std::span<const EmbeddedFace> embeddedFaces() {
    static constexpr EmbeddedFace faces[] = {
        {"MS Sans Serif", "Liberation Sans", "LiberationSans-Regular", "LiberationSans-Bold"},
        {"Georgia", "DejaVu Serif", "DejaVuSerif", "DejaVuSerif-Bold"},
    };
    return faces;
}

std::string drawnFamily(const Font& font) {
    for (const EmbeddedFace& face : embeddedFaces())
        if (font.name == face.designName) return face.family;
    return font.name;
}

int fontPixels(const Font& font, int dpi) {
    const long designPixels = std::lround(font.points * static_cast<double>(kDesignDpi) / 72.0);
    return static_cast<int>(std::lround(static_cast<double>(designPixels) * dpi / kDesignDpi));
}

} // namespace forms
