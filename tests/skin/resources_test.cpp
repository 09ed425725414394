#include "skin_files.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

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
                                         EmbeddedRow{"skin", ":/skin/", "*.ico"},
                                         EmbeddedRow{"fonts", ":/fonts/", "*.ttf"}),
                         [](const testing::TestParamInfo<EmbeddedRow>& info) {
                             return std::string(info.param.folder) + "_" + (info.param.pattern + 2);
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
