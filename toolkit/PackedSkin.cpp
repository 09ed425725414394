#include "toolkit/PackedSkin.h"

#include <algorithm>
#include <cstring>

namespace forms::packed {

namespace {

constexpr std::size_t kHeader = 8;

std::vector<Entry> entries(std::span<const std::byte> blob) {
    std::uint32_t count = 0;
    if (blob.size() < kHeader || std::memcmp(blob.data(), "KPX1", 4) != 0) return {};
    std::memcpy(&count, blob.data() + 4, sizeof count);
    if (kHeader + std::size_t{count} * sizeof(Entry) > blob.size()) return {};
    std::vector<Entry> result(count);
    std::memcpy(result.data(), blob.data() + kHeader, count * sizeof(Entry));
    return result;
}

std::string_view keyOf(std::span<const std::byte> blob, const Entry& entry) {
    if (std::size_t{entry.keyOffset} + entry.keyLength > blob.size()) return {};
    return {reinterpret_cast<const char*>(blob.data()) + entry.keyOffset, entry.keyLength};
}

void append(std::vector<std::byte>& out, const void* bytes, std::size_t size) {
    if (size == 0) return;
    const std::size_t at = out.size();
    out.resize(at + size);
    std::memcpy(out.data() + at, bytes, size);
}

void padTo16(std::vector<std::byte>& out) {
    while (out.size() % 16 != 0)
        out.push_back(std::byte{0});
}

} // namespace

std::string stretchedKey(const std::string& picture, int width, int height) {
    return picture + '@' + std::to_string(width) + 'x' + std::to_string(height);
}

std::string pointerKey(const std::string& picture, int box) {
    return picture + ":pointer" + std::to_string(box);
}

std::optional<Entry> find(std::span<const std::byte> blob, std::string_view key) {
    const std::vector<Entry> all = entries(blob);
    const auto it = std::lower_bound(all.begin(), all.end(), key,
                                     [&](const Entry& e, std::string_view k) { return keyOf(blob, e) < k; });
    if (it == all.end() || keyOf(blob, *it) != key) return std::nullopt;
    return *it;
}

std::vector<std::string> keys(std::span<const std::byte> blob) {
    std::vector<std::string> result;
    for (const Entry& entry : entries(blob))
        result.emplace_back(keyOf(blob, entry));
    return result;
}

std::vector<std::byte> pack(const std::map<std::string, Unpacked>& pictures) {
    const auto count = static_cast<std::uint32_t>(pictures.size());
    std::vector<Entry> index;
    std::vector<std::byte> keysPart;
    const std::size_t indexEnd = kHeader + count * sizeof(Entry);
    for (const auto& [key, picture] : pictures) {
        Entry entry = picture.entry;
        entry.keyOffset = static_cast<std::uint32_t>(indexEnd + keysPart.size());
        entry.keyLength = static_cast<std::uint32_t>(key.size());
        append(keysPart, key.data(), key.size());
        index.push_back(entry);
    }
    std::vector<std::byte> out;
    append(out, "KPX1", 4);
    append(out, &count, sizeof count);
    out.resize(indexEnd);
    append(out, keysPart.data(), keysPart.size());
    padTo16(out);
    std::size_t i = 0;
    for (const auto& [key, picture] : pictures) {
        index[i++].offset = static_cast<std::uint32_t>(out.size());
        append(out, picture.pixels.data(), picture.pixels.size());
        padTo16(out);
    }
    std::memcpy(out.data() + kHeader, index.data(), index.size() * sizeof(Entry));
    return out;
}

} // namespace forms::packed
