#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <map>

namespace skintest {

inline QString skinDir() {
    return QStringLiteral(KELVARA_RESOURCES_DIR "/skin");
}
inline QString fontDir() {
    return QStringLiteral(KELVARA_RESOURCES_DIR "/fonts");
}

inline QImage loadSkin(const QString& name) {
    return QImage(skinDir() + QLatin1Char('/') + name);
}

inline bool isTransparent(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 0;
}

// How many pixels use each palette index.
inline std::map<int, long> indexUse(const QImage& image) {
    std::map<int, long> use;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++use[image.pixelIndex(x, y)];
    return use;
}

inline QString hex(QRgb rgb) {
    return QColor::fromRgba(rgb).name(QColor::HexArgb);
}

} // namespace skintest
