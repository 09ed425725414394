#include "toolkit/qt/PackedPictures.h"

#include <QResource>

#include <algorithm>
#include <cstring>
#include <span>

namespace forms::qt::packed {

std::string naturalKey(const std::string& picture) {
    return picture;
}

std::string stretchedKey(const std::string& picture, QSize size) {
    return forms::packed::stretchedKey(picture, size.width(), size.height());
}

std::string pointerKey(const std::string& picture) {
    return picture + ":pointer";
}

std::string iconKey(const std::string& picture, int index) {
    return picture + ":icon" + std::to_string(index);
}

std::string x11IconKey(const std::string& picture, int index) {
    return picture + ":x11-icon" + std::to_string(index);
}

namespace {

struct Blob {
    const char* bytes = nullptr;
    std::size_t size = 0;
    std::span<const Entry> entries;
};

const Blob& blob() {
    static const Blob packed = [] {
        Blob result;
        const QResource resource(QStringLiteral(":/packed/skin-pixels"));
        // Stored uncompressed and aligned by the resource compiler; anything else falls back to the PNGs.
        if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression ||
            reinterpret_cast<std::uintptr_t>(resource.data()) % alignof(Entry) != 0 || resource.size() < 8)
            return result;
        result.bytes = reinterpret_cast<const char*>(resource.data());
        result.size = static_cast<std::size_t>(resource.size());
        std::uint32_t count = 0;
        std::memcpy(&count, result.bytes + 4, sizeof count);
        if (std::memcmp(result.bytes, "KPX1", 4) != 0 || 8 + std::size_t{count} * sizeof(Entry) > result.size)
            return Blob{};
        result.entries = {reinterpret_cast<const Entry*>(result.bytes + 8), count};
        return result;
    }();
    return packed;
}

std::string_view keyOf(const Blob& packed, const Entry& entry) {
    return {packed.bytes + entry.keyOffset, entry.keyLength};
}

} // namespace

std::optional<Found> find(std::string_view key) {
    const Blob& packed = blob();
    const auto it =
        std::lower_bound(packed.entries.begin(), packed.entries.end(), key,
                         [&](const Entry& e, std::string_view k) { return keyOf(packed, e) < k; });
    if (it == packed.entries.end() || keyOf(packed, *it) != key) return std::nullopt;
    const auto format = static_cast<QImage::Format>(it->format);
    const QImage image(reinterpret_cast<const uchar*>(packed.bytes + it->offset), static_cast<int>(it->width),
                       static_cast<int>(it->height), format);
    if (image.isNull() || it->offset + static_cast<std::size_t>(image.sizeInBytes()) > packed.size)
        return std::nullopt;
    return Found{image, it->hotX, it->hotY};
}

std::vector<QImage> iconSizes(const std::string& picture, bool unpremultiplied) {
    std::vector<QImage> sizes;
    for (int i = 0;; ++i) {
        const auto size = find(unpremultiplied ? x11IconKey(picture, i) : iconKey(picture, i));
        if (!size) return sizes;
        sizes.push_back(size->image);
    }
}

std::vector<std::string> keys() {
    std::vector<std::string> result;
    for (const Entry& entry : blob().entries)
        result.emplace_back(keyOf(blob(), entry));
    return result;
}

} // namespace forms::qt::packed
