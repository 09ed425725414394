#include "toolkit/win32/Win32Scene.h"

#include "toolkit/win32/Win32Control.h"
#include "toolkit/win32/Win32Skin.h"
#include "toolkit/win32/Win32Window.h"

namespace forms::win32 {

void Win32Scene::paintContent(HDC dc, const Control& control) const {
    const ControlProps& p = control.props();
    const UINT dpi = window_.dpi();
    const RECT area = window_.pixelRect(control);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    switch (control.kind()) {
    case ControlKind::Label:
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, p.foreColor);
        drawLabelText(dc, area, p.caption, font(p.font, dpi), fontPixels(p.font, dpi));
        break;
    case ControlKind::Image:
    case ControlKind::PictureBox:
        if (!p.picture.empty()) {
            const int width = area.right - area.left;
            const int height = area.bottom - area.top;
            if (p.stretch && control.kind() == ControlKind::Image) {
                drawPicture(dc, stretchedPicture(p.picture, dpi, width, height), area.left, area.top, width,
                            height);
            } else {
                const Bitmap& image = picture(p.picture, dpi);
                drawPicture(dc, image, area.left, area.top, naturalPixels(image.width, dpi, image.scale),
                            naturalPixels(image.height, dpi, image.scale));
            }
        }
        break;
    case ControlKind::Frame: {
        RECT edge = area;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        break;
    }
    case ControlKind::TextBox:
    case ControlKind::PictureButton:
        break;
    }
    RestoreDC(dc, saved);
}

void Win32Scene::paint(HDC dc, const Control& upTo) const {
    const RECT area = window_.pixelRect(upTo);
    POINT origin{};
    OffsetViewportOrgEx(dc, -area.left, -area.top, &origin);
    HBRUSH background = CreateSolidBrush(window_.form().props().backColor);
    FillRect(dc, &area, background);
    DeleteObject(background);
    for (const Control* control : window_.stacking()) {
        RECT overlap{};
        const RECT other = window_.pixelRect(*control);
        if (isPainted(control->kind()) && control->props().visible && IntersectRect(&overlap, &area, &other))
            paintContent(dc, *control);
        if (control == &upTo) break;
    }
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

} // namespace forms::win32
