#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace skingen {

struct SkinFile {
    QString name;
    QByteArray bytes;
};

// Every file of the skin, drawn from scratch. Needs a QGuiApplication: the button lettering is set in
// LiberationSans-Bold.ttf from fontDir.
std::vector<SkinFile> drawSkin(const QString& fontDir);

// The web page's icons for installing it: icon-192.png, icon-512.png and icon-maskable-512.png.
std::vector<SkinFile> drawWebIcons();

// Writes the files into outDir (created if missing); on failure returns false and says why in *error.
bool writeSkin(const std::vector<SkinFile>& files, const QString& outDir, QString* error);

} // namespace skingen
