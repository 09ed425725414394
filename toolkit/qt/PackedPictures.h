#pragma once

#include "toolkit/PackedSkin.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The skin's pictures as tools/skinpack packs them for this layer (toolkit/PackedSkin.h): raw pixels in the
// form a pixmap holds them.
namespace forms::qt::packed {

using forms::packed::Entry;

std::string naturalKey(const std::string& picture);
std::string stretchedKey(const std::string& picture, QSize size);
std::string pointerKey(const std::string& picture);
std::string iconKey(const std::string& picture, int index);
// A size of the icon unpremultiplied, as X11 takes it.
std::string x11IconKey(const std::string& picture, int index);

struct Found {
    QImage image; // over the executable's bytes
    int hotX = 0;
    int hotY = 0;
};
// Nothing when the picture was not packed at that size.
std::optional<Found> find(std::string_view key);
std::vector<std::string> keys();
// Every size of an icon that was packed, as Qt holds them or, for X11, unpremultiplied.
std::vector<QImage> iconSizes(const std::string& picture, bool unpremultiplied);

} // namespace forms::qt::packed
