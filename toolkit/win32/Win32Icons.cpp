#include "toolkit/win32/Win32Icons.h"

#include "toolkit/PackedSkin.h"
#include "toolkit/win32/Win32Dpi.h"
#include "toolkit/win32/Win32Pictures.h"
#include "toolkit/win32/Win32Resample.h"
#include "toolkit/win32/Win32Resources.h"
#include "toolkit/win32/Win32Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace forms::win32 {

namespace {

HICON iconFrom(const Bitmap& bitmap, int box, bool isIcon, int hotX, int hotY) {
    Bitmap canvas{box, box, std::vector<std::uint32_t>(static_cast<std::size_t>(box) * box, 0)};
    for (int y = 0; y < std::min(box, bitmap.height); ++y)
        for (int x = 0; x < std::min(box, bitmap.width); ++x)
            canvas.pixels[static_cast<std::size_t>(y) * box + x] =
                bitmap.pixels[static_cast<std::size_t>(y) * bitmap.width + x];
    HBITMAP colour = dibSection(canvas, false);
    HBITMAP mask = CreateBitmap(box, box, 1, 1, nullptr);
    ICONINFO info{isIcon, static_cast<DWORD>(hotX), static_cast<DWORD>(hotY), mask, colour};
    HICON result = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return result;
}

} // namespace

HCURSOR cursor(const Picture& shape, UINT dpi) {
    static std::map<std::pair<std::string, UINT>, HCURSOR> cache;
    const auto key = std::make_pair(shape.name(), dpi);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    // Pointers are drawn at the system's pointer size, packed by the build at the common one; the picture
    // keeps its proportions inside it.
    const int box = systemMetric(SM_CXCURSOR, dpi);
    POINT hot{};
    HCURSOR result = nullptr;
    if (const Bitmap* packed = packedPicture(packed::pointerKey(shape.name(), box), &hot)) {
        result = iconFrom(*packed, box, false, hot.x, hot.y);
    } else {
        const Bitmap& image = picture(shape);
        const std::span<const std::uint8_t> bytes = resourceBytes(shape.name());
        const PointerFit fit =
            fitPointer(image.width, image.height, std::atof(pngText(bytes, "HotSpotX").c_str()),
                       std::atof(pngText(bytes, "HotSpotY").c_str()), box);
        result = iconFrom(scaled(image, fit.width, fit.height), box, false, fit.hotX, fit.hotY);
    }
    if (!result) throw Error("Can't create the pointer " + shape.name());
    return cache.emplace(key, result).first->second;
}

HICON icon(const Picture& picture, int size) {
    static std::map<std::pair<std::string, int>, HICON> cache;
    const auto key = std::make_pair(picture.name(), size);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    auto* result = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), widen(picture.name()).c_str(), IMAGE_ICON, size, size, 0));
    if (!result) {
        const Bitmap& image = win32::picture(picture);
        result = iconFrom(scaled(image, size, size), size, true, 0, 0);
    }
    return cache.emplace(key, result).first->second;
}

} // namespace forms::win32
