// Copies the PNG images out of a Windows icon into a freedesktop icon theme tree:
//   ico-extract ICON THEME_DIR NAME SIZE...
// writes THEME_DIR/SIZExSIZE/apps/NAME.png for every SIZE, and fails unless each one is a PNG of that size.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t little(const Bytes& b, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

std::uint32_t big32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 |
           b[at + 3];
}

struct Image {
    std::size_t offset;
    std::size_t size;
};

int fail(const std::string& message) {
    std::cerr << "ico-extract: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) return fail("usage: ico-extract ICON THEME_DIR NAME SIZE...");
    std::ifstream in(argv[1], std::ios::binary);
    const Bytes ico{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (ico.size() < 6 || little(ico, 0, 2) != 0 || little(ico, 2, 2) != 1)
        return fail(std::string(argv[1]) + " is not an icon file");

    const std::size_t count = little(ico, 4, 2);
    if (ico.size() < 6 + 16 * count) return fail("icon directory is cut short");
    std::map<int, Image> bySize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        // A stored width of 0 means 256.
        const int width = ico[entry] == 0 ? 256 : ico[entry];
        bySize[width] = {little(ico, entry + 12, 4), little(ico, entry + 8, 4)};
    }

    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int i = 4; i < argc; ++i) {
        const int size = std::stoi(argv[i]);
        const auto found = bySize.find(size);
        if (found == bySize.end()) return fail("no " + std::to_string(size) + " px image in the icon");
        const auto [offset, length] = found->second;
        // The signature and the IHDR chunk, which holds width and height.
        if (length < 24 || offset + length > ico.size()) return fail("image data lies outside the icon");
        if (!std::equal(std::begin(kSignature), std::end(kSignature), ico.begin() + std::ptrdiff_t(offset)))
            return fail(std::to_string(size) + " px image is not a PNG");
        if (big32(ico, offset + 16) != std::uint32_t(size) || big32(ico, offset + 20) != std::uint32_t(size))
            return fail(std::to_string(size) + " px entry holds a PNG of another size");

        const std::string sizeDir = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path dir = std::filesystem::path(argv[2]) / sizeDir / "apps";
        std::filesystem::create_directories(dir);
        std::ofstream out(dir / (std::string(argv[3]) + ".png"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(ico.data() + offset), std::streamsize(length));
        if (!out) return fail("cannot write " + (dir / argv[3]).string() + ".png");
    }
    return 0;
}
