#pragma once

#include "toolkit/Control.h"

#include <windows.h>

namespace forms::win32 {

class Win32Window;

// What the toolkit draws itself in a form's window: the body's colour and, bottom to top, the labels,
// images, picture holders and frames (isPainted). Each surface paints the part of the scene it covers, up to
// and including itself, so that what lies beneath shows through.
class Win32Scene {
public:
    explicit Win32Scene(const Win32Window& window)
        : window_(window) {}
    void paint(HDC dc, const Control& upTo) const;

private:
    void paintContent(HDC dc, const Control& control) const;

    const Win32Window& window_;
};

} // namespace forms::win32
