#include "art.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace skingen {

namespace {

struct Swatch {
    std::array<int, 4> channels; // r, g, b, a, not premultiplied
    long count;
};

struct Box {
    std::vector<Swatch> swatches;

    long weight() const {
        long total = 0;
        for (const Swatch& s : swatches)
            total += s.count;
        return total;
    }
    // The channel with the widest spread and that spread.
    std::pair<int, int> widest() const {
        int best = 0;
        int bestSpread = -1;
        for (int c = 0; c < 4; ++c) {
            const auto [lo, hi] =
                std::minmax_element(swatches.begin(), swatches.end(), [c](const Swatch& a, const Swatch& b) {
                    return a.channels[c] < b.channels[c];
                });
            const int spread = hi->channels[c] - lo->channels[c];
            if (spread > bestSpread) {
                best = c;
                bestSpread = spread;
            }
        }
        return {best, bestSpread};
    }
    QRgb average() const {
        double sums[4] = {0, 0, 0, 0};
        const double total = static_cast<double>(weight());
        for (const Swatch& s : swatches)
            for (int c = 0; c < 4; ++c)
                sums[c] += static_cast<double>(s.channels[c]) * s.count;
        auto mean = [&](int c) { return std::clamp(static_cast<int>(sums[c] / total + 0.5), 0, 255); };
        return qRgba(mean(0), mean(1), mean(2), mean(3));
    }
};

} // namespace

QImage quantise(const QImage& source, int colours) {
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
    std::map<QRgb, long> histogram;
    bool anyTransparent = false;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                anyTransparent = true;
            else
                ++histogram[line[x]];
        }
    }
    const int budget = colours - (anyTransparent ? 1 : 0);

    std::vector<Box> boxes(1);
    for (const auto& [rgb, count] : histogram)
        boxes[0].swatches.push_back({{qRed(rgb), qGreen(rgb), qBlue(rgb), qAlpha(rgb)}, count});
    if (boxes[0].swatches.empty()) boxes.clear();

    // Median cut: keep splitting the box whose widest channel, weighted by its population, is largest.
    while (static_cast<int>(boxes.size()) < budget) {
        int chosen = -1;
        double chosenScore = 0.0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            if (boxes[static_cast<std::size_t>(i)].swatches.size() < 2) continue;
            const auto [channel, spread] = boxes[static_cast<std::size_t>(i)].widest();
            const double score = static_cast<double>(spread) *
                                 std::sqrt(static_cast<double>(boxes[static_cast<std::size_t>(i)].weight()));
            if (spread > 0 && score > chosenScore) {
                chosen = i;
                chosenScore = score;
            }
        }
        if (chosen < 0) break;
        Box& box = boxes[static_cast<std::size_t>(chosen)];
        const int channel = box.widest().first;
        std::stable_sort(box.swatches.begin(), box.swatches.end(),
                         [channel](const Swatch& a, const Swatch& b) {
                             return a.channels[channel] < b.channels[channel];
                         });
        const long half = box.weight() / 2;
        long running = 0;
        std::size_t cut = 1;
        for (; cut < box.swatches.size() - 1; ++cut) {
            running += box.swatches[cut - 1].count;
            if (running >= half) break;
        }
        Box upper;
        upper.swatches.assign(box.swatches.begin() + static_cast<std::ptrdiff_t>(cut), box.swatches.end());
        box.swatches.resize(cut);
        boxes.push_back(std::move(upper));
    }

    QList<QRgb> table;
    if (anyTransparent) table.append(qRgba(255, 255, 255, 0));
    std::map<QRgb, int> lookup;
    for (const Box& box : boxes) {
        const int index = static_cast<int>(table.size());
        table.append(box.average());
        for (const Swatch& s : box.swatches)
            lookup[qRgba(s.channels[0], s.channels[1], s.channels[2], s.channels[3])] = index;
    }
    if (table.size() > colours) throw std::logic_error("palette overflow");

    QImage indexed(argb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            out[x] = static_cast<uchar>(qAlpha(in[x]) == 0 ? 0 : lookup.at(in[x]));
    }
    for (const QString& key : source.textKeys())
        indexed.setText(key, source.text(key));
    return indexed;
}

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw std::runtime_error("PNG encoding failed: " + writer.errorString().toStdString());
    return bytes;
}

namespace {

void putLe(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray encodeIco(const QList<QImage>& images) {
    QList<QByteArray> payloads;
    for (const QImage& image : images)
        payloads.append(encodePng(image.convertToFormat(QImage::Format_ARGB32)));

    QByteArray out;
    putLe(out, 0, 2); // reserved
    putLe(out, 1, 2); // icon, not cursor
    putLe(out, static_cast<quint32>(images.size()), 2);
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        // A byte holds 0 to 255, so 256 is written as 0.
        putLe(out, static_cast<quint32>(image.width() % 256), 1);
        putLe(out, static_cast<quint32>(image.height() % 256), 1);
        putLe(out, 0, 1); // not a palette image
        putLe(out, 0, 1); // reserved
        putLe(out, 1, 2); // planes
        putLe(out, 32, 2);
        putLe(out, static_cast<quint32>(payloads[i].size()), 4);
        putLe(out, offset, 4);
        offset += static_cast<quint32>(payloads[i].size());
    }
    for (const QByteArray& payload : payloads)
        out.append(payload);
    return out;
}

} // namespace skingen
