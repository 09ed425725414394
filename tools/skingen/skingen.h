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

// Writes the files into outDir (created if missing); on failure returns false and says why in *error.
bool writeSkin(const std::vector<SkinFile>& files, const QString& outDir, QString* error);

} // namespace skingen
