#include "toolkit/qt/QtSkin.h"

#include <QFile>
#include <QFontDatabase>
#if KELVARA_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QScreen>
#include <QTextLayout>

#include <cmath>

namespace forms::qt {

namespace {

QString resourcePath(const Picture& picture, const char* extension) {
    return QStringLiteral(":/skin/") + QString::fromStdString(picture.name()) + QLatin1String(extension);
}

// The design names classic typefaces; these embedded ones are drawn in their place.
struct Substitute {
    const char* designName;
    QString family;
};
QList<Substitute>& substitutes() {
    static QList<Substitute> list;
    return list;
}

QString registerFont(const QString& path) {
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0) throw Error("Can't load font " + path.toStdString());
    return QFontDatabase::applicationFontFamilies(id).value(0);
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
        QPixmap loaded(path);
        if (loaded.isNull()) throw Error("File not found: " + picture.name());
        loaded.setDevicePixelRatio(twice ? 2.0 : 1.0);
        it = cache.insert(path, loaded);
    }
    return *it;
}

QIcon icon(const Picture& picture) {
    QIcon result(resourcePath(picture, ".ico"));
    if (result.isNull()) result = QIcon(pixmap(picture));
    return result;
}

QCursor cursor(const Picture& picture) {
    static QHash<QString, QCursor> cache;
    const QString path = resourcePath(picture, ".png");
    if (auto it = cache.find(path); it != cache.end()) return *it;
    const QImage image(path);
    if (image.isNull()) throw Error("File not found: " + picture.name());
    // Every window system takes 32 x 32 pointers; larger ones show artefacts on X11.
    const qreal ratio = qGuiApp->primaryScreen() ? qGuiApp->primaryScreen()->devicePixelRatio() : 1.0;
    const int box = static_cast<int>(std::lround(32 * ratio));
    const QImage scaled = image.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const qreal scale = static_cast<qreal>(scaled.width()) / image.width();
    QPixmap shape = QPixmap::fromImage(scaled);
    shape.setDevicePixelRatio(ratio);
    qreal hotX = image.text(QStringLiteral("HotSpotX")).toDouble() * scale / ratio;
    qreal hotY = image.text(QStringLiteral("HotSpotY")).toDouble() * scale / ratio;
    // Qt's X11 layer takes the hot spot in device pixels.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        hotX *= ratio;
        hotY *= ratio;
    }
    return *cache.insert(
        path, QCursor(shape, static_cast<int>(std::lround(hotX)), static_cast<int>(std::lround(hotY))));
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
    if (!substitutes().isEmpty()) return;
    const QString sans = registerFont(QStringLiteral(":/fonts/LiberationSans-Regular.ttf"));
    registerFont(QStringLiteral(":/fonts/LiberationSans-Bold.ttf"));
    const QString serif = registerFont(QStringLiteral(":/fonts/DejaVuSerif.ttf"));
    registerFont(QStringLiteral(":/fonts/DejaVuSerif-Bold.ttf"));
    substitutes() = {{"MS Sans Serif", sans}, {"Georgia", serif}};
}

QFont font(const Font& font) {
    QString family = QString::fromStdString(font.name);
    for (const Substitute& s : substitutes())
        if (family == QLatin1String(s.designName)) family = s.family;
    QFont result(family);
    // Sizes in points at 96 dpi, as the design was drawn; the screen's scaling applies on top.
    result.setPixelSize(static_cast<int>(std::lround(font.points * 96.0 / 72.0)));
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
    // Designs lay figures over runs of spaces measured in the classic face, whose spaces are wider than the
    // substitute's: each space of a run gets the difference, so the figure sits inside the run.
    QTextCharFormat wider;
    wider.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    wider.setFontLetterSpacing(0.1 * font.pixelSize());
    QList<QTextLayout::FormatRange> ranges;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u' ') continue;
        qsizetype end = i;
        while (end < text.size() && text[end] == u' ')
            ++end;
        if (end - i > 1) ranges.append({static_cast<int>(i), static_cast<int>(end - i), wider});
        i = end;
    }
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

int toPixels(Twips twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

QRect toPixelRect(Twips left, Twips top, Twips width, Twips height) {
    const int x = toPixels(left);
    const int y = toPixels(top);
    return QRect(x, y, std::max(0, toPixels(left + width) - x), std::max(0, toPixels(top + height) - y));
}

} // namespace forms::qt
