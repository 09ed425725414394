// The packed pictures are the pixels the Qt layer would otherwise decode and scale from the PNGs at start-up.

#include "toolkit/qt/PackedPictures.h"
#include "windows/alert/FormAlert.h"
#include "windows/main/FormMain.h"

#include "toolkit/Metrics.h"

#include <QIcon>
#include <QPixmap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace packed = forms::qt::packed;

namespace {

QString skinPath(const std::string& name, const char* extension) {
    return QStringLiteral(":/skin/") + QString::fromStdString(name) + QLatin1String(extension);
}

void expectSamePixels(const QImage& packedImage, const QImage& expected, const std::string& key) {
    ASSERT_FALSE(expected.isNull()) << key;
    EXPECT_EQ(packedImage.format(), expected.format()) << key;
    ASSERT_EQ(packedImage.size(), expected.size()) << key;
    for (int y = 0; y < expected.height(); ++y)
        ASSERT_EQ(std::memcmp(packedImage.constScanLine(y), expected.constScanLine(y),
                              static_cast<std::size_t>(expected.bytesPerLine())),
                  0)
            << key << " row " << y;
}

TEST(PackedPictures, EachIsThePictureAsDecodedAndScaled) {
    const QRegularExpression stretchedKey(QStringLiteral("^(.+)@(\\d+)x(\\d+)$"));
    const QRegularExpression iconKey(QStringLiteral("^(.+):(x11-)?icon(\\d+)$"));
    const std::vector<std::string> keys = packed::keys();
    ASSERT_FALSE(keys.empty());
    for (const std::string& key : keys) {
        const QImage image = packed::find(key)->image;
        const QString k = QString::fromStdString(key);
        if (const auto m = stretchedKey.match(k); m.hasMatch()) {
            const QSize size(m.captured(2).toInt(), m.captured(3).toInt());
            const QPixmap source(skinPath(m.captured(1).toStdString(), ".png"));
            expectSamePixels(
                image, source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage(), key);
        } else if (const auto icon = iconKey.match(k); icon.hasMatch()) {
            const QIcon decoded(skinPath(icon.captured(1).toStdString(), ".ico"));
            const QList<QSize> sizes = decoded.availableSizes();
            const int index = icon.captured(3).toInt();
            ASSERT_LT(index, sizes.size()) << key;
            const QImage expected = decoded.pixmap(sizes[index]).toImage();
            // X11 takes the pixels unpremultiplied, as Qt would convert them.
            expectSamePixels(
                image,
                icon.captured(2).isEmpty() ? expected : expected.convertToFormat(QImage::Format_ARGB32), key);
        } else if (k.endsWith(QLatin1String(":pointer"))) {
            const QImage source(skinPath(k.chopped(8).toStdString(), ".png"));
            const QImage scaled = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                      .scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            expectSamePixels(image, QPixmap::fromImage(scaled).toImage(), key);
            const double scale = double(scaled.width()) / source.width();
            EXPECT_EQ(packed::find(key)->hotX,
                      std::lround(source.text(QStringLiteral("HotSpotX")).toDouble() * scale));
            EXPECT_EQ(packed::find(key)->hotY,
                      std::lround(source.text(QStringLiteral("HotSpotY")).toDouble() * scale));
        } else {
            expectSamePixels(image, QPixmap(skinPath(key, ".png")).toImage(), key);
        }
    }
}

// So that showing a window at 96 dpi decodes and scales nothing.
TEST(PackedPictures, HoldEveryPictureTheWindowsFirstShow) {
    FormMain formMain;
    FormAlert formAlert;
    for (const forms::Form* form :
         {static_cast<const forms::Form*>(&formMain), static_cast<const forms::Form*>(&formAlert)}) {
        if (!form->props().icon.empty()) {
            EXPECT_TRUE(packed::find(packed::iconKey(form->props().icon.name(), 0))) << form->name();
        }
        for (const forms::Control* control : form->controls()) {
            const forms::ControlProps& p = control->design();
            if (!p.mouseIcon.empty()) {
                EXPECT_TRUE(packed::find(packed::pointerKey(p.mouseIcon.name()))) << control->name();
            }
            if (!p.downPicture.empty()) {
                EXPECT_TRUE(packed::find(packed::naturalKey(p.downPicture.name()))) << control->name();
            }
            if (p.picture.empty()) continue;
            const forms::PixelRect r = forms::toPixelRect(p.left, p.top, p.width, p.height);
            const std::string key = p.stretch
                                        ? packed::stretchedKey(p.picture.name(), QSize(r.width, r.height))
                                        : packed::naturalKey(p.picture.name());
            EXPECT_TRUE(packed::find(key)) << control->name() << ": " << key;
        }
    }
}

} // namespace
