#include "skin_files.h"

#include <QFile>
#include <QImageReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using skintest::isTransparent;
using skintest::loadSkin;

bool isRed(QRgb pixel) {
    return qAlpha(pixel) == 255 && qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}
bool isBlack(QRgb pixel) {
    return qAlpha(pixel) == 255 && std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 70;
}

struct Extent {
    int top = 1 << 20;
    int bottom = -1;
    long count = 0;
};

Extent extentOf(const QImage& image, bool (*matches)(QRgb)) {
    Extent extent;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!matches(image.pixel(x, y))) continue;
            extent.top = std::min(extent.top, y);
            extent.bottom = std::max(extent.bottom, y);
            ++extent.count;
        }
    }
    return extent;
}

// The mark at any size: a red dot wholly above black bars, on a transparent ground.
void expectMark(const QImage& image, int margin) {
    const Extent red = extentOf(image, isRed);
    const Extent black = extentOf(image, isBlack);
    ASSERT_GT(red.count, 0);
    ASSERT_GT(black.count, 0);
    EXPECT_LT(red.bottom, black.top);
    EXPECT_GT(black.count, red.count);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool border =
                x < margin || y < margin || x >= image.width() - margin || y >= image.height() - margin;
            if (border) {
                EXPECT_TRUE(isTransparent(image, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(Logo, RedDotAboveBlackBarsWithClearMargins) {
    const QImage logo = loadSkin(QStringLiteral("logo.png"));
    ASSERT_EQ(logo.size(), QSize(246, 200));
    expectMark(logo, 4);
}

// Partly covered edge pixels carry the shape's own colour at partial alpha, never a blend toward white,
// so the mark shows no light halo on the title strip.
TEST(Logo, EdgesAreNotPale) {
    const QImage logo = loadSkin(QStringLiteral("logo.png"));
    ASSERT_FALSE(logo.isNull());
    long edges = 0;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x) {
            const QRgb pixel = logo.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            edges += qAlpha(pixel) < 255;
            EXPECT_LT(std::min(qGreen(pixel), qBlue(pixel)), 120) << x << "," << y;
        }
    }
    EXPECT_GT(edges, 0);
}

QByteArray iconBytes() {
    QFile file(skintest::skinDir() + QStringLiteral("/logo.ico"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 littleEndian(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[at + i]);
    return value;
}

TEST(Icon, DirectoryListsSevenPngImages) {
    const QByteArray ico = iconBytes();
    ASSERT_GE(ico.size(), 6);
    EXPECT_EQ(littleEndian(ico, 0, 2), 0u);
    EXPECT_EQ(littleEndian(ico, 2, 2), 1u) << "not an icon";
    ASSERT_EQ(littleEndian(ico, 4, 2), 7u);
    ASSERT_GE(ico.size(), 6 + 7 * 16);
    quint32 expectedOffset = 6 + 7 * 16;
    for (int i = 0; i < 7; ++i) {
        const int entry = 6 + 16 * i;
        EXPECT_EQ(littleEndian(ico, entry + 2, 1), 0u) << "entry " << i << " claims a palette";
        EXPECT_EQ(littleEndian(ico, entry + 6, 2), 32u) << "entry " << i;
        const quint32 size = littleEndian(ico, entry + 8, 4);
        const quint32 offset = littleEndian(ico, entry + 12, 4);
        EXPECT_EQ(offset, expectedOffset) << "entry " << i;
        ASSERT_LE(offset + size, static_cast<quint32>(ico.size())) << "entry " << i;
        EXPECT_TRUE(ico.mid(static_cast<int>(offset), 8) == QByteArray("\x89PNG\r\n\x1a\n", 8))
            << "entry " << i;
        expectedOffset = offset + size;
    }
    EXPECT_EQ(expectedOffset, static_cast<quint32>(ico.size())) << "trailing bytes";
}

class IconSize : public testing::TestWithParam<int> {};

TEST_P(IconSize, HoldsTheMarkAtThatSize) {
    const int size = GetParam();
    const QByteArray ico = iconBytes();
    ASSERT_GE(ico.size(), 6 + 7 * 16);
    int found = 0;
    for (int i = 0; i < 7; ++i) {
        const int entry = 6 + 16 * i;
        // 256 does not fit the directory's size byte and is written as 0.
        const int width = static_cast<int>(littleEndian(ico, entry, 1));
        const int height = static_cast<int>(littleEndian(ico, entry + 1, 1));
        if ((width == 0 ? 256 : width) != size) continue;
        ++found;
        EXPECT_EQ(height, size % 256);
        const QByteArray png = ico.mid(static_cast<int>(littleEndian(ico, entry + 12, 4)),
                                       static_cast<int>(littleEndian(ico, entry + 8, 4)));
        const QImage image = QImage::fromData(png, "PNG");
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_TRUE(image.hasAlphaChannel());
        // Small sizes have no room for a margin.
        expectMark(image.convertToFormat(QImage::Format_ARGB32), size >= 48 ? 1 : 0);
    }
    EXPECT_EQ(found, 1);
}

INSTANTIATE_TEST_SUITE_P(Skin, IconSize, testing::Values(16, 24, 32, 48, 64, 128, 256),
                         [](const testing::TestParamInfo<int>& info) {
                             return "px" + std::to_string(info.param);
                         });

TEST(Icon, QtReadsEverySize) {
    QImageReader reader(skintest::skinDir() + QStringLiteral("/logo.ico"), "ico");
    ASSERT_EQ(reader.imageCount(), 7);
    QList<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        EXPECT_EQ(image.width(), image.height());
        sizes.append(image.width());
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (QList<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST(HandPointer, HotSpotIsAtTheFingertip) {
    const QImage hand = loadSkin(QStringLiteral("hand-pointer.png"));
    ASSERT_EQ(hand.size(), QSize(301, 375));
    bool okX = false, okY = false;
    const int hotX = hand.text(QStringLiteral("HotSpotX")).toInt(&okX);
    const int hotY = hand.text(QStringLiteral("HotSpotY")).toInt(&okY);
    ASSERT_TRUE(okX && okY) << "HotSpotX/HotSpotY text missing";
    ASSERT_TRUE(hand.rect().contains(hotX, hotY));

    int topRow = -1;
    for (int y = 0; y < hand.height() && topRow < 0; ++y)
        for (int x = 0; x < hand.width() && topRow < 0; ++x)
            if (!isTransparent(hand, x, y)) topRow = y;
    ASSERT_GE(topRow, 0);
    EXPECT_LE(std::abs(hotY - topRow), 2);

    bool touches = false;
    for (auto [dx, dy] : {std::pair{0, 0}, {0, 1}, {1, 0}, {-1, 0}, {0, -1}})
        touches |= hand.rect().contains(hotX + dx, hotY + dy) && !isTransparent(hand, hotX + dx, hotY + dy);
    EXPECT_TRUE(touches);

    // The fingertip is the only thing that high up: a single opaque run on the top row, around the hot spot.
    int first = -1, last = -1, runs = 0;
    for (int x = 0; x < hand.width(); ++x) {
        const bool opaque = !isTransparent(hand, x, topRow);
        if (opaque && (x == 0 || isTransparent(hand, x - 1, topRow))) ++runs;
        if (opaque) {
            if (first < 0) first = x;
            last = x;
        }
    }
    EXPECT_EQ(runs, 1);
    EXPECT_LE(first, hotX);
    EXPECT_GE(last, hotX);
}

TEST(HandPointer, WhiteHandInABlackOutline) {
    const QImage hand = loadSkin(QStringLiteral("hand-pointer.png"));
    ASSERT_FALSE(hand.isNull());
    const int hotX = hand.text(QStringLiteral("HotSpotX")).toInt();
    // Straight down from the tip: transparent, then a thick dark outline, then the white finger.
    int y = 0;
    while (y < hand.height() && isTransparent(hand, hotX, y))
        ++y;
    const int outlineTop = y;
    while (y < hand.height() && qGray(hand.pixel(hotX, y)) < 60)
        ++y;
    EXPECT_GE(y - outlineTop, 8);
    while (y < hand.height() && qGray(hand.pixel(hotX, y)) < 250)
        ++y;
    ASSERT_LT(y, hand.height());
    EXPECT_EQ(hand.pixel(hotX, y), qRgb(255, 255, 255));

    long white = 0, black = 0;
    for (int py = 0; py < hand.height(); ++py) {
        for (int px = 0; px < hand.width(); ++px) {
            const QRgb pixel = hand.pixel(px, py);
            white += pixel == qRgb(255, 255, 255);
            black += pixel == qRgb(0, 0, 0);
            // Partly transparent pixels are outline edges: dark, so no light halo around the pointer.
            if (qAlpha(pixel) > 0 && qAlpha(pixel) < 255) {
                EXPECT_LT(qGray(pixel), 64) << px << "," << py;
            }
        }
    }
    EXPECT_GT(white, 20000);
    EXPECT_GT(black, 5000);
}

TEST(HandPointer, BlankImageIsWhollyTransparent) {
    const QImage blank = loadSkin(QStringLiteral("hand-pointer-blank.png"));
    ASSERT_EQ(blank.size(), QSize(217, 281));
    for (int y = 0; y < blank.height(); ++y)
        for (int x = 0; x < blank.width(); ++x)
            ASSERT_EQ(blank.pixel(x, y), qRgba(255, 255, 255, 0)) << x << "," << y;
}

} // namespace
