#include "skingen.h"

#include "art.h"

#include <QDir>
#include <QFile>

namespace skingen {

namespace {

constexpr const char* readme =
    "Kelvara Calculator skin\n"
    "\n"
    "Every picture in this folder is drawn by tools/skingen; do not edit them by hand.\n"
    "To regenerate after changing the generator, build it and run from the repository root:\n"
    "\n"
    "    build/tools/skingen/skingen resources/skin\n"
    "\n"
    "The skin tests fail until the committed files match the generator's output byte for byte.\n";

} // namespace

std::vector<SkinFile> drawSkin(const QString& fontDir) {
    std::vector<SkinFile> files;
    auto png = [&files](const QString& name, const QImage& image) {
        files.push_back({name, encodePng(image)});
    };

    png(QStringLiteral("edge.png"), drawEdge());
    const QList<QImage> corners = drawCorners();
    const char* cornerNames[] = {"top-left", "top-right", "bottom-left", "bottom-right"};
    for (int i = 0; i < corners.size(); ++i)
        png(QStringLiteral("corner-%1.png").arg(QLatin1String(cornerNames[i])), corners[i]);
    png(QStringLiteral("title-strip.png"), drawTitleStrip());
    png(QStringLiteral("logo.png"), drawLogo());
    files.push_back({QStringLiteral("logo.ico"), drawLogoIcon()});

    const std::pair<FaceState, const char*> states[] = {
        {FaceState::Normal, "normal"}, {FaceState::Hover, "hover"}, {FaceState::Muted, "muted"}};
    for (const FaceLayout& layout : faceLayouts())
        for (const auto& [state, stateName] : states)
            png(QStringLiteral("face-%1-%2.png").arg(layout.word.toLower(), QLatin1String(stateName)),
                drawFace(layout, state, fontDir));

    png(QStringLiteral("glyph-minimise.png"), drawMinimiseGlyph());
    png(QStringLiteral("glyph-close.png"), drawCloseGlyph());
    png(QStringLiteral("hand-pointer.png"), drawHandPointer());
    png(QStringLiteral("hand-pointer-blank.png"), drawBlankPointer());
    files.push_back({QStringLiteral("README"), QByteArray(readme)});
    return files;
}

bool writeSkin(const std::vector<SkinFile>& files, const QString& outDir, QString* error) {
    if (!QDir().mkpath(outDir)) {
        *error = QStringLiteral("cannot create %1").arg(outDir);
        return false;
    }
    for (const SkinFile& file : files) {
        QFile out(QDir(outDir).filePath(file.name));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(file.bytes) != file.bytes.size()) {
            *error = QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString());
            return false;
        }
    }
    return true;
}

} // namespace skingen
