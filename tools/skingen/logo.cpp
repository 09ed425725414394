#include "art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skingen {

namespace {

// The mark in its own units: two italic bars with a red dot riding above them on the same slant.
constexpr qreal slant = 0.26;
const QRectF markBounds(44.0, 10.0, 142.0, 182.0);

QPainterPath bar(qreal left, qreal width, qreal top, qreal bottom) {
    const qreal lean = (bottom - top) * slant;
    QPainterPath path;
    path.moveTo(left, bottom);
    path.lineTo(left + width, bottom);
    path.lineTo(left + width + lean, top);
    path.lineTo(left + lean, top);
    path.closeSubpath();
    return path;
}

void paintMark(QPainter& painter) {
    QLinearGradient ink(0.0, 80.0, 0.0, 190.0);
    ink.setColorAt(0.0, QColor(0x3A, 0x36, 0x33));
    ink.setColorAt(1.0, QColor(0x04, 0x04, 0x04));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(bar(50.0, 44.0, 80.0, 190.0));
    painter.drawPath(bar(108.0, 44.0, 104.0, 190.0));

    painter.save();
    painter.translate(145.0, 42.0);
    painter.rotate(-std::atan(slant) * 180.0 / std::numbers::pi * 0.8);
    QRadialGradient gloss(QPointF(-14.0, -12.0), 52.0, QPointF(-16.0, -14.0));
    gloss.setColorAt(0.0, QColor(0xFF, 0x6A, 0x50));
    gloss.setColorAt(0.35, QColor(0xE8, 0x14, 0x10));
    gloss.setColorAt(1.0, QColor(0x9E, 0x00, 0x00));
    painter.setBrush(gloss);
    painter.drawEllipse(QPointF(0.0, 0.0), 38.0, 27.0);
    painter.restore();
}

// Draws the mark scaled uniformly and centred in `target`.
void paintMarkInto(QPainter& painter, const QRectF& target) {
    const qreal scale = std::min(target.width() / markBounds.width(), target.height() / markBounds.height());
    painter.save();
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-markBounds.center());
    paintMark(painter);
    painter.restore();
}

QImage renderMark(int width, int height, const QRectF& target) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintMarkInto(painter, target);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

QImage drawLogo(int scale) {
    constexpr int width = 246;
    constexpr int height = 200;
    // Margins on every side keep the mark clear of the title strip's edges where it is shown.
    const QRectF target = QRectF(8.0, 8.0, width - 16.0, height - 16.0);
    return quantise(
        renderMark(width * scale, height * scale, QRectF(target.topLeft() * scale, target.size() * scale)),
        256);
}

// The installed web page's icon: the mark on the window's paper colour. A maskable icon may be cut to any
// shape inside its middle four fifths, so its mark keeps to the middle half and the paper fills the square;
// the plain one is a rounded square with the mark filling most of it.
QImage drawWebIcon(int size, bool maskable) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor paper(0xEA, 0xD6, 0xC2);
    const QColor rim(0x9A, 0x6B, 0x34);
    if (maskable) {
        painter.fillRect(image.rect(), paper);
    } else {
        const qreal line = size / 32.0;
        painter.setPen(QPen(rim, line));
        painter.setBrush(paper);
        painter.drawRoundedRect(QRectF(line / 2, line / 2, size - line, size - line), size * 0.18,
                                size * 0.18);
    }
    const qreal margin = size * (maskable ? 0.25 : 0.14);
    paintMarkInto(painter, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    painter.end();
    return quantise(image.convertToFormat(QImage::Format_ARGB32), 256);
}

QByteArray drawLogoIcon() {
    QList<QImage> sizes;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const qreal margin = size <= 24 ? 0.5 : size * 0.04;
        sizes.append(renderMark(size, size, QRectF(margin, margin, size - 2 * margin, size - 2 * margin)));
    }
    return encodeIco(sizes);
}

} // namespace skingen
