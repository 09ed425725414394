// Packs the skin's pictures as the program draws them at one device pixel per pixel, so that showing a window
// decodes and scales nothing: every picture at its own size, every stretched one also at the size each
// window's design first shows it, the window icon's sizes and the pointers at 32 x 32. The pictures are made
// by the same calls the Qt layer makes, so they are the same pixels.
//
//   skinpack SKIN_DIR OUTPUT

#include "toolkit/Metrics.h"
#include "toolkit/qt/PackedPictures.h"
#include "toolkit/qt/QtSkin.h"
#include "windows/alert/FormAlert.h"
#include "windows/main/FormMain.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace {

using forms::qt::packed::Entry;

struct Packer {
    QString skinDir;
    std::map<std::string, std::pair<Entry, QImage>> pictures;
    std::set<std::string> pointers;
    // What a window draws or sends as it first shows. Their pixels lie together at the front, so showing a
    // window maps in those pages and not the pictures around them that the kernel reads in with each one.
    std::set<std::string> firstShown;

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
            // Sent to the X server once the window's first frame is out.
            firstShown.insert(forms::qt::packed::x11IconKey(name, i));
            add(forms::qt::packed::x11IconKey(name, i++), image.convertToFormat(QImage::Format_ARGB32));
        }
    }
    void addForm(const forms::Form& form) {
        const forms::FormProps& f = form.props();
        if (!f.icon.empty()) addIcon(f.icon.name());
        for (const forms::Control* control : form.controls()) {
            const forms::ControlProps& p = control->design();
            const bool shows = p.visible && p.left < f.width && p.left + p.width > 0 && p.top < f.height &&
                               p.top + p.height > 0;
            if (p.stretch && !p.picture.empty()) {
                const forms::PixelRect r = forms::toPixelRect(p.left, p.top, p.width, p.height);
                addStretched(*control);
                if (shows)
                    firstShown.insert(
                        forms::qt::packed::stretchedKey(p.picture.name(), QSize(r.width, r.height)));
            } else if (shows && !p.picture.empty()) {
                firstShown.insert(forms::qt::packed::naturalKey(p.picture.name()));
            }
            if (p.mousePointer == forms::MousePointer::Custom && !p.mouseIcon.empty()) {
                addPointer(p.mouseIcon.name());
                pointers.insert(p.mouseIcon.name());
                if (shows) firstShown.insert(forms::qt::packed::pointerKey(p.mouseIcon.name()));
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

QByteArray pack(std::map<std::string, std::pair<Entry, QImage>>& pictures,
                const std::set<std::string>& firstShown) {
    QByteArray keys, pixels;
    const auto count = static_cast<std::uint32_t>(pictures.size());
    const auto indexEnd = static_cast<std::uint32_t>(8 + count * sizeof(Entry));
    for (auto& [key, picture] : pictures) {
        picture.first.keyOffset = indexEnd + static_cast<std::uint32_t>(keys.size());
        picture.first.keyLength = static_cast<std::uint32_t>(key.size());
        keys.append(key.data(), static_cast<qsizetype>(key.size()));
    }
    while ((indexEnd + keys.size()) % 16 != 0)
        keys.append('\0');
    for (const bool first : {true, false})
        for (auto& [key, picture] : pictures) {
            if (firstShown.count(key) != static_cast<std::size_t>(first)) continue;
            picture.first.offset = indexEnd + static_cast<std::uint32_t>(keys.size() + pixels.size());
            const QImage& image = picture.second;
            pixels.append(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
            while (pixels.size() % 16 != 0)
                pixels.append('\0');
        }
    QByteArray blob("KPX1");
    blob.append(reinterpret_cast<const char*>(&count), sizeof count);
    for (const auto& [key, picture] : pictures)
        blob.append(reinterpret_cast<const char*>(&picture.first), sizeof(Entry));
    return blob + keys + pixels;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SKIN_DIR OUTPUT\n", argv[0]);
        return 2;
    }
    try {
        Packer packer{QString::fromLocal8Bit(argv[1]), {}, {}, {}};
        FormMain formMain;
        FormAlert formAlert;
        packer.addForm(formMain);
        packer.addForm(formAlert);
        packer.addEverySinglePicture();
        const QByteArray blob = pack(packer.pictures, packer.firstShown);
        QFile out(QString::fromLocal8Bit(argv[2]));
        if (!out.open(QIODevice::WriteOnly) || out.write(blob) != blob.size())
            throw std::runtime_error("cannot write " + std::string(argv[2]));
        std::printf("skinpack: %zu pictures, %lld bytes\n", packer.pictures.size(),
                    static_cast<long long>(blob.size()));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "skinpack: %s\n", failure.what());
        return 1;
    }
    return 0;
}
