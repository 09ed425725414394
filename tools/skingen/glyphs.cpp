#include "art.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

QRgb mix(QRgb from, QRgb to, double t) {
    auto channel = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return qRgb(channel(qRed(from), qRed(to)), channel(qGreen(from), qGreen(to)),
                channel(qBlue(from), qBlue(to)));
}

} // namespace

QImage drawMinimiseGlyph(int scale) {
    QImage glyph(16 * scale, 16 * scale, QImage::Format_Indexed8);
    glyph.setColorTable({qRgba(255, 255, 255, 0), qRgb(0xEB, 0xF3, 0x15)});
    glyph.fill(0);
    for (int y = 7 * scale; y < 11 * scale; ++y)
        for (int x = 3 * scale; x < 13 * scale; ++x)
            glyph.setPixel(x, y, 1);
    return glyph;
}

QImage drawCloseGlyph(int scale) {
    // Two arms from corner to corner of the box, a little fuller in the middle like a brushed cross, and
    // trimmed flat where they leave the box.
    const QRectF box(3.0 * scale, 4.0 * scale, 11.0 * scale, 11.0 * scale);
    const qreal middleWidth = 3.3 * scale;
    const qreal endWidth = 2.2 * scale;
    const qreal overshoot = 2.0 * scale;
    auto arm = [&](QPointF from, QPointF to) {
        const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
        const QPointF across(-along.y(), along.x());
        const QPointF start = from - along * overshoot;
        const QPointF end = to + along * overshoot;
        const QPointF middle = (from + to) / 2.0;
        QPainterPath path(start + across * endWidth / 2.0);
        path.lineTo(middle + across * middleWidth / 2.0);
        path.lineTo(end + across * endWidth / 2.0);
        path.lineTo(end - across * endWidth / 2.0);
        path.lineTo(middle - across * middleWidth / 2.0);
        path.lineTo(start - across * endWidth / 2.0);
        path.closeSubpath();
        return path;
    };
    const int size = 16 * scale;
    QImage coverage(size, size, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(box);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPath(arm(box.topLeft(), box.bottomRight()).united(arm(box.bottomLeft(), box.topRight())));
    }

    // Lit from the top left: the body runs from a touch brighter than #F80000 through it to a deeper red.
    // The glyph sits on brown button faces, so partly covered pixels darken toward a deep red rather than
    // fading toward white, which would leave a pale fringe.
    auto body = [&box](int x, int y) {
        const double t = (0.56 * (x + 0.5 - box.left()) + 0.44 * (y + 0.5 - box.top())) / box.width();
        return t < 0.5 ? mix(qRgb(0xFF, 0x22, 0x10), qRgb(0xF8, 0x00, 0x00), t * 2.0)
                       : mix(qRgb(0xF8, 0x00, 0x00), qRgb(0xCC, 0x00, 0x00), t * 2.0 - 1.0);
    };
    constexpr QRgb rim = qRgb(0x8E, 0x12, 0x08);
    constexpr int floor = 40;
    QImage glyph(size, size, QImage::Format_ARGB32);
    glyph.fill(qRgba(255, 255, 255, 0));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int alpha = qAlpha(coverage.pixel(x, y));
            if (alpha >= floor)
                glyph.setPixel(x, y,
                               mix(rim, body(x, y), static_cast<double>(alpha - floor) / (255 - floor)));
        }
    }
    return quantise(glyph, 64);
}

} // namespace skingen
