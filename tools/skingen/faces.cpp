#include "art.h"

#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace skingen {

namespace {

constexpr QRgb bevelLight = qRgb(0xF1, 0xEF, 0xE2);
constexpr QRgb bevelDark = qRgb(0x9D, 0x9D, 0xA1);
constexpr int capTop = 8;
constexpr int capBottom = 21;
// Anti-aliasing shades between the face and the letter colour; with the bevel pair, face and letter colour
// that makes the eight-colour palette.
constexpr int blendShades = 4;

struct FaceColours {
    QRgb face;
    QRgb letter;
};

FaceColours coloursFor(FaceState state) {
    switch (state) {
    case FaceState::Normal:
        return {qRgb(0x9A, 0x6B, 0x34), qRgb(0xFF, 0xFF, 0xFF)};
    case FaceState::Hover:
        return {qRgb(0x82, 0x51, 0x16), qRgb(0xFF, 0xFF, 0xFF)};
    case FaceState::Muted:
        return {qRgb(0x82, 0x51, 0x16), qRgb(0xC5, 0x84, 0x53)};
    }
    throw std::logic_error("unknown face state");
}

QRgb mix(QRgb from, QRgb to, double t) {
    auto channel = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return qRgb(channel(qRed(from), qRed(to)), channel(qGreen(from), qGreen(to)),
                channel(qBlue(from), qBlue(to)));
}

// The word's outlines laid into the letter box: cap height exactly on rows capTop..capBottom, ink exactly
// on the layout's columns, and each inner letter nudged to a whole pixel so its straight stems stay sharp.
QPainterPath letterPaths(const FaceLayout& layout, const QString& fontDir, int scale) {
    const QString file = fontDir + QStringLiteral("/LiberationSans-Bold.ttf");
    constexpr qreal design = 200.0;
    QRawFont font(file, design, QFont::PreferNoHinting);
    if (!font.isValid()) throw std::runtime_error("cannot load " + file.toStdString());

    const QList<quint32> glyphs = font.glyphIndexesForString(layout.word);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QList<QPainterPath> outlines;
    qreal pen = 0.0;
    qreal inkLeft = 1e9;
    qreal inkRight = -1e9;
    for (int i = 0; i < glyphs.size(); ++i) {
        QPainterPath outline = font.pathForGlyph(glyphs[i]).translated(pen, 0.0);
        const QRectF box = outline.boundingRect();
        inkLeft = std::min(inkLeft, box.left());
        inkRight = std::max(inkRight, box.right());
        outlines.append(outline);
        pen += advances[i].x();
    }

    const qreal capHeight = font.capHeight();
    const qreal scaleY = (capBottom + 1 - capTop) * scale / capHeight;
    const qreal scaleX = (layout.lastColumn + 1 - layout.firstColumn) * scale / (inkRight - inkLeft);
    const qreal firstColumn = layout.firstColumn * scale;
    QPainterPath word;
    for (int i = 0; i < outlines.size(); ++i) {
        const QRectF box = outlines[i].boundingRect();
        const qreal left = firstColumn + (box.left() - inkLeft) * scaleX;
        const bool inner = i > 0 && i < outlines.size() - 1;
        const qreal shift = inner ? std::round(left) - left : 0.0;
        QTransform placement;
        placement.translate(firstColumn + shift, capTop * scale);
        placement.scale(scaleX, scaleY);
        placement.translate(-inkLeft, capHeight);
        word.addPath(placement.map(outlines[i]));
    }
    return word;
}

} // namespace

const std::vector<FaceLayout>& faceLayouts() {
    static const std::vector<FaceLayout> layouts{
        {QStringLiteral("CALCULATE"), 151, 31, 21, 128},
        {QStringLiteral("BACK"), 79, 31, 15, 63},
        {QStringLiteral("EXIT"), 79, 31, 19, 60},
        {QStringLiteral("OK"), 79, 31, 27, 52},
    };
    return layouts;
}

QImage drawFace(const FaceLayout& layout, FaceState state, const QString& fontDir, int scale) {
    const int width = layout.width * scale;
    const int height = layout.height * scale;
    QImage coverage(width, height, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        // Round letters overshoot the cap height by a fraction of a pixel; the box keeps them to the rows.
        painter.setClipRect(layout.firstColumn * scale, capTop * scale,
                            (layout.lastColumn + 1 - layout.firstColumn) * scale,
                            (capBottom + 1 - capTop) * scale);
        painter.fillPath(letterPaths(layout, fontDir, scale), Qt::white);
    }

    const FaceColours colours = coloursFor(state);
    enum : uchar { Light, Dark, Face, Letter = Face + blendShades + 1 };
    QList<QRgb> table{bevelLight, bevelDark};
    for (int shade = 0; shade <= blendShades + 1; ++shade)
        table.append(mix(colours.face, colours.letter, static_cast<double>(shade) / (blendShades + 1)));

    QImage face(width, height, QImage::Format_Indexed8);
    face.setColorTable(table);
    // The bevel is one single-size pixel wide.
    const int right = width - scale;
    const int bottom = height - scale;
    for (int y = 0; y < height; ++y) {
        const QRgb* ink = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        uchar* out = face.scanLine(y);
        for (int x = 0; x < width; ++x) {
            // The light edge owns the top-right and bottom-left corners.
            if (y < scale || x < scale)
                out[x] = Light;
            else if (y >= bottom || x >= right)
                out[x] = Dark;
            else
                out[x] = static_cast<uchar>(Face + std::lround(qAlpha(ink[x]) / 255.0 * (Letter - Face)));
        }
    }
    return face;
}

} // namespace skingen
