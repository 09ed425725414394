#include "toolkit/win32/Win32Pictures.h"

#include "toolkit/PackedSkin.h"
#include "toolkit/win32/Win32OnDemand.h"
#include "toolkit/win32/Win32Resample.h"
#include "toolkit/win32/Win32Resources.h"

#include <wincodec.h>

#include <cmath>
#include <cstring>
#include <map>
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

} // namespace

Bitmap decodePng(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    // Only twice-size drawings and the sizes a window grows to are decoded: the codecs load then.
    const auto convert =
        systemFunction<decltype(&WICConvertBitmapSource)>(L"windowscodecs.dll", "WICConvertBitmapSource");
    Released<IWICImagingFactory> factory;
    if (!convert || FAILED(createComObject(CLSID_WICImagingFactory, IID_IWICImagingFactory,
                                           reinterpret_cast<void**>(&factory))))
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
        FAILED(convert(GUID_WICPixelFormat32bppPBGRA, frame.p, &converted)))
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

const Bitmap* packedPicture(const std::string& key, POINT* hotSpot) {
    static const std::span<const std::byte> blob = std::as_bytes(resourceBytes("skin-pixels"));
    static std::map<std::string, std::pair<Bitmap, POINT>> cache;
    auto it = cache.find(key);
    if (it == cache.end()) {
        const std::optional<packed::Entry> entry = packed::find(blob, key);
        const std::size_t count = entry ? std::size_t{entry->width} * entry->height : 0;
        if (!entry || entry->offset + count * 4 > blob.size()) return nullptr;
        Bitmap bitmap{static_cast<int>(entry->width), static_cast<int>(entry->height),
                      std::vector<std::uint32_t>(count)};
        std::memcpy(bitmap.pixels.data(), blob.data() + entry->offset, count * 4);
        it = cache.emplace(key, std::make_pair(std::move(bitmap), POINT{entry->hotX, entry->hotY})).first;
    }
    if (hotSpot) *hotSpot = it->second.second;
    return &it->second.first;
}

bool drawnTwiceSize(const Picture& picture, UINT dpi) {
    // The skin's name@2x.png, under a name the resource compiler takes.
    return dpi >= 144 && !resourceBytes(picture.name() + "-2x").empty();
}

const Bitmap& picture(const Picture& picture, UINT dpi) {
    static std::map<std::string, Bitmap> cache;
    // Read only when first shown on a dense screen, so a 96-dpi screen never decodes the larger drawings.
    const bool twice = drawnTwiceSize(picture, dpi);
    if (!twice) {
        if (const Bitmap* packed = packedPicture(picture.name())) return *packed;
    }
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

const Bitmap& stretchedPicture(const Picture& picture, UINT dpi, int width, int height) {
    if (!drawnTwiceSize(picture, dpi)) {
        if (const Bitmap* packed = packedPicture(packed::stretchedKey(picture.name(), width, height)))
            return *packed;
    }
    return win32::picture(picture, dpi);
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

} // namespace forms::win32
