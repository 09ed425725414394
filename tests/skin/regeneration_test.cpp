#include "skin_files.h"

#include "skingen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

using skintest::skinDir;

std::set<QString> fileNames(const QString& dir) {
    const QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    return {names.begin(), names.end()};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Redraws the whole skin once into a scratch folder, as `skingen OUTDIR` does.
class Regeneration : public testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new QTemporaryDir;
        ASSERT_TRUE(scratch_->isValid());
        QString error;
        ASSERT_TRUE(skingen::writeSkin(skingen::drawSkin(skintest::fontDir()), scratch_->path(), &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }
    static QString generated() { return scratch_->path(); }

private:
    static inline QTemporaryDir* scratch_ = nullptr;
};

TEST_F(Regeneration, CommittedFolderHoldsExactlyTheGeneratedFiles) {
    const std::set<QString> committed = fileNames(skinDir());
    const std::set<QString> drawn = fileNames(generated());
    for (const QString& name : drawn)
        EXPECT_TRUE(committed.count(name)) << "missing from resources/skin: " << name.toStdString();
    for (const QString& name : committed)
        EXPECT_TRUE(drawn.count(name)) << "not produced by skingen: " << name.toStdString();
    EXPECT_GT(drawn.size(), 20u);
}

TEST_F(Regeneration, CommittedFilesMatchTheGeneratorByteForByte) {
    for (const QString& name : fileNames(generated())) {
        const QByteArray fresh = readAll(generated() + QLatin1Char('/') + name);
        ASSERT_FALSE(fresh.isEmpty()) << name.toStdString();
        EXPECT_TRUE(fresh == readAll(skinDir() + QLatin1Char('/') + name))
            << name.toStdString() << " differs; run build/tools/skingen/skingen resources/skin";
    }
}

TEST(WebIcons, CommittedIconsMatchTheGeneratorByteForByte) {
    const QString dir = QStringLiteral(KELVARA_RESOURCES_DIR "/web/");
    for (const skingen::SkinFile& file : skingen::drawWebIcons())
        EXPECT_TRUE(file.bytes == readAll(dir + file.name))
            << file.name.toStdString()
            << " differs; run build/tools/skingen/skingen resources/skin resources/web";
}

TEST_F(Regeneration, DrawingTwiceGivesTheSameBytes) {
    const std::vector<skingen::SkinFile> again = skingen::drawSkin(skintest::fontDir());
    for (const skingen::SkinFile& file : again)
        EXPECT_TRUE(file.bytes == readAll(generated() + QLatin1Char('/') + file.name))
            << file.name.toStdString();
}

} // namespace
