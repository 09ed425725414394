#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace skingen {

// xorshift64*: our own generator, so the artwork does not depend on a standard library's distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
        : state_(seed != 0 ? seed : 0x9E3779B97F4A7C15ULL) {}

    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1DULL;
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint64_t state_;
};

struct Field {
    Field(int w, int h)
        : width(w)
        , height(h)
        , values(static_cast<std::size_t>(w) * h, 0.0) {}

    double& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    double at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    void add(const Field& other, double weight);
    // Zero mean and unit deviation, so a recipe's weights are relative and the colour ramp sets the contrast.
    void normalise();

    int width;
    int height;
    std::vector<double> values;
};

// Paper grain: fine speckle, soft blotches and a scatter of light and dark fibres. cellScaleX stretches the
// structure horizontally (the title strip is a long band). At a scale of 2 the same paper is drawn on twice
// as many pixels each way (width and height stay in single-size pixels).
Field paperField(int width, int height, std::uint64_t seed, double cellScaleX = 1.0, int scale = 1);
// Box-averages a window of `field` down by an integer factor.
Field shrinkField(const Field& field, int left, int top, int width, int height, int factor);

struct Tone {
    QRgb dark;
    QRgb light;
    QRgb mean;
};

// Quantises a normalised field onto `shades` colours running from tone.dark to tone.light over +-spread
// deviations, then shifts the whole ramp so the opaque pixels average exactly tone.mean. Pixels for which
// `transparent` answers true use an extra leading entry: white with alpha 0.
QImage paperImage(const Field& field, int shades, double spread, const Tone& tone,
                  const std::function<bool(int, int)>& transparent = {});

// Reduces an ARGB picture to at most `colours` palette entries by median cut; fully transparent pixels map to
// a white, alpha-0 entry placed first.
QImage quantise(const QImage& argb, int colours);

QByteArray encodePng(const QImage& image);
// A Windows icon holding every image as a PNG payload.
QByteArray encodeIco(const QList<QImage>& images);

// Every picture below can be drawn at a scale of 1 (the design's pixels) or 2 (for screens of twice the
// density): the same look on twice as many pixels each way.
QImage drawEdge(int scale = 1);
QList<QImage> drawCorners(int scale = 1); // top-left, top-right, bottom-left, bottom-right
QImage drawTitleStrip(int scale = 1);
QImage drawLogo(int scale = 1);
QByteArray drawLogoIcon();
QImage drawWebIcon(int size, bool maskable);

enum class FaceState { Normal, Hover, Muted };
struct FaceLayout {
    QString word;
    int width;
    int height;
    int firstColumn;
    int lastColumn;
};
const std::vector<FaceLayout>& faceLayouts();
QImage drawFace(const FaceLayout& layout, FaceState state, const QString& fontDir, int scale = 1);

QImage drawMinimiseGlyph(int scale = 1);
QImage drawCloseGlyph(int scale = 1);
QImage drawHandPointer();
QImage drawBlankPointer();

} // namespace skingen
