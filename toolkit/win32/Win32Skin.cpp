#include "toolkit/win32/Win32Skin.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <span>
#include <string_view>
#include <tuple>

namespace forms::win32 {

namespace {

// A COM reference, released when it goes out of scope.
template <typename T> struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

std::span<const std::uint8_t> resourceBytes(const std::string& name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, widen(name).c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

Bitmap decodePng(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    // The toolkit may draw before any window exists; the codecs need COM on this thread either way.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    Released<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
        return {};
    Released<IWICStream> stream;
    Released<IWICBitmapDecoder> decoder;
    Released<IWICBitmapFrameDecode> frame;
    Released<IWICBitmapSource> converted;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size()))) ||
        FAILED(
            factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.p, &converted)))
        return {};
    UINT width = 0;
    UINT height = 0;
    converted->GetSize(&width, &height);
    Bitmap result{static_cast<int>(width), static_cast<int>(height), {}};
    result.pixels.resize(static_cast<std::size_t>(width) * height);
    if (FAILED(converted->CopyPixels(nullptr, width * 4, width * height * 4,
                                     reinterpret_cast<BYTE*>(result.pixels.data()))))
        return {};
    return result;
}

// A PNG text chunk's value, such as a pointer's hot spot.
std::string pngText(std::span<const std::uint8_t> bytes, const std::string& key) {
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::size_t length = static_cast<std::size_t>(bytes[at]) << 24 | bytes[at + 1] << 16 |
                                   bytes[at + 2] << 8 | bytes[at + 3];
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (at + 12 + length > bytes.size()) break;
        if (type == "tEXt") {
            const std::string body(reinterpret_cast<const char*>(&bytes[at + 8]), length);
            const std::size_t split = body.find('\0');
            if (split != std::string::npos && body.substr(0, split) == key) return body.substr(split + 1);
        }
        at += 12 + length;
    }
    return {};
}

// Resampling with a triangle filter widened by the reduction, so that shrinking averages instead of
// skipping pixels. Works on premultiplied pixels, which keeps transparent edges free of dark fringes.
std::vector<float> resampleAxis(const std::vector<float>& in, int inW, int inH, int outW, bool horizontal) {
    const int inLength = horizontal ? inW : inH;
    const int lines = horizontal ? inH : inW;
    const double scale = static_cast<double>(inLength) / outW;
    const double support = std::max(1.0, scale);
    std::vector<float> out(static_cast<std::size_t>(outW) * lines * 4, 0.0f);
    for (int o = 0; o < outW; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        const int first = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int last = std::min(inLength - 1, static_cast<int>(std::ceil(centre + support)));
        std::vector<std::pair<int, double>> weights;
        double total = 0;
        for (int i = first; i <= last; ++i) {
            const double w = std::max(0.0, 1.0 - std::abs(i - centre) / support);
            if (w <= 0) continue;
            weights.emplace_back(i, w);
            total += w;
        }
        if (weights.empty()) {
            weights.emplace_back(std::clamp(static_cast<int>(std::lround(centre)), 0, inLength - 1), 1.0);
            total = 1;
        }
        for (int line = 0; line < lines; ++line) {
            float sum[4] = {0, 0, 0, 0};
            for (const auto& [i, w] : weights) {
                const std::size_t src = horizontal ? (static_cast<std::size_t>(line) * inW + i) * 4
                                                   : (static_cast<std::size_t>(i) * inW + line) * 4;
                for (int c = 0; c < 4; ++c)
                    sum[c] += static_cast<float>(in[src + c] * w / total);
            }
            const std::size_t dst = horizontal ? (static_cast<std::size_t>(line) * outW + o) * 4
                                               : (static_cast<std::size_t>(o) * inW + line) * 4;
            std::copy(sum, sum + 4, out.begin() + static_cast<std::ptrdiff_t>(dst));
        }
    }
    return out;
}

Bitmap scaled(const Bitmap& source, int width, int height) {
    std::vector<float> channels(source.pixels.size() * 4);
    for (std::size_t i = 0; i < source.pixels.size(); ++i)
        for (int c = 0; c < 4; ++c)
            channels[i * 4 + c] = static_cast<float>(source.pixels[i] >> (8 * c) & 0xFF);
    const std::vector<float> wide = resampleAxis(channels, source.width, source.height, width, true);
    const std::vector<float> done = resampleAxis(wide, width, source.height, height, false);
    Bitmap result{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < result.pixels.size(); ++i) {
        std::uint32_t pixel = 0;
        for (int c = 0; c < 4; ++c)
            pixel |= static_cast<std::uint32_t>(std::clamp(std::lround(done[i * 4 + c]), 0L, 255L))
                     << (8 * c);
        result.pixels[i] = pixel;
    }
    return result;
}

HBITMAP dibSection(const Bitmap& bitmap, bool premultiplied) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmap.width;
    info.bmiHeader.biHeight = -bitmap.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP result = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!result) return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
        std::uint32_t p = bitmap.pixels[i];
        const std::uint32_t a = p >> 24;
        // Icons and pointers take straight alpha.
        if (!premultiplied && a != 0 && a != 255) {
            std::uint32_t straight = a << 24;
            for (int c = 0; c < 3; ++c)
                straight |= std::min<std::uint32_t>(255, ((p >> (8 * c) & 0xFF) * 255 + a / 2) / a)
                            << (8 * c);
            p = straight;
        }
        out[i] = p;
    }
    return result;
}

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

// The design names classic typefaces; these embedded ones are drawn in their place.
struct Substitute {
    const char* designName;
    const wchar_t* family;
};
constexpr Substitute kSubstitutes[] = {{"MS Sans Serif", L"Liberation Sans"}, {"Georgia", L"DejaVu Serif"}};

// Per paragraph: each character's advance, the spaces of every run of two or more widened by a tenth of the
// face's size, as the design's classic face spaced them.
std::vector<double> advances(HDC dc, const std::wstring& text, int pixelSize) {
    std::vector<double> result(text.size(), 0.0);
    if (text.empty()) return result;
    std::vector<int> extents(text.size());
    SIZE size{};
    GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr, extents.data(), &size);
    int previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        result[i] = extents[i] - previous;
        previous = extents[i];
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L' ') continue;
        std::size_t end = i;
        while (end < text.size() && text[end] == L' ')
            ++end;
        if (end - i > 1)
            for (std::size_t k = i; k < end; ++k)
                result[k] += 0.1 * pixelSize;
        i = end;
    }
    return result;
}

std::wstring displayText(const std::string& caption) {
    std::wstring text = widen(caption);
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) result += text[i];
    return result;
}

} // namespace

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
    return result;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string result(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr,
                        nullptr);
    return result;
}

const Bitmap& picture(const Picture& picture, UINT dpi) {
    static std::map<std::string, Bitmap> cache;
    // Read only when first shown on a dense screen, so a 96-dpi screen never decodes the larger drawings.
    // The skin's name@2x.png, under a name the resource compiler takes.
    const bool twice = dpi >= 144 && !resourceBytes(picture.name() + "-2x").empty();
    const std::string name = twice ? picture.name() + "-2x" : picture.name();
    auto it = cache.find(name);
    if (it == cache.end()) {
        Bitmap loaded = decodePng(resourceBytes(name));
        if (loaded.pixels.empty()) throw Error("File not found: " + picture.name());
        loaded.scale = twice ? 2 : 1;
        it = cache.emplace(name, std::move(loaded)).first;
    }
    return it->second;
}

HCURSOR cursor(const Picture& shape, UINT dpi) {
    static std::map<std::pair<std::string, UINT>, HCURSOR> cache;
    const auto key = std::make_pair(shape.name(), dpi);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const Bitmap& image = picture(shape);
    // Pointers are drawn at the system's pointer size; the picture keeps its proportions inside it.
    const int box = systemMetric(SM_CXCURSOR, dpi);
    const bool wide = image.width >= image.height;
    const int width = wide ? box : std::max(1, image.width * box / image.height);
    const int height = wide ? std::max(1, image.height * box / image.width) : box;
    const double scale = static_cast<double>(width) / image.width;
    const std::span<const std::uint8_t> bytes = resourceBytes(shape.name());
    const int hotX = static_cast<int>(std::lround(std::atof(pngText(bytes, "HotSpotX").c_str()) * scale));
    const int hotY = static_cast<int>(std::lround(std::atof(pngText(bytes, "HotSpotY").c_str()) * scale));
    HCURSOR result = iconFrom(scaled(image, width, height), box, false, hotX, hotY);
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

void loadFonts() {
    static bool loaded = false;
    if (loaded) return;
    for (const char* name :
         {"LiberationSans-Regular", "LiberationSans-Bold", "DejaVuSerif", "DejaVuSerif-Bold"}) {
        const std::span<const std::uint8_t> bytes = resourceBytes(name);
        DWORD count = 0;
        if (bytes.empty() || !AddFontMemResourceEx(const_cast<std::uint8_t*>(bytes.data()),
                                                   static_cast<DWORD>(bytes.size()), nullptr, &count))
            throw Error(std::string("Can't load font ") + name);
    }
    // A face the system does not know falls back silently; refuse that instead.
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Substitute& s : kSubstitutes) {
        HFONT probe =
            CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                        CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, s.family);
        HGDIOBJ old = SelectObject(dc, probe);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        SelectObject(dc, old);
        DeleteObject(probe);
        if (std::wstring(face) != s.family) {
            DeleteDC(dc);
            throw Error("Can't load font " + narrow(s.family));
        }
    }
    DeleteDC(dc);
    loaded = true;
}

int fontPixels(const Font& font, UINT dpi) {
    // Sizes in points at 96 dpi, as the design was drawn; the screen's scaling applies on top.
    const long designPixels = std::lround(font.points * 96.0 / 72.0);
    return static_cast<int>(std::lround(static_cast<double>(designPixels) * dpi / 96.0));
}

HFONT font(const Font& font, UINT dpi) {
    static std::map<std::tuple<std::string, int, bool>, HFONT> cache;
    const int pixels = fontPixels(font, dpi);
    const auto key = std::make_tuple(font.name, pixels, font.bold);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    std::wstring family = widen(font.name);
    for (const Substitute& s : kSubstitutes)
        if (font.name == s.designName) family = s.family;
    // Greyscale smoothing like the other platform's, without colour fringes.
    HFONT result = CreateFontW(-pixels, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, family.c_str());
    return cache.emplace(key, result).first->second;
}

void drawPicture(HDC dc, const Bitmap& bitmap, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || bitmap.pixels.empty()) return;
    // Stretched edges change size a step at a time while a window grows; keep the recent sizes.
    static std::map<std::tuple<const Bitmap*, int, int>, HBITMAP> cache;
    const auto key = std::make_tuple(&bitmap, width, height);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 96) {
            for (auto& entry : cache)
                DeleteObject(entry.second);
            cache.clear();
        }
        const bool same = width == bitmap.width && height == bitmap.height;
        it = cache.emplace(key, dibSection(same ? bitmap : scaled(bitmap, width, height), true)).first;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, it->second);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, x, y, width, height, source, 0, 0, width, height, blend);
    SelectObject(source, old);
    DeleteDC(source);
}

int naturalPixels(int pixels, UINT dpi, int scale) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / (96.0 * scale)));
}

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// Per-window values exist from Windows 10 1607 on; before that the system's value holds for every window.
template <typename F> F user32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT windowDpi(HWND window) {
    static const auto getDpiForWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

int systemMetric(int index, UINT dpi) {
    static const auto forDpi = user32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    const int value = forDpi ? forDpi(index, dpi) : 0;
    return value > 0 ? value : GetSystemMetrics(index);
}

int toPixels(Twips twips, UINT dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel * dpi / 96.0));
}

Twips toTwips(double pixels, UINT dpi) {
    return static_cast<Twips>(pixels * kTwipsPerPixel * 96.0 / dpi);
}

RECT toPixelRect(Twips left, Twips top, Twips width, Twips height, UINT dpi) {
    const int x = toPixels(left, dpi);
    const int y = toPixels(top, dpi);
    return RECT{x, y, std::max(x, toPixels(left + width, dpi)), std::max(y, toPixels(top + height, dpi))};
}

namespace {

// Calls line with each line of the caption as laid out at maxWidth, top to bottom, until it returns false.
template <typename LineVisitor>
void wrapLabelText(HDC dc, int maxWidth, const std::string& caption, int pixelSize, LineVisitor line) {
    const std::wstring text = displayText(caption);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring paragraph = text.substr(start, end - start);
        const std::vector<double> advance = advances(dc, paragraph, pixelSize);
        // Greedy word wrap: a word that would cross the right edge starts a new line unless it is the line's
        // first; trailing spaces hang past the edge.
        std::size_t lineStart = 0;
        do {
            std::size_t at = lineStart;
            std::size_t lineEnd = lineStart;
            double width = 0;
            while (at < paragraph.size()) {
                std::size_t wordEnd = at;
                double word = 0;
                while (wordEnd < paragraph.size() && paragraph[wordEnd] != L' ')
                    word += advance[wordEnd++];
                if (lineEnd > lineStart && width + word > maxWidth) break;
                std::size_t spaceEnd = wordEnd;
                double spaces = 0;
                while (spaceEnd < paragraph.size() && paragraph[spaceEnd] == L' ')
                    spaces += advance[spaceEnd++];
                width += word + spaces;
                lineEnd = at = spaceEnd;
            }
            if (!line(std::wstring_view(paragraph).substr(lineStart, lineEnd - lineStart),
                      std::span<const double>(advance).subspan(lineStart, lineEnd - lineStart)))
                return;
            lineStart = lineEnd;
        } while (lineStart < paragraph.size());
        start = end + 1;
    }
}

} // namespace

void drawLabelText(HDC dc, const RECT& area, const std::string& caption, HFONT face, int pixelSize) {
    HGDIOBJ old = SelectObject(dc, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int maxHeight = area.bottom - area.top;
    int y = 0;
    wrapLabelText(dc, area.right - area.left, caption, pixelSize,
                  [&](std::wstring_view text, std::span<const double> advance) {
                      if (y > maxHeight) return false;
                      std::vector<INT> dx;
                      double x = 0;
                      for (double step : advance) {
                          const double next = x + step;
                          dx.push_back(static_cast<INT>(std::lround(next) - std::lround(x)));
                          x = next;
                      }
                      if (!text.empty())
                          ExtTextOutW(dc, area.left, area.top + y, ETO_CLIPPED, &area, text.data(),
                                      static_cast<UINT>(text.size()), dx.data());
                      y += metrics.tmHeight;
                      return true;
                  });
    SelectObject(dc, old);
}

int labelLineCount(HDC dc, int width, const std::string& caption, int pixelSize) {
    int lines = 0;
    wrapLabelText(dc, width, caption, pixelSize, [&lines](std::wstring_view, std::span<const double>) {
        ++lines;
        return true;
    });
    return lines;
}

double singleLineWidth(HDC dc, const std::string& text, int pixelSize) {
    double width = 0;
    for (double advance : advances(dc, displayText(text), pixelSize))
        width += advance;
    return width;
}

} // namespace forms::win32
