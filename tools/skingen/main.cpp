#include "skingen.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // No display is needed, and the offscreen platform keeps the output independent of the desktop's
    // settings.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s SKIN_DIR [WEB_ICON_DIR]\n", argv[0]);
        return 2;
    }
    try {
        const auto files = skingen::drawSkin(QStringLiteral(SKINGEN_FONT_DIR));
        QString error;
        if (!skingen::writeSkin(files, QString::fromLocal8Bit(argv[1]), &error)) {
            std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("skingen: wrote %zu files to %s\n", files.size(), argv[1]);
        if (argc == 3) {
            if (!skingen::writeSkin(skingen::drawWebIcons(), QString::fromLocal8Bit(argv[2]), &error)) {
                std::fprintf(stderr, "skingen: %s\n", qPrintable(error));
                return 1;
            }
            std::printf("skingen: wrote the web icons to %s\n", argv[2]);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "skingen: %s\n", failure.what());
        return 1;
    }
    return 0;
}
