#include "art.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skingen {

void Field::add(const Field& other, double weight) {
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] += weight * other.values[i];
}

void Field::normalise() {
    double sum = 0.0;
    for (double v : values)
        sum += v;
    const double mean = sum / static_cast<double>(values.size());
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    const double deviation = std::sqrt(squares / static_cast<double>(values.size()));
    for (double& v : values)
        v = deviation > 0.0 ? (v - mean) / deviation : 0.0;
}

namespace {

// Catmull-Rom through four lattice values; unlike a smoothstep blend it leaves no flat spots at the lattice
// points, which would show as a faint grid.
double catmullRom(double p0, double p1, double p2, double p3, double t) {
    return p1 +
           0.5 * t * (p2 - p0 + t * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3 + t * (3.0 * (p1 - p2) + p3 - p0)));
}

// Value noise whose lattice wraps at the field's edges, so the edge texture tiles without seams.
Field valueNoise(int width, int height, double cellX, double cellY, Rng& rng) {
    const int nx = std::max(1, static_cast<int>(std::lround(width / cellX)));
    const int ny = std::max(1, static_cast<int>(std::lround(height / cellY)));
    std::vector<double> lattice(static_cast<std::size_t>(nx) * ny);
    for (double& v : lattice)
        v = rng.range(-1.0, 1.0);
    auto node = [&](int x, int y) {
        return lattice[static_cast<std::size_t>((y + ny) % ny) * nx + (x + nx) % nx];
    };

    Field field(width, height);
    for (int y = 0; y < height; ++y) {
        const double fy = (y + 0.5) * ny / height;
        const int iy = static_cast<int>(fy);
        const double ty = fy - iy;
        for (int x = 0; x < width; ++x) {
            const double fx = (x + 0.5) * nx / width;
            const int ix = static_cast<int>(fx);
            const double tx = fx - ix;
            double rows[4];
            for (int r = 0; r < 4; ++r) {
                const int ry = iy - 1 + r;
                rows[r] = catmullRom(node(ix - 1, ry), node(ix, ry), node(ix + 1, ry), node(ix + 2, ry), tx);
            }
            field.at(x, y) = catmullRom(rows[0], rows[1], rows[2], rows[3], ty);
        }
    }
    return field;
}

Field whiteNoise(int width, int height, Rng& rng) {
    Field field(width, height);
    for (double& v : field.values)
        v = rng.range(-1.0, 1.0);
    return field;
}

// Short, gently bent strokes of varying strength, as loose fibres in the pulp.
Field fibres(int width, int height, int count, double length, double slantX, double scale, Rng& rng) {
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < count; ++i) {
            const QPointF start(rng.range(-length, width), rng.range(-length, height));
            const double angle = rng.range(0.0, 2.0 * std::numbers::pi);
            const double reach = length * rng.range(0.35, 1.0);
            const QPointF direction(std::cos(angle) * slantX, std::sin(angle));
            const QPointF normal(-direction.y(), direction.x());
            const double bendA = rng.range(-0.18, 0.18) * reach;
            const double bendB = rng.range(-0.18, 0.18) * reach;
            QPainterPath path(start);
            path.cubicTo(start + direction * reach / 3.0 + normal * bendA,
                         start + direction * reach * 2.0 / 3.0 + normal * bendB, start + direction * reach);
            QPen pen(QColor(255, 255, 255, static_cast<int>(rng.range(50.0, 150.0))));
            pen.setWidthF(rng.range(0.5, 1.4) * scale);
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawPath(path);
        }
    }
    Field field(width, height);
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < width; ++x)
            field.at(x, y) = qAlpha(line[x]) / 255.0;
    }
    return field;
}

} // namespace

Field paperField(int width, int height, std::uint64_t seed, double cellScaleX, int scale) {
    Rng rng(seed);
    const int w = width * scale;
    const int h = height * scale;
    Field field(w, h);
    if (scale == 1) {
        field.add(whiteNoise(w, h, rng), 0.30);
    } else {
        // The finer speckle comes from a stream of its own; the shared stream skips what the single-size
        // speckle took, so every larger structure falls where it falls in the single-size paper.
        Rng speckle(seed ^ 0x2A2A2A2A2A2A2A2AULL);
        field.add(whiteNoise(w, h, speckle), 0.30);
        for (long i = 0; i < static_cast<long>(width) * height; ++i)
            rng.next();
    }
    // Cells measured in single-size pixels: the lattices, and so the structure, are the same at every scale.
    const double x = cellScaleX * scale;
    field.add(valueNoise(w, h, 1.7 * x, 1.7 * scale, rng), 0.40);
    field.add(valueNoise(w, h, 4.0 * x, 4.0 * scale, rng), 0.30);
    field.add(valueNoise(w, h, 11.0 * x, 11.0 * scale, rng), 0.20);
    field.add(valueNoise(w, h, 50.0 * x, 50.0 * scale, rng), 0.26);
    field.add(valueNoise(w, h, 125.0 * x, 125.0 * scale, rng), 0.20);
    const int fibreCount = std::max(4, width * height / 500);
    field.add(fibres(w, h, fibreCount, 40.0 * scale, cellScaleX, scale, rng), 0.85);
    field.add(fibres(w, h, fibreCount / 2, 28.0 * scale, cellScaleX, scale, rng), -0.6);
    field.normalise();
    return field;
}

Field shrinkField(const Field& field, int left, int top, int width, int height, int factor) {
    Field small(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0.0;
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                    sum += field.at(left + x * factor + dx, top + y * factor + dy);
            small.at(x, y) = sum / (factor * factor);
        }
    }
    return small;
}

QImage paperImage(const Field& field, int shades, double spread, const Tone& tone,
                  const std::function<bool(int, int)>& transparent) {
    bool anyTransparent = false;
    if (transparent) {
        for (int y = 0; y < field.height && !anyTransparent; ++y)
            for (int x = 0; x < field.width && !anyTransparent; ++x)
                anyTransparent = transparent(x, y);
    }
    const int first = anyTransparent ? 1 : 0;

    QImage image(field.width, field.height, QImage::Format_Indexed8);
    std::vector<long> histogram(static_cast<std::size_t>(shades), 0);
    for (int y = 0; y < field.height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < field.width; ++x) {
            if (anyTransparent && transparent(x, y)) {
                line[x] = 0;
                continue;
            }
            const double t = (field.at(x, y) / spread + 1.0) / 2.0;
            const int shade = std::clamp(static_cast<int>(std::floor(t * shades)), 0, shades - 1);
            ++histogram[static_cast<std::size_t>(shade)];
            line[x] = static_cast<uchar>(first + shade);
        }
    }

    // The ramp bends at the mean colour: darker shades lean brown, lighter ones toward cream.
    struct Channel {
        int dark, light, mean;
    };
    const Channel channels[3] = {{qRed(tone.dark), qRed(tone.light), qRed(tone.mean)},
                                 {qGreen(tone.dark), qGreen(tone.light), qGreen(tone.mean)},
                                 {qBlue(tone.dark), qBlue(tone.light), qBlue(tone.mean)}};
    std::vector<double> ramp(static_cast<std::size_t>(shades) * 3);
    for (int s = 0; s < shades; ++s) {
        const double t = -1.0 + (2.0 * s + 1.0) / shades;
        for (int c = 0; c < 3; ++c) {
            const Channel& ch = channels[c];
            ramp[static_cast<std::size_t>(s) * 3 + c] =
                t < 0.0 ? ch.mean + (-t) * (ch.dark - ch.mean) : ch.mean + t * (ch.light - ch.mean);
        }
    }
    double offset[3] = {0.0, 0.0, 0.0};
    long count = 0;
    for (int s = 0; s < shades; ++s) {
        count += histogram[static_cast<std::size_t>(s)];
        for (int c = 0; c < 3; ++c)
            offset[c] += histogram[static_cast<std::size_t>(s)] * ramp[static_cast<std::size_t>(s) * 3 + c];
    }
    for (int c = 0; c < 3; ++c)
        offset[c] = channels[c].mean - offset[c] / static_cast<double>(std::max(count, 1L));

    QList<QRgb> table;
    if (anyTransparent) table.append(qRgba(255, 255, 255, 0));
    for (int s = 0; s < shades; ++s) {
        int rgb[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = std::clamp(
                static_cast<int>(std::lround(ramp[static_cast<std::size_t>(s) * 3 + c] + offset[c])), 0, 255);
        table.append(qRgb(rgb[0], rgb[1], rgb[2]));
    }
    image.setColorTable(table);
    return image;
}

namespace {

constexpr Tone edgeTone{qRgb(150, 100, 64), qRgb(226, 176, 134), qRgb(0xC2, 0x8A, 0x5F)};

} // namespace

QImage drawEdge(int scale) {
    return paperImage(paperField(500, 500, 0x5EED0001, 1.0, scale), 128, 2.6, edgeTone);
}

QList<QImage> drawCorners(int scale) {
    const Field edge = paperField(500, 500, 0x5EED0001, 1.0, scale);
    QList<QImage> corners;
    for (int corner = 0; corner < 4; ++corner) {
        const bool right = corner % 2 == 1;
        const bool bottom = corner >= 2;
        // Each corner is a shrunk patch of the edge texture, as the edges themselves are shrunk in use.
        Field patch = shrinkField(edge, (60 + 97 * corner) * scale, (311 - 71 * corner) * scale, 10 * scale,
                                  10 * scale, 5);
        patch.normalise();
        // The rounded-off outer corner: 4, 2, 1 and 1 single-size pixels in the four rows nearest it.
        auto transparent = [right, bottom, scale](int x, int y) {
            const int row = (bottom ? 10 * scale - 1 - y : y) / scale;
            const int column = (right ? 10 * scale - 1 - x : x) / scale;
            static constexpr int cut[4] = {4, 2, 1, 1};
            return row < 4 && column < cut[row];
        };
        corners.append(paperImage(patch, 63, 2.4, edgeTone, transparent));
    }
    return corners;
}

QImage drawTitleStrip(int scale) {
    constexpr Tone tone{qRgb(180, 136, 100), qRgb(234, 198, 164), qRgb(0xD1, 0xA5, 0x7F)};
    constexpr int width = 902;
    constexpr int height = 33;
    // A rounded left end; the right end runs under the window's edge.
    auto transparent = [scale](int x, int y) {
        const int row = std::min(y, height * scale - 1 - y) / scale;
        const int column = x / scale;
        return (row == 0 && column < 2) || (row == 1 && column == 0);
    };
    return paperImage(paperField(width, height, 0x5EED0003, 2.5, scale), 255, 2.8, tone, transparent);
}

} // namespace skingen
