#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The skin's pictures as tools/skinpack packs them for a platform layer: raw pixels in the form that layer
// draws them, read in place from the executable, so that showing a window decodes and scales nothing.
// Layout: "KPX1", the entry count, the entries sorted by key, the keys, then each picture's rows at an
// offset that is a multiple of 16.
namespace forms::packed {

struct Entry {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t format; // the layer's own pixel format
    std::int32_t hotX;    // a pointer's hot spot
    std::int32_t hotY;
    std::uint32_t offset; // of the pixels
    std::uint32_t keyOffset;
    std::uint32_t keyLength;
};

// A picture at its own size is packed under its name; a stretched one under the size it is shown at.
std::string stretchedKey(const std::string& picture, int width, int height);
// A pointer fitted into a square box of that many pixels.
std::string pointerKey(const std::string& picture, int box);

// The entry of that key in a packed blob, or none; a blob that is not one has no entries. The blob may lie
// at any address.
std::optional<Entry> find(std::span<const std::byte> blob, std::string_view key);
std::vector<std::string> keys(std::span<const std::byte> blob);

struct Unpacked {
    Entry entry; // all but the offsets
    std::span<const std::byte> pixels;
};
std::vector<std::byte> pack(const std::map<std::string, Unpacked>& pictures);

} // namespace forms::packed
