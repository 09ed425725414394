#include "skin_files.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QRawFont>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct EmbeddedRow {
    const char* folder;
    const char* prefix;
    const char* pattern;
};

void PrintTo(const EmbeddedRow& row, std::ostream* out) {
    *out << row.prefix << row.pattern;
}

class Embedded : public testing::TestWithParam<EmbeddedRow> {};

// Linking kelvara_resources is all it takes: every file is reachable under its prefix, unchanged.
TEST_P(Embedded, EveryFileIsInTheResources) {
    const EmbeddedRow& row = GetParam();
    const QDir folder(QStringLiteral(KELVARA_RESOURCES_DIR "/") + QLatin1String(row.folder));
    const QStringList names = folder.entryList({QLatin1String(row.pattern)}, QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        const QString resource = QLatin1String(row.prefix) + name;
        const QByteArray embedded = readAll(resource);
        EXPECT_FALSE(embedded.isEmpty()) << resource.toStdString() << " is not embedded";
        EXPECT_TRUE(embedded == readAll(folder.filePath(name))) << resource.toStdString() << " is stale";
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, Embedded,
                         testing::Values(EmbeddedRow{"skin", ":/skin/", "*.png"},
                                         EmbeddedRow{"skin", ":/skin/", "*.ico"}),
                         [](const testing::TestParamInfo<EmbeddedRow>& info) {
                             return std::string(info.param.folder) + "_" + (info.param.pattern + 2);
                         });

// The text boxes' face stays whole, for whatever people type; the others are cut down to the characters
// they are asked to draw, and draw each of those as the whole face does.
struct FaceRow {
    const char* file;
    std::vector<std::pair<char32_t, char32_t>> characters; // none: the whole face
};

void PrintTo(const FaceRow& row, std::ostream* out) {
    *out << row.file;
}

class EmbeddedFace : public testing::TestWithParam<FaceRow> {};

TEST_P(EmbeddedFace, HoldsWhatItDraws) {
    const FaceRow& row = GetParam();
    const QByteArray whole =
        readAll(QStringLiteral(KELVARA_RESOURCES_DIR "/fonts/") + QLatin1String(row.file));
    const QByteArray embedded = readAll(QStringLiteral(":/fonts/") + QLatin1String(row.file));
    ASSERT_FALSE(whole.isEmpty());
    ASSERT_FALSE(embedded.isEmpty()) << row.file << " is not embedded";
    if (row.characters.empty()) {
        EXPECT_TRUE(embedded == whole) << row.file << " is stale";
        return;
    }
    EXPECT_LT(embedded.size(), whole.size() / 4);
    // The program draws without hinting, and the cut faces keep none.
    const QRawFont wholeFace(whole, 11, QFont::PreferNoHinting),
        cutFace(embedded, 11, QFont::PreferNoHinting);
    ASSERT_TRUE(wholeFace.isValid() && cutFace.isValid());
    for (const auto& [first, last] : row.characters)
        for (char32_t c = first; c <= last; ++c) {
            ASSERT_EQ(cutFace.supportsCharacter(c), wholeFace.supportsCharacter(c))
                << row.file << " U+" << std::hex << unsigned(c);
            if (!wholeFace.supportsCharacter(c)) continue;
            const QString text = QString::fromUcs4(&c, 1);
            const QList<quint32> wholeGlyphs = wholeFace.glyphIndexesForString(text);
            const QList<quint32> cutGlyphs = cutFace.glyphIndexesForString(text);
            EXPECT_EQ(cutFace.advancesForGlyphIndexes(cutGlyphs),
                      wholeFace.advancesForGlyphIndexes(wholeGlyphs))
                << row.file << " U+" << std::hex << unsigned(c);
            // Outlines may be stored with fewer points; what is drawn is the same.
            EXPECT_EQ(cutFace.alphaMapForGlyph(cutGlyphs.value(0)),
                      wholeFace.alphaMapForGlyph(wholeGlyphs.value(0)))
                << row.file << " U+" << std::hex << unsigned(c);
        }
}

const std::vector<std::pair<char32_t, char32_t>> kAscii{{0x20, 0x7E}};
const std::vector<std::pair<char32_t, char32_t>> kTyped{
    {0x20, 0x7E}, {0xA0, 0xFF}, {0x2018, 0x201D}, {0x20AC, 0x20AC}};

INSTANTIATE_TEST_SUITE_P(
    Fonts, EmbeddedFace,
    testing::Values(FaceRow{"LiberationSans-Regular.ttf", {}}, FaceRow{"LiberationSans-Bold.ttf", kTyped},
                    FaceRow{"DejaVuSerif.ttf", kAscii}, FaceRow{"DejaVuSerif-Bold.ttf", kAscii}),
    [](const testing::TestParamInfo<FaceRow>& info) {
        std::string name = info.param.file;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST(Resources, NamedFilesResolve) {
    for (const char* path :
         {":/skin/edge.png", ":/skin/logo.ico", ":/fonts/LiberationSans-Regular.ttf",
          ":/fonts/LiberationSans-Bold.ttf", ":/fonts/DejaVuSerif.ttf", ":/fonts/DejaVuSerif-Bold.ttf"})
        EXPECT_TRUE(QFile::exists(QLatin1String(path))) << path;
}

// The serif stands in for an 8.25 pt (11 px) Georgia; the labels set in it are fixed-width.
struct FitRow {
    const char* name;
    const char* text;
    bool bold;
    int width;
};

void PrintTo(const FitRow& row, std::ostream* out) {
    *out << row.name;
}

class SerifFits : public testing::TestWithParam<FitRow> {
protected:
    static void SetUpTestSuite() {
        for (const char* file : {":/fonts/DejaVuSerif.ttf", ":/fonts/DejaVuSerif-Bold.ttf"})
            ASSERT_GE(QFontDatabase::addApplicationFont(QLatin1String(file)), 0) << file;
    }
};

TEST_P(SerifFits, InItsLabel) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(11);
    font.setBold(GetParam().bold);
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("DejaVu Serif"));
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(QLatin1String(GetParam().text)), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, SerifFits,
    testing::Values(FitRow{"Title", "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE", false, 369},
                    FitRow{"TitleUnderPointer", "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE", true, 369},
                    FitRow{"AlertTitle", "INPUT ERROR!", false, 89}),
    [](const testing::TestParamInfo<FitRow>& info) { return std::string(info.param.name); });

} // namespace
