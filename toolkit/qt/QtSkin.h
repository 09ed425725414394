#pragma once

#include "toolkit/Metrics.h"
#include "toolkit/Types.h"

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QTextLayout>

namespace forms::qt {

// Pictures, pointers and typefaces come from the resources embedded in the executable.
// The twice-size drawing where the device pixel ratio is 1.5 or more and the skin has one.
QPixmap pixmap(const Picture& picture, qreal devicePixelRatio = 1.0);
// A stretched picture at a size in logical pixels.
QPixmap stretched(const Picture& picture, QSize size, qreal devicePixelRatio);
QIcon icon(const Picture& picture);
QCursor cursor(const Picture& picture);
// A pointer, drawn far larger than it is shown, at the size it is shown, with its hot spot in device pixels.
struct PointerShape {
    QImage image;
    QPointF hotSpot;
};
PointerShape pointerShape(const QImage& drawing, qreal devicePixelRatio);
// Before the application object exists: the program draws only its embedded typefaces, so the desktop's
// font configuration and font list are neither read nor searched.
void useEmbeddedFontsOnly();
// Registers the embedded typefaces; needs the application object.
void loadFonts();
QFont font(const Font& font);
QColor color(Color value);
// A label's caption as it is laid out: lines broken at "\n", runs of spaces as wide as the design's face.
QString displayText(const std::string& caption);
QList<QTextLayout::FormatRange> spaceRunFormats(const QString& text, const QFont& font);
qreal singleLineWidth(const QString& text, const QFont& font);

QRect toQRect(const PixelRect& rect);

} // namespace forms::qt
