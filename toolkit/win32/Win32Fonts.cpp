#include "toolkit/win32/Win32Fonts.h"

#include "toolkit/Metrics.h"
#include "toolkit/win32/Win32Resources.h"
#include "toolkit/win32/Win32Utf8.h"

#include <map>
#include <span>
#include <string>
#include <tuple>

namespace forms::win32 {

void loadFonts() {
    static bool loaded = false;
    if (loaded) return;
    for (const EmbeddedFace& face : embeddedFaces()) {
        for (const char* name : {face.regularFile, face.boldFile}) {
            const std::span<const std::uint8_t> bytes = resourceBytes(name);
            DWORD count = 0;
            if (bytes.empty() || !AddFontMemResourceEx(const_cast<std::uint8_t*>(bytes.data()),
                                                       static_cast<DWORD>(bytes.size()), nullptr, &count))
                throw Error(std::string("Can't load font ") + name);
        }
    }
    // A face the system does not know falls back silently; refuse that instead.
    HDC dc = CreateCompatibleDC(nullptr);
    for (const EmbeddedFace& embedded : embeddedFaces()) {
        const std::wstring family = widen(embedded.family);
        HFONT probe =
            CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                        CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, family.c_str());
        HGDIOBJ old = SelectObject(dc, probe);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        SelectObject(dc, old);
        DeleteObject(probe);
        if (std::wstring(face) != family) {
            DeleteDC(dc);
            throw Error(std::string("Can't load font ") + embedded.family);
        }
    }
    DeleteDC(dc);
    loaded = true;
}

HFONT font(const Font& font, UINT dpi) {
    static std::map<std::tuple<std::string, int, bool>, HFONT> cache;
    const int pixels = fontPixels(font, static_cast<int>(dpi));
    const auto key = std::make_tuple(font.name, pixels, font.bold);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const std::wstring family = widen(drawnFamily(font));
    // Greyscale smoothing like the other platform's, without colour fringes.
    HFONT result = CreateFontW(-pixels, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, family.c_str());
    return cache.emplace(key, result).first->second;
}

} // namespace forms::win32
