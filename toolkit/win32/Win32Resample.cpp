#include "toolkit/win32/Win32Resample.h"

#include <algorithm>
#include <cmath>

namespace forms::win32 {

namespace {

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

} // namespace

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

} // namespace forms::win32

namespace forms::win32 {

PointerFit fitPointer(int width, int height, double hotX, double hotY, int box) {
    PointerFit fit;
    const bool wide = width >= height;
    fit.width = wide ? box : std::max(1, width * box / height);
    fit.height = wide ? std::max(1, height * box / width) : box;
    const double scale = static_cast<double>(fit.width) / width;
    fit.hotX = static_cast<int>(std::lround(hotX * scale));
    fit.hotY = static_cast<int>(std::lround(hotY * scale));
    return fit;
}

std::uint32_t premultiplied(std::uint32_t straightArgb) {
    const std::uint32_t a = straightArgb >> 24;
    if (a == 255) return straightArgb;
    std::uint32_t result = a << 24;
    for (int c = 0; c < 3; ++c)
        result |= (((straightArgb >> (8 * c) & 0xFF) * a + 127) / 255) << (8 * c);
    return result;
}

} // namespace forms::win32
