#include "skin_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using skintest::hex;
using skintest::indexUse;
using skintest::isTransparent;
using skintest::loadSkin;

std::string rowName(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

struct PaletteRow {
    const char* file;
    int width;
    int height;
    int paletteSize;
    int minimumUsed;
    bool mayBeTransparent;
};

void PrintTo(const PaletteRow& row, std::ostream* out) {
    *out << row.file;
}

class Palette : public testing::TestWithParam<PaletteRow> {};

TEST_P(Palette, SizeAndColoursAreAsDrawn) {
    const PaletteRow& row = GetParam();
    const QImage image = loadSkin(QString::fromLatin1(row.file));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(row.width, row.height));
    ASSERT_EQ(image.format(), QImage::Format_Indexed8) << "not a palette image";
    EXPECT_EQ(image.colorCount(), row.paletteSize);

    const auto use = indexUse(image);
    EXPECT_GE(static_cast<int>(use.size()), row.minimumUsed);
    const QList<QRgb> table = image.colorTable();
    for (const auto& [index, count] : use) {
        ASSERT_LT(index, table.size());
        const QRgb colour = table[index];
        if (!row.mayBeTransparent) {
            EXPECT_EQ(qAlpha(colour), 255) << "entry " << index << " is " << hex(colour).toStdString();
        } else if (qAlpha(colour) == 0) {
            EXPECT_EQ(colour, qRgba(255, 255, 255, 0)) << "transparent entry " << index << " is not white";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Skin, Palette,
                         testing::Values(PaletteRow{"edge.png", 500, 500, 128, 128, false},
                                         PaletteRow{"corner-top-left.png", 10, 10, 64, 30, true},
                                         PaletteRow{"corner-top-right.png", 10, 10, 64, 30, true},
                                         PaletteRow{"corner-bottom-left.png", 10, 10, 64, 30, true},
                                         PaletteRow{"corner-bottom-right.png", 10, 10, 64, 30, true},
                                         PaletteRow{"title-strip.png", 902, 33, 256, 256, true},
                                         PaletteRow{"logo.png", 246, 200, 256, 256, true},
                                         PaletteRow{"face-calculate-normal.png", 151, 31, 8, 8, false},
                                         PaletteRow{"face-calculate-hover.png", 151, 31, 8, 8, false},
                                         PaletteRow{"face-calculate-muted.png", 151, 31, 8, 8, false},
                                         PaletteRow{"face-back-normal.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-back-hover.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-back-muted.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-exit-normal.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-exit-hover.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-exit-muted.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-ok-normal.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-ok-hover.png", 79, 31, 8, 8, false},
                                         PaletteRow{"face-ok-muted.png", 79, 31, 8, 8, false},
                                         PaletteRow{"glyph-minimise.png", 16, 16, 2, 2, true},
                                         PaletteRow{"glyph-close.png", 16, 16, 64, 40, true},
                                         PaletteRow{"hand-pointer.png", 301, 375, 256, 200, true},
                                         PaletteRow{"hand-pointer-blank.png", 217, 281, 1, 1, true}),
                         [](const testing::TestParamInfo<PaletteRow>& info) {
                             return rowName(info.param.file);
                         });

struct CornerRow {
    const char* file;
    std::vector<std::pair<int, int>> transparent; // (x, y)
};

void PrintTo(const CornerRow& row, std::ostream* out) {
    *out << row.file;
}

class CornerRounding : public testing::TestWithParam<CornerRow> {};

TEST_P(CornerRounding, ExactlyTheRoundedOffPixelsAreTransparent) {
    const CornerRow& row = GetParam();
    const QImage image = loadSkin(QString::fromLatin1(row.file));
    ASSERT_EQ(image.size(), QSize(10, 10));
    const std::set<std::pair<int, int>> expected(row.transparent.begin(), row.transparent.end());
    ASSERT_EQ(expected.size(), 8u);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(isTransparent(image, x, y), expected.count({x, y}) == 1) << "pixel " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Skin, CornerRounding,
    testing::Values(
        CornerRow{"corner-top-left.png", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {0, 2}, {0, 3}}},
        CornerRow{"corner-top-right.png", {{9, 0}, {8, 0}, {7, 0}, {6, 0}, {9, 1}, {8, 1}, {9, 2}, {9, 3}}},
        CornerRow{"corner-bottom-left.png", {{0, 9}, {1, 9}, {2, 9}, {3, 9}, {0, 8}, {1, 8}, {0, 7}, {0, 6}}},
        CornerRow{"corner-bottom-right.png",
                  {{9, 9}, {8, 9}, {7, 9}, {6, 9}, {9, 8}, {8, 8}, {9, 7}, {9, 6}}}),
    [](const testing::TestParamInfo<CornerRow>& info) { return rowName(info.param.file); });

TEST(TitleStrip, TransparencyOnlyRoundsTheLeftEnd) {
    const QImage image = loadSkin(QStringLiteral("title-strip.png"));
    ASSERT_FALSE(image.isNull());
    int leftEnd = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isTransparent(image, x, y)) continue;
            EXPECT_LT(x, 2) << "transparent pixel at " << x << "," << y;
            ++leftEnd;
        }
    }
    EXPECT_GT(leftEnd, 0);
    // Both ends of the left edge are rounded; the middle of it is solid.
    EXPECT_TRUE(isTransparent(image, 0, 0));
    EXPECT_TRUE(isTransparent(image, 0, image.height() - 1));
    EXPECT_FALSE(isTransparent(image, 0, image.height() / 2));
}

struct MeanRow {
    const char* file;
    QRgb mean;
};

void PrintTo(const MeanRow& row, std::ostream* out) {
    *out << row.file;
}

class PaperColour : public testing::TestWithParam<MeanRow> {};

TEST_P(PaperColour, OpaquePixelsAverageTheTan) {
    const QImage image = loadSkin(QString::fromLatin1(GetParam().file));
    ASSERT_FALSE(image.isNull());
    double sum[3] = {0, 0, 0};
    long count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            sum[0] += qRed(pixel);
            sum[1] += qGreen(pixel);
            sum[2] += qBlue(pixel);
            ++count;
        }
    }
    ASSERT_GT(count, 0);
    const QRgb want = GetParam().mean;
    EXPECT_NEAR(sum[0] / count, qRed(want), 4.0);
    EXPECT_NEAR(sum[1] / count, qGreen(want), 4.0);
    EXPECT_NEAR(sum[2] / count, qBlue(want), 4.0);
}

INSTANTIATE_TEST_SUITE_P(Skin, PaperColour,
                         testing::Values(MeanRow{"edge.png", qRgb(0xC2, 0x8A, 0x5F)},
                                         MeanRow{"corner-top-left.png", qRgb(0xC2, 0x8A, 0x5F)},
                                         MeanRow{"corner-top-right.png", qRgb(0xC2, 0x8A, 0x5F)},
                                         MeanRow{"corner-bottom-left.png", qRgb(0xC2, 0x8A, 0x5F)},
                                         MeanRow{"corner-bottom-right.png", qRgb(0xC2, 0x8A, 0x5F)},
                                         MeanRow{"title-strip.png", qRgb(0xD1, 0xA5, 0x7F)}),
                         [](const testing::TestParamInfo<MeanRow>& info) {
                             return rowName(info.param.file);
                         });

// Grain, not a flat fill, and not harsh noise either.
TEST(Edge, GrainIsFineAndGentle) {
    const QImage image = loadSkin(QStringLiteral("edge.png"));
    ASSERT_FALSE(image.isNull());
    double sum = 0, squares = 0, step = 0;
    long steps = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            sum += grey;
            squares += static_cast<double>(grey) * grey;
            if (x > 0) {
                step += std::abs(grey - qGray(image.pixel(x - 1, y)));
                ++steps;
            }
        }
    }
    const double n = static_cast<double>(image.width()) * image.height();
    const double deviation = std::sqrt(squares / n - (sum / n) * (sum / n));
    EXPECT_GT(deviation, 3.0);
    EXPECT_LT(deviation, 20.0);
    EXPECT_LT(step / steps, 16.0);
}

constexpr QRgb bevelLight = qRgb(0xF1, 0xEF, 0xE2);
constexpr QRgb bevelDark = qRgb(0x9D, 0x9D, 0xA1);

struct FaceRow {
    const char* file;
    int width;
    int firstColumn;
    int lastColumn;
    QRgb face;
    QRgb letter;
};

void PrintTo(const FaceRow& row, std::ostream* out) {
    *out << row.file;
}

class ButtonFace : public testing::TestWithParam<FaceRow> {
protected:
    void SetUp() override {
        image = loadSkin(QString::fromLatin1(GetParam().file));
        ASSERT_EQ(image.size(), QSize(GetParam().width, 31));
    }
    bool isInterior(int x, int y) const {
        return x > 0 && y > 0 && x < image.width() - 1 && y < image.height() - 1;
    }
    bool isLetter(int x, int y) const { return image.pixel(x, y) != GetParam().face; }

    QImage image;
};

TEST_P(ButtonFace, BevelLightTopLeftDarkBottomRight) {
    const int right = image.width() - 1;
    const int bottom = image.height() - 1;
    for (int x = 0; x <= right; ++x) {
        EXPECT_EQ(image.pixel(x, 0), bevelLight) << "top row, column " << x;
        // The light edge owns the bottom-left corner pixel.
        EXPECT_EQ(image.pixel(x, bottom), x == 0 ? bevelLight : bevelDark) << "bottom row, column " << x;
    }
    for (int y = 0; y <= bottom; ++y) {
        EXPECT_EQ(image.pixel(0, y), bevelLight) << "left column, row " << y;
        // ... and the top-right one.
        EXPECT_EQ(image.pixel(right, y), y == 0 ? bevelLight : bevelDark) << "right column, row " << y;
    }
}

TEST_P(ButtonFace, FaceColourDominates) {
    long face = 0, interior = 0;
    for (int y = 1; y < image.height() - 1; ++y) {
        for (int x = 1; x < image.width() - 1; ++x) {
            ++interior;
            face += image.pixel(x, y) == GetParam().face;
            EXPECT_NE(image.pixel(x, y), bevelLight);
            EXPECT_NE(image.pixel(x, y), bevelDark);
        }
    }
    EXPECT_GT(face * 10, interior * 7);
}

TEST_P(ButtonFace, LettersFillExactlyTheirBox) {
    int firstColumn = image.width(), lastColumn = -1, topRow = image.height(), bottomRow = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isInterior(x, y) || !isLetter(x, y)) continue;
            firstColumn = std::min(firstColumn, x);
            lastColumn = std::max(lastColumn, x);
            topRow = std::min(topRow, y);
            bottomRow = std::max(bottomRow, y);
        }
    }
    EXPECT_EQ(firstColumn, GetParam().firstColumn);
    EXPECT_EQ(lastColumn, GetParam().lastColumn);
    EXPECT_EQ(topRow, 8);
    EXPECT_EQ(bottomRow, 21);
}

TEST_P(ButtonFace, LetteringIsSolidWithBlendedEdges) {
    const QRgb face = GetParam().face;
    const QRgb letter = GetParam().letter;
    long solid = 0;
    for (int y = 1; y < image.height() - 1; ++y) {
        for (int x = 1; x < image.width() - 1; ++x) {
            const QRgb pixel = image.pixel(x, y);
            solid += pixel == letter;
            // Edge shades lie between the face and the letter colour, channel by channel.
            auto between = [](int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); };
            EXPECT_TRUE(between(qRed(pixel), qRed(face), qRed(letter)) &&
                        between(qGreen(pixel), qGreen(face), qGreen(letter)) &&
                        between(qBlue(pixel), qBlue(face), qBlue(letter)))
                << hex(pixel).toStdString() << " at " << x << "," << y;
        }
    }
    // Crisp lettering: fully inked pixels make up the bulk of every stroke.
    long inked = 0;
    for (int y = 8; y <= 21; ++y)
        for (int x = GetParam().firstColumn; x <= GetParam().lastColumn; ++x)
            inked += isLetter(x, y);
    EXPECT_GT(solid * 2, inked) << solid << " solid of " << inked;
}

INSTANTIATE_TEST_SUITE_P(
    Skin, ButtonFace,
    testing::Values(
        FaceRow{"face-calculate-normal.png", 151, 21, 128, qRgb(0x9A, 0x6B, 0x34), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-calculate-hover.png", 151, 21, 128, qRgb(0x82, 0x51, 0x16), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-calculate-muted.png", 151, 21, 128, qRgb(0x82, 0x51, 0x16), qRgb(0xC5, 0x84, 0x53)},
        FaceRow{"face-back-normal.png", 79, 15, 63, qRgb(0x9A, 0x6B, 0x34), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-back-hover.png", 79, 15, 63, qRgb(0x82, 0x51, 0x16), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-back-muted.png", 79, 15, 63, qRgb(0x82, 0x51, 0x16), qRgb(0xC5, 0x84, 0x53)},
        FaceRow{"face-exit-normal.png", 79, 19, 60, qRgb(0x9A, 0x6B, 0x34), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-exit-hover.png", 79, 19, 60, qRgb(0x82, 0x51, 0x16), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-exit-muted.png", 79, 19, 60, qRgb(0x82, 0x51, 0x16), qRgb(0xC5, 0x84, 0x53)},
        FaceRow{"face-ok-normal.png", 79, 27, 52, qRgb(0x9A, 0x6B, 0x34), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-ok-hover.png", 79, 27, 52, qRgb(0x82, 0x51, 0x16), qRgb(0xFF, 0xFF, 0xFF)},
        FaceRow{"face-ok-muted.png", 79, 27, 52, qRgb(0x82, 0x51, 0x16), qRgb(0xC5, 0x84, 0x53)}),
    [](const testing::TestParamInfo<FaceRow>& info) { return rowName(info.param.file); });

// The three versions of a button differ only in colour, so the word never shifts when the state changes.
class FaceStates : public testing::TestWithParam<const char*> {};

TEST_P(FaceStates, ShareOneLetterShape) {
    const QString word = QString::fromLatin1(GetParam());
    std::vector<QImage> states;
    for (const char* state : {"normal", "hover", "muted"})
        states.push_back(loadSkin(QStringLiteral("face-%1-%2.png").arg(word, QLatin1String(state))));
    ASSERT_FALSE(states[0].isNull());
    for (const QImage& image : states) {
        ASSERT_EQ(image.size(), states[0].size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                EXPECT_EQ(image.pixelIndex(x, y), states[0].pixelIndex(x, y)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Skin, FaceStates, testing::Values("calculate", "back", "exit", "ok"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST(MinimiseGlyph, IsExactlyTheYellowBar) {
    const QImage image = loadSkin(QStringLiteral("glyph-minimise.png"));
    ASSERT_EQ(image.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool bar = x >= 3 && x <= 12 && y >= 7 && y <= 10;
            EXPECT_EQ(image.pixel(x, y), bar ? qRgb(0xEB, 0xF3, 0x15) : qRgba(255, 255, 255, 0))
                << x << "," << y;
        }
    }
}

TEST(CloseGlyph, IsARedCrossInItsBox) {
    const QImage image = loadSkin(QStringLiteral("glyph-close.png"));
    ASSERT_EQ(image.size(), QSize(16, 16));
    int left = 16, right = -1, top = 16, bottom = -1;
    long core = 0; // #F80000 and near shades
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) continue;
            EXPECT_EQ(qAlpha(pixel), 255) << x << "," << y;
            // Shades of red only: a pale or pinkish edge would show as a light fringe on the brown button.
            EXPECT_GT(qRed(pixel), 100) << x << "," << y;
            EXPECT_LT(qGreen(pixel), 48) << x << "," << y;
            EXPECT_LT(qBlue(pixel), 48) << x << "," << y;
            core += std::abs(qRed(pixel) - 0xF8) <= 8 && qGreen(pixel) <= 24 && qBlue(pixel) <= 24;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_EQ(top, 4);
    EXPECT_EQ(bottom, 14);
    EXPECT_NEAR(left, 3, 1);
    EXPECT_NEAR(right, 13, 1);
    EXPECT_GT(core, 20);
    // An X: its four arms reach the corners of the box, its sides are open at the middle.
    for (auto [x, y] : {std::pair{left, top}, {right, top}, {left, bottom}, {right, bottom}, {8, 9}})
        EXPECT_FALSE(isTransparent(image, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{8, top}, {8, bottom}, {left, 9}, {right, 9}})
        EXPECT_TRUE(isTransparent(image, x, y)) << x << "," << y;
}

} // namespace
