#include "art.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace skingen {

namespace {

constexpr int canvasWidth = 301;
constexpr int canvasHeight = 375;
// Thick enough to stay about one pixel wide when the pointer is shrunk to a 32 px cursor.
constexpr qreal outlineWidth = 13.0;

constexpr qreal fingerLeft = 96.0;
constexpr qreal fingerRight = 150.0;
constexpr qreal fingerTop = 14.0;

QPainterPath capsule(QPointF from, QPointF to, qreal width) {
    QPainterPath spine(from);
    spine.lineTo(to);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(spine);
}

QPainterPath knuckle(qreal left, qreal right, qreal top, qreal bottom) {
    QPainterPath path;
    path.addRoundedRect(QRectF(left, top, right - left, bottom - top), (right - left) / 2.0,
                        (right - left) / 2.0);
    return path;
}

QPainterPath handShape() {
    QPainterPath hand = knuckle(fingerLeft, fingerRight, fingerTop, 250.0);
    hand = hand.united(knuckle(fingerRight - 6.0, 200.0, 132.0, 250.0));
    hand = hand.united(knuckle(194.0, 244.0, 148.0, 260.0));
    hand = hand.united(knuckle(238.0, 284.0, 170.0, 270.0));

    QPainterPath palm;
    palm.moveTo(fingerLeft, 190.0);
    palm.lineTo(284.0, 210.0);
    palm.lineTo(284.0, 262.0);
    palm.cubicTo(284.0, 300.0, 272.0, 318.0, 258.0, 332.0);
    palm.lineTo(258.0, 362.0);
    palm.lineTo(128.0, 362.0);
    palm.lineTo(128.0, 338.0);
    palm.cubicTo(110.0, 326.0, 96.0, 306.0, 92.0, 286.0);
    palm.closeSubpath();
    hand = hand.united(palm);

    // The thumb lies along the side, reaching out and up from the heel of the hand.
    hand = hand.united(capsule(QPointF(118.0, 286.0), QPointF(50.0, 214.0), 52.0));
    return hand.simplified();
}

} // namespace

QImage drawHandPointer() {
    QImage image(canvasWidth, canvasHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen outline(Qt::black, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(outline);
        painter.setBrush(Qt::white);
        painter.drawPath(handShape());

        // Creases between the curled fingers and where the thumb folds into the palm.
        QPen crease(Qt::black, outlineWidth * 0.8, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(crease);
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(fingerRight, 150.0), QPointF(fingerRight, 214.0));
        painter.drawLine(QPointF(197.0, 166.0), QPointF(197.0, 222.0));
        painter.drawLine(QPointF(241.0, 188.0), QPointF(241.0, 232.0));
        QPainterPath fold(QPointF(fingerLeft + 6.0, 244.0));
        fold.quadTo(QPointF(118.0, 270.0), QPointF(146.0, 276.0));
        painter.drawPath(fold);
    }
    QImage pointer = quantise(image, 256);
    // The active point: the middle of the fingertip's outer edge.
    pointer.setText(QStringLiteral("HotSpotX"),
                    QString::number(static_cast<int>((fingerLeft + fingerRight) / 2.0)));
    pointer.setText(QStringLiteral("HotSpotY"),
                    QString::number(static_cast<int>(fingerTop - outlineWidth / 2.0)));
    return pointer;
}

QImage drawBlankPointer() {
    QImage blank(217, 281, QImage::Format_Indexed8);
    blank.setColorTable({qRgba(255, 255, 255, 0)});
    blank.fill(0);
    return blank;
}

} // namespace skingen
