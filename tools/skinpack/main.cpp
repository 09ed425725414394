// Packs the skin's pictures as the program draws them at one device pixel per pixel, so that showing a window
// decodes and scales nothing: every picture at its own size, every stretched one also at the size each
// window's design first shows it, the window icon's sizes and the pointers at 32 x 32. The pictures are made
// by the same calls the Qt layer makes, so they are the same pixels.
//
// With --win32, the same for the Windows build: pixels decoded as the system's codecs decode them and scaled
// by the Win32 layer's own resampler, and beside them the resource script that builds them into the
// executable with the PNGs still read (the twice-size drawings, and the single-size ones the windows show
// only stretched, for the sizes a window reaches later).
//
//   skinpack SKIN_DIR OUTPUT
//   skinpack --win32 SKIN_DIR OUTPUT RESOURCE_SCRIPT

#include "toolkit/Metrics.h"
#include "toolkit/PackedSkin.h"
#include "toolkit/qt/PackedPictures.h"
#include "toolkit/qt/QtSkin.h"
#include "toolkit/win32/Win32Resample.h"
#include "windows/alert/FormAlert.h"
#include "windows/main/FormMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <span>

namespace {

using forms::qt::packed::Entry;

struct Packer {
    QString skinDir;
    std::map<std::string, std::pair<Entry, QImage>> pictures;
    std::set<std::string> pointers;

    void add(const std::string& key, const QImage& image, int hotX = 0, int hotY = 0) {
        Entry entry{};
        entry.width = static_cast<std::uint32_t>(image.width());
        entry.height = static_cast<std::uint32_t>(image.height());
        entry.format = static_cast<std::uint32_t>(image.format());
        entry.hotX = hotX;
        entry.hotY = hotY;
        pictures[key] = {entry, image};
    }
    QString path(const std::string& name, const char* extension) const {
        return skinDir + QLatin1Char('/') + QString::fromStdString(name) + QLatin1String(extension);
    }
    QPixmap load(const std::string& name) const {
        QPixmap pixmap(path(name, ".png"));
        if (pixmap.isNull()) throw std::runtime_error("cannot read picture " + name);
        return pixmap;
    }
    void addStretched(const forms::Control& control) {
        const forms::ControlProps& p = control.design();
        const forms::PixelRect r = forms::toPixelRect(p.left, p.top, p.width, p.height);
        const QSize size(r.width, r.height);
        add(forms::qt::packed::stretchedKey(p.picture.name(), size),
            load(p.picture.name()).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage());
    }
    void addPointer(const std::string& name) {
        const QImage drawing(path(name, ".png"));
        if (drawing.isNull()) throw std::runtime_error("cannot read picture " + name);
        const forms::qt::PointerShape shape = forms::qt::pointerShape(drawing, 1.0);
        add(forms::qt::packed::pointerKey(name), QPixmap::fromImage(shape.image).toImage(),
            int(std::lround(shape.hotSpot.x())), int(std::lround(shape.hotSpot.y())));
    }
    void addIcon(const std::string& name) {
        const QIcon icon(path(name, ".ico"));
        int i = 0;
        for (const QSize& size : icon.availableSizes()) {
            const QImage image = icon.pixmap(size).toImage();
            add(forms::qt::packed::iconKey(name, i), image);
            add(forms::qt::packed::x11IconKey(name, i++), image.convertToFormat(QImage::Format_ARGB32));
        }
    }
    void addForm(const forms::Form& form) {
        if (!form.props().icon.empty()) addIcon(form.props().icon.name());
        for (const forms::Control* control : form.controls()) {
            const forms::ControlProps& p = control->design();
            if (p.stretch && !p.picture.empty()) addStretched(*control);
            if (p.mousePointer == forms::MousePointer::Custom && !p.mouseIcon.empty()) {
                addPointer(p.mouseIcon.name());
                pointers.insert(p.mouseIcon.name());
            }
        }
    }
    // Pointers are only ever drawn at their own sizes.
    void addEverySinglePicture() {
        const QDir dir(skinDir, QStringLiteral("*.png"));
        for (const QString& file : dir.entryList()) {
            const std::string name = file.chopped(4).toStdString();
            if (file.contains(QLatin1Char('@')) || pointers.count(name)) continue;
            add(forms::qt::packed::naturalKey(name), load(name).toImage());
        }
    }
};

QByteArray pack(const std::map<std::string, std::pair<Entry, QImage>>& pictures) {
    std::map<std::string, forms::packed::Unpacked> unpacked;
    for (const auto& [key, picture] : pictures)
        unpacked[key] = {picture.first,
                         std::as_bytes(std::span(picture.second.constBits(),
                                                 static_cast<std::size_t>(picture.second.sizeInBytes())))};
    const std::vector<std::byte> blob = forms::packed::pack(unpacked);
    return QByteArray(reinterpret_cast<const char*>(blob.data()), static_cast<qsizetype>(blob.size()));
}

struct Win32Packer {
    QString skinDir;
    std::map<std::string, std::pair<Entry, forms::win32::Bitmap>> pictures;
    std::set<std::string> stretched, natural, pointers;

    forms::win32::Bitmap load(const std::string& name, QImage* decoded = nullptr) const {
        const QImage image =
            QImage(skinDir + QLatin1Char('/') + QString::fromStdString(name) + QLatin1String(".png"))
                .convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) throw std::runtime_error("cannot read picture " + name);
        forms::win32::Bitmap bitmap{image.width(), image.height(), {}};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                bitmap.pixels.push_back(forms::win32::premultiplied(image.pixel(x, y)));
        if (decoded) *decoded = image;
        return bitmap;
    }
    void add(const std::string& key, forms::win32::Bitmap bitmap, int hotX = 0, int hotY = 0) {
        Entry entry{};
        entry.width = static_cast<std::uint32_t>(bitmap.width);
        entry.height = static_cast<std::uint32_t>(bitmap.height);
        entry.hotX = hotX;
        entry.hotY = hotY;
        pictures[key] = {entry, std::move(bitmap)};
    }
    void addForm(const forms::Form& form) {
        for (const forms::Control* control : form.controls()) {
            const forms::ControlProps& p = control->design();
            if (p.stretch && !p.picture.empty()) {
                const forms::PixelRect r = forms::toPixelRect(p.left, p.top, p.width, p.height);
                add(forms::packed::stretchedKey(p.picture.name(), r.width, r.height),
                    forms::win32::scaled(load(p.picture.name()), r.width, r.height));
                stretched.insert(p.picture.name());
            } else if (!p.picture.empty()) {
                natural.insert(p.picture.name());
            }
            if (p.mousePointer == forms::MousePointer::Custom && !p.mouseIcon.empty())
                pointers.insert(p.mouseIcon.name());
        }
    }
    // At their own sizes the pictures the designs show so, and every other small one (the faces a button
    // changes to, glyphs, corners); the larger ones that the windows show only stretched, or not at all, stay
    // PNGs. The pointers at the pointer size of 96 dpi.
    QByteArray finish(QString& resourceScript) {
        constexpr int kPointerBox = 32;
        constexpr std::size_t kSmallPixels = 16 * 1024 / 4;
        const QDir dir(skinDir, QStringLiteral("*.png"));
        for (const QString& file : dir.entryList()) {
            const std::string stem = file.chopped(4).toStdString();
            const bool twice = file.contains(QLatin1Char('@'));
            const bool small = !twice && QImage(dir.absoluteFilePath(file)).sizeInBytes() <=
                                             static_cast<qsizetype>(kSmallPixels * 4);
            const bool packedAsItIs = natural.count(stem) || (small && !stretched.count(stem));
            if (!twice && pointers.count(stem)) {
                QImage decoded;
                const forms::win32::Bitmap image = load(stem, &decoded);
                const auto fit = forms::win32::fitPointer(
                    image.width, image.height, decoded.text(QStringLiteral("HotSpotX")).toDouble(),
                    decoded.text(QStringLiteral("HotSpotY")).toDouble(), kPointerBox);
                add(forms::packed::pointerKey(stem, kPointerBox),
                    forms::win32::scaled(image, fit.width, fit.height), fit.hotX, fit.hotY);
            } else if (!twice && packedAsItIs) {
                add(stem, load(stem));
                continue;
            }
            // The resource compiler takes no "@" in a name: face-ok-normal@2x is face-ok-normal-2x there.
            resourceScript += QString::fromStdString(stem).replace(QLatin1Char('@'), QLatin1Char('-')) +
                              QStringLiteral(" RCDATA \"") + dir.absoluteFilePath(file) +
                              QStringLiteral("\"\n");
        }
        std::map<std::string, forms::packed::Unpacked> unpacked;
        for (const auto& [key, picture] : pictures)
            unpacked[key] = {picture.first, std::as_bytes(std::span(picture.second.pixels))};
        const std::vector<std::byte> blob = forms::packed::pack(unpacked);
        return QByteArray(reinterpret_cast<const char*>(blob.data()), static_cast<qsizetype>(blob.size()));
    }
};

void write(const char* path, const QByteArray& bytes) {
    QFile out(QString::fromLocal8Bit(path));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + std::string(path));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool win32 = argc == 5 && std::strcmp(argv[1], "--win32") == 0;
    if (argc != 3 && !win32) {
        std::fprintf(stderr, "usage: %s SKIN_DIR OUTPUT | --win32 SKIN_DIR OUTPUT RESOURCE_SCRIPT\n",
                     argv[0]);
        return 2;
    }
    try {
        FormMain formMain;
        FormAlert formAlert;
        std::size_t count = 0;
        QByteArray blob;
        if (win32) {
            Win32Packer packer{QString::fromLocal8Bit(argv[2]), {}, {}, {}, {}};
            packer.addForm(formMain);
            packer.addForm(formAlert);
            QString script;
            blob = packer.finish(script);
            count = packer.pictures.size();
            script += QStringLiteral("skin-pixels RCDATA \"") +
                      QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath() + QStringLiteral("\"\n");
            write(argv[3], blob);
            write(argv[4], script.toUtf8());
        } else {
            Packer packer{QString::fromLocal8Bit(argv[1]), {}, {}};
            packer.addForm(formMain);
            packer.addForm(formAlert);
            packer.addEverySinglePicture();
            blob = pack(packer.pictures);
            count = packer.pictures.size();
            write(argv[2], blob);
        }
        std::printf("skinpack: %zu pictures, %lld bytes\n", count, static_cast<long long>(blob.size()));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "skinpack: %s\n", failure.what());
        return 1;
    }
    return 0;
}
