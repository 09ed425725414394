// The pictures drawn at twice the size for high-density screens: the same look on twice the pixels.

#include "skin_files.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cstdlib>
#include <ostream>

namespace {

using skintest::isTransparent;
using skintest::loadSkin;

QString twinName(const QString& file) {
    return QString(file).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
}

struct TwinRow {
    const char* file;
};

void PrintTo(const TwinRow& row, std::ostream* out) {
    *out << row.file;
}

std::string twinRowName(const testing::TestParamInfo<TwinRow>& info) {
    QString name = QString::fromLatin1(info.param.file).remove(QLatin1String(".png"));
    return name.replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
}

class Twin : public testing::TestWithParam<TwinRow> {
protected:
    void SetUp() override {
        single = loadSkin(QString::fromLatin1(GetParam().file));
        twin = loadSkin(twinName(QString::fromLatin1(GetParam().file)));
        ASSERT_FALSE(single.isNull());
        ASSERT_FALSE(twin.isNull()) << "no twice-size picture";
    }
    QImage single;
    QImage twin;
};

TEST_P(Twin, IsTwiceTheSizeWithAsManyColours) {
    EXPECT_EQ(twin.size(), single.size() * 2);
    ASSERT_EQ(twin.format(), QImage::Format_Indexed8) << "not a palette image";
    EXPECT_EQ(twin.colorCount(), single.colorCount());
}

TEST_P(Twin, HalvedItLooksLikeTheSinglePicture) {
    const QImage big = twin.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage small = single.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double difference = 0.0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            const QRgb pixel = small.pixel(x, y);
            int sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const QRgb part = big.pixel(2 * x + dx, 2 * y + dy);
                    sum[0] += qRed(part);
                    sum[1] += qGreen(part);
                    sum[2] += qBlue(part);
                    sum[3] += qAlpha(part);
                }
            }
            difference += std::abs(sum[0] / 4.0 - qRed(pixel)) + std::abs(sum[1] / 4.0 - qGreen(pixel)) +
                          std::abs(sum[2] / 4.0 - qBlue(pixel)) + std::abs(sum[3] / 4.0 - qAlpha(pixel));
        }
    }
    // Finer grain and smoother edges are the point; the colours and shapes stay.
    const double mean = difference / (4.0 * small.width() * small.height());
    EXPECT_LT(mean, 10.0) << "mean difference per channel";
}

INSTANTIATE_TEST_SUITE_P(Skin, Twin,
                         testing::Values(TwinRow{"edge.png"}, TwinRow{"corner-top-left.png"},
                                         TwinRow{"corner-top-right.png"}, TwinRow{"corner-bottom-left.png"},
                                         TwinRow{"corner-bottom-right.png"}, TwinRow{"title-strip.png"},
                                         TwinRow{"logo.png"}, TwinRow{"face-calculate-normal.png"},
                                         TwinRow{"face-calculate-hover.png"},
                                         TwinRow{"face-calculate-muted.png"}, TwinRow{"face-back-normal.png"},
                                         TwinRow{"face-back-hover.png"}, TwinRow{"face-back-muted.png"},
                                         TwinRow{"face-exit-normal.png"}, TwinRow{"face-exit-hover.png"},
                                         TwinRow{"face-exit-muted.png"}, TwinRow{"face-ok-normal.png"},
                                         TwinRow{"face-ok-hover.png"}, TwinRow{"face-ok-muted.png"},
                                         TwinRow{"glyph-minimise.png"}, TwinRow{"glyph-close.png"}),
                         twinRowName);

// Hard-edged transparency (the rounded corners, the title strip's end, the bar) is kept pixel for pixel.
class CrispTwin : public Twin {};

TEST_P(CrispTwin, TransparentWhereTheSinglePictureIs) {
    for (int y = 0; y < twin.height(); ++y)
        for (int x = 0; x < twin.width(); ++x)
            ASSERT_EQ(isTransparent(twin, x, y), isTransparent(single, x / 2, y / 2)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Skin, CrispTwin,
                         testing::Values(TwinRow{"corner-top-left.png"}, TwinRow{"corner-top-right.png"},
                                         TwinRow{"corner-bottom-left.png"},
                                         TwinRow{"corner-bottom-right.png"}, TwinRow{"title-strip.png"},
                                         TwinRow{"glyph-minimise.png"}),
                         twinRowName);

TEST(Twins, EveryTwinHasItsSinglePicture) {
    const QStringList twins = QDir(skintest::skinDir()).entryList({QStringLiteral("*@2x.png")}, QDir::Files);
    EXPECT_EQ(twins.size(), 21);
    for (const QString& name : twins)
        EXPECT_TRUE(QFile::exists(skintest::skinDir() + QLatin1Char('/') +
                                  QString(name).remove(QLatin1String("@2x"))))
            << name.toStdString();
}

struct FaceTwinRow {
    const char* word;
    int firstColumn;
    int lastColumn;
};

void PrintTo(const FaceTwinRow& row, std::ostream* out) {
    *out << row.word;
}

class FaceTwin : public testing::TestWithParam<FaceTwinRow> {};

// The bevel stays one design pixel wide and the word keeps its box, so only the detail inside changes.
TEST_P(FaceTwin, SameColoursBevelAndLetterBox) {
    for (const char* state : {"normal", "hover", "muted"}) {
        SCOPED_TRACE(state);
        const QString name =
            QStringLiteral("face-%1-%2.png").arg(QLatin1String(GetParam().word), QLatin1String(state));
        const QImage single = loadSkin(name);
        const QImage twin = loadSkin(twinName(name));
        ASSERT_FALSE(twin.isNull());
        EXPECT_EQ(twin.colorTable(), single.colorTable());
        const QRgb light = single.pixel(0, 0);
        const QRgb dark = single.pixel(single.width() - 1, single.height() - 1);
        const QRgb face = single.pixel(2, 2);
        const int right = twin.width() - 1;
        const int bottom = twin.height() - 1;
        for (int x = 0; x <= right; ++x) {
            for (int row : {0, 1})
                EXPECT_EQ(twin.pixel(x, row), light) << "top, column " << x;
            if (x >= 2) {
                for (int row : {bottom - 1, bottom})
                    EXPECT_EQ(twin.pixel(x, row), dark) << "bottom, column " << x;
            }
        }
        for (int y = 0; y <= bottom; ++y) {
            for (int column : {0, 1})
                EXPECT_EQ(twin.pixel(column, y), light) << "left, row " << y;
            if (y >= 2) {
                for (int column : {right - 1, right})
                    EXPECT_EQ(twin.pixel(column, y), dark) << "right, row " << y;
            }
        }
        int first = twin.width(), last = -1, top = twin.height(), lowest = -1;
        for (int y = 2; y < bottom - 1; ++y) {
            for (int x = 2; x < right - 1; ++x) {
                if (twin.pixel(x, y) == face) continue;
                first = std::min(first, x);
                last = std::max(last, x);
                top = std::min(top, y);
                lowest = std::max(lowest, y);
            }
        }
        EXPECT_EQ(first, 2 * GetParam().firstColumn);
        EXPECT_EQ(last, 2 * GetParam().lastColumn + 1);
        EXPECT_EQ(top, 2 * 8);
        EXPECT_EQ(lowest, 2 * 21 + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Skin, FaceTwin,
                         testing::Values(FaceTwinRow{"calculate", 21, 128}, FaceTwinRow{"back", 15, 63},
                                         FaceTwinRow{"exit", 19, 60}, FaceTwinRow{"ok", 27, 52}),
                         [](const testing::TestParamInfo<FaceTwinRow>& info) {
                             return std::string(info.param.word);
                         });

} // namespace
