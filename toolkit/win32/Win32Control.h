#pragma once

#include "toolkit/Native.h"

#include <windows.h>

#include <string>

namespace forms::win32 {

class Win32Window;

// Drawn by the toolkit rather than by a system control, so they can appear in what lies beneath a surface.
constexpr bool isPainted(ControlKind kind) {
    return kind != ControlKind::TextBox && kind != ControlKind::PictureButton;
}

// A window's name for assistive technology, where it has no caption: set beside the window when assistive
// technology first asks for it (nameAsked on WM_GETOBJECT), so the accessibility library and COM load only
// for those who use them. An empty name forgets the window. Controls answer for themselves (Win32Accessible).
void annotateName(HWND hwnd, const std::wstring& name);
void nameAsked(HWND hwnd);

// Keeps a control's child window in step with the control's properties. Text boxes are EDIT windows, picture
// buttons owner-drawn BUTTON windows, everything else a surface of the toolkit's own; a label's window text
// is its caption, so other programs read it as they read any window's.
class Win32Control : public NativeControl {
public:
    Win32Control(Control& control, Win32Window& window);
    ~Win32Control() override;

    void update(ControlProp changed) override;
    void setFocus() override;
    int captionLineCount() const override;

    static Win32Control* of(HWND window);
    Control& control() const { return control_; }
    Win32Window& window() const { return window_; }
    HWND hwnd() const { return hwnd_; }
    HBRUSH backBrush() const { return backBrush_; }
    HCURSOR pointerShape() const;
    // Draws a picture button, in its second state while pressed.
    void drawButton(HDC dc, const RECT& area, bool pressed) const;

    // Labels and images click on release.
    ReleaseClick releaseClick;

private:
    void applyGeometry();
    void applyCaption();
    void applyColors();
    void loadPictures();
    // What measure(dc, pixel size) finds with the control's font selected into dc.
    template <typename Measure> auto measured(Measure measure) const;

    Control& control_;
    Win32Window& window_;
    HWND hwnd_ = nullptr;
    RECT rect_{};
    bool positioned_ = false;
    HBRUSH backBrush_ = nullptr;
};

} // namespace forms::win32
