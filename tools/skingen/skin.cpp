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
    "    build/tools/skingen/skingen resources/skin resources/web\n"
    "\n"
    "The skin tests fail until the committed files match the generator's output byte for byte.\n";

} // namespace

std::vector<SkinFile> drawSkin(const QString& fontDir) {
    std::vector<SkinFile> files;
    auto png = [&files](const QString& name, const QImage& image) {
        files.push_back({name, encodePng(image)});
    };

    // Each picture also at twice the size, for screens of twice the density, named as Qt names such files.
    // The pointer is drawn far larger than it is shown already, and the icon holds every size it needs.
    for (const int scale : {1, 2}) {
        auto scaled = [scale](QString name) {
            return scale == 1 ? name + QStringLiteral(".png") : name + QStringLiteral("@2x.png");
        };
        png(scaled(QStringLiteral("edge")), drawEdge(scale));
        const QList<QImage> corners = drawCorners(scale);
        const char* cornerNames[] = {"top-left", "top-right", "bottom-left", "bottom-right"};
        for (int i = 0; i < corners.size(); ++i)
            png(scaled(QStringLiteral("corner-%1").arg(QLatin1String(cornerNames[i]))), corners[i]);
        png(scaled(QStringLiteral("title-strip")), drawTitleStrip(scale));
        png(scaled(QStringLiteral("logo")), drawLogo(scale));

        const std::pair<FaceState, const char*> states[] = {
            {FaceState::Normal, "normal"}, {FaceState::Hover, "hover"}, {FaceState::Muted, "muted"}};
        for (const FaceLayout& layout : faceLayouts())
            for (const auto& [state, stateName] : states)
                png(scaled(QStringLiteral("face-%1-%2").arg(layout.word.toLower(), QLatin1String(stateName))),
                    drawFace(layout, state, fontDir, scale));

        png(scaled(QStringLiteral("glyph-minimise")), drawMinimiseGlyph(scale));
        png(scaled(QStringLiteral("glyph-close")), drawCloseGlyph(scale));
    }
    files.push_back({QStringLiteral("logo.ico"), drawLogoIcon()});
    png(QStringLiteral("hand-pointer.png"), drawHandPointer());
    png(QStringLiteral("hand-pointer-blank.png"), drawBlankPointer());
    files.push_back({QStringLiteral("README"), QByteArray(readme)});
    return files;
}

std::vector<SkinFile> drawWebIcons() {
    return {{QStringLiteral("icon-192.png"), encodePng(drawWebIcon(192, false))},
            {QStringLiteral("icon-512.png"), encodePng(drawWebIcon(512, false))},
            {QStringLiteral("icon-maskable-512.png"), encodePng(drawWebIcon(512, true))}};
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
