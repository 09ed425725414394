#include "toolkit/qt/QtSkin.h"

#include "toolkit/TextLayout.h"
#include "toolkit/qt/PackedPictures.h"

#include <QFile>
#include <QFontDatabase>
#if KELVARA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QResource>
#include <QScreen>
#include <QTextLayout>

#include <cmath>

namespace forms::qt {

namespace {

QString resourcePath(const Picture& picture, const char* extension) {
    return QStringLiteral(":/skin/") + QString::fromStdString(picture.name()) + QLatin1String(extension);
}

void registerFont(const char* file, const char* family) {
    const QString path = QStringLiteral(":/fonts/") + QLatin1String(file) + QLatin1String(".ttf");
    // The fonts are stored uncompressed, so the database and every font engine read the executable's own
    // bytes: no copy on the heap, and only the pages a face's tables and drawn glyphs are on are read in.
    const QResource resource(path);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        throw Error("Can't load font " + path.toStdString());
    const int id = QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
        reinterpret_cast<const char*>(resource.data()), static_cast<qsizetype>(resource.size())));
    // A family the file does not hold would fall back silently; refuse that instead.
    if (id < 0 || QFontDatabase::applicationFontFamilies(id).value(0) != QLatin1String(family))
        throw Error("Can't load font " + path.toStdString());
}

} // namespace

QPixmap pixmap(const Picture& picture, qreal devicePixelRatio) {
    static QHash<QString, QPixmap> cache;
    if (picture.empty()) return {};
    // From 1.5 up the twice-size drawing is nearer than the design's pixels; it is read only when first shown
    // on such a screen, so a single-density screen never loads it.
    const bool twice = devicePixelRatio >= 1.5 && QFile::exists(resourcePath(picture, "@2x.png"));
    const QString path = resourcePath(picture, twice ? "@2x.png" : ".png");
    auto it = cache.find(path);
    if (it == cache.end()) {
        const auto packed = twice ? std::nullopt : packed::find(packed::naturalKey(picture.name()));
        QPixmap loaded = packed ? QPixmap::fromImage(packed->image) : QPixmap(path);
        if (loaded.isNull()) throw Error("File not found: " + picture.name());
        loaded.setDevicePixelRatio(twice ? 2.0 : 1.0);
        it = cache.insert(path, loaded);
    }
    return *it;
}

QPixmap stretched(const Picture& picture, QSize size, qreal devicePixelRatio) {
    const QSize device = size * devicePixelRatio;
    QPixmap result;
    if (devicePixelRatio == 1.0)
        if (const auto packed = packed::find(packed::stretchedKey(picture.name(), device)))
            result = QPixmap::fromImage(packed->image);
    if (result.isNull() && devicePixelRatio < 1.5)
        // Scaled from the executable's bytes: the whole picture is never copied, as the edges are scaled anew
        // on every tick the window grows or shrinks.
        if (const auto packed = packed::find(packed::naturalKey(picture.name())))
            result = QPixmap::fromImage(
                packed->image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (result.isNull()) {
        const QPixmap source = pixmap(picture, devicePixelRatio);
        if (source.isNull()) return {};
        result = source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

QIcon icon(const Picture& picture) {
    QIcon result;
    for (const QImage& size : packed::iconSizes(picture.name(), false))
        result.addPixmap(QPixmap::fromImage(size));
    if (result.isNull()) result = QIcon(resourcePath(picture, ".ico"));
    if (result.isNull()) result = QIcon(pixmap(picture));
    return result;
}

QCursor cursor(const Picture& picture) {
    static QHash<QString, QCursor> cache;
    const QString path = resourcePath(picture, ".png");
    if (auto it = cache.find(path); it != cache.end()) return *it;
    const qreal ratio = qGuiApp->primaryScreen() ? qGuiApp->primaryScreen()->devicePixelRatio() : 1.0;
    if (ratio == 1.0)
        if (const auto packed = packed::find(packed::pointerKey(picture.name())))
            return *cache.insert(path,
                                 QCursor(QPixmap::fromImage(packed->image), packed->hotX, packed->hotY));
    const QImage drawing(path);
    if (drawing.isNull()) throw Error("File not found: " + picture.name());
    const PointerShape shape = pointerShape(drawing, ratio);
    QPixmap pixmap = QPixmap::fromImage(shape.image);
    pixmap.setDevicePixelRatio(ratio);
    // Qt's X11 layer takes the hot spot in device pixels, the others in logical ones.
    const QPointF hotSpot =
        QGuiApplication::platformName() == QLatin1String("xcb") ? shape.hotSpot : shape.hotSpot / ratio;
    return *cache.insert(path, QCursor(pixmap, static_cast<int>(std::lround(hotSpot.x())),
                                       static_cast<int>(std::lround(hotSpot.y()))));
}

PointerShape pointerShape(const QImage& drawing, qreal devicePixelRatio) {
    // Every window system takes 32 x 32 pointers; larger ones show artefacts on X11.
    const int box = static_cast<int>(std::lround(32 * devicePixelRatio));
    // Smooth scaling keeps a palette picture's palette and so samples the nearest pixel, with hard edges.
    const QImage scaled = drawing.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              .scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const qreal scale = static_cast<qreal>(scaled.width()) / drawing.width();
    return {scaled, QPointF(drawing.text(QStringLiteral("HotSpotX")).toDouble() * scale,
                            drawing.text(QStringLiteral("HotSpotY")).toDouble() * scale)};
}

void useEmbeddedFontsOnly() {
#if KELVARA_HAVE_FONTCONFIG
    // An empty configuration: no system fonts to list at start-up, and a look that no local font setting
    // changes. Text the embedded faces cannot draw (no program text needs it) shows as empty boxes.
    FcConfig* own = FcConfigCreate();
    FcConfigSetCurrent(own);
    FcConfigDestroy(own);
#endif
}

void loadFonts() {
    static bool loaded = false;
    if (loaded) return;
    // All at once: each face registered invalidates the font database and every font engine made so far.
    for (const EmbeddedFace& face : embeddedFaces()) {
        registerFont(face.regularFile, face.family);
        registerFont(face.boldFile, face.family);
    }
    loaded = true;
}

QFont font(const Font& font) {
    QFont result(QString::fromStdString(drawnFamily(font)));
    // Qt applies the screen's scaling on top.
    result.setPixelSize(fontPixels(font));
    result.setBold(font.bold);
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return result;
}

QString displayText(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QList<QTextLayout::FormatRange> spaceRunFormats(const QString& text, const QFont& font) {
    QTextCharFormat wider;
    wider.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    wider.setFontLetterSpacing(text::spaceRunWidening(font.pixelSize()));
    QList<QTextLayout::FormatRange> ranges;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    for (const text::Range& run : text::spaceRuns(units))
        ranges.append({static_cast<int>(run.start), static_cast<int>(run.length), wider});
    return ranges;
}

qreal singleLineWidth(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.setFormats(spaceRunFormats(text, font));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    return line.naturalTextWidth();
}

QColor color(Color value) {
    return QColor(redOf(value), greenOf(value), blueOf(value));
}

QRect toQRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

} // namespace forms::qt
