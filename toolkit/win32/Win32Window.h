#pragma once

#include "toolkit/Native.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace forms::win32 {

class Win32Control;

// The top-level window of a form: the window body, frameless, and the parent of every control's window.
class Win32Window : public NativeWindow {
public:
    explicit Win32Window(Form& form);
    ~Win32Window() override;

    std::unique_ptr<NativeControl> createControl(Control& control) override;
    void controlsCreated() override;
    Twips textWidth(const Font& face, const std::string& text) const override;
    void updateSize() override;
    void updateCaption() override;
    void place() override;
    void show(Form* owner, bool modal) override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    ScreenArea screenArea() const override;
    void presentFrame() override;

    static Win32Window* of(HWND window);
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    Form& form() const { return form_; }
    HWND hwnd() const { return hwnd_; }
    UINT dpi() const { return dpi_; }
    // Where the toolkit last put the window, in pixels.
    POINT placedPixels() const { return placed_; }
    RECT pixelRect(const Control& control) const;

    // Tab and Escape, wherever in the window they were pressed; true when the key was used.
    bool handleKey(WPARAM key);

    // What lies under a control and the control itself, for a surface that draws its own background.
    void paintScene(HDC dc, const Control& upTo) const;
    // Repaints an area of the window body together with every control over it.
    void invalidate(const RECT& area) const;
    // Labels and images in design order, then the windowed controls: bottom to top.
    const std::vector<Control*>& stacking() const { return stacking_; }

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // One per message; no answer leaves the message to the system's default handling.
    std::optional<LRESULT> onEraseBackground(HDC dc);
    std::optional<LRESULT> onButtonDown(UINT message, WPARAM keys, LPARAM point);
    std::optional<LRESULT> onMouseMove(WPARAM keys, LPARAM point);
    std::optional<LRESULT> onButtonUp(WPARAM keys);
    std::optional<LRESULT> onKeyDown(WPARAM key);
    std::optional<LRESULT> onCommand(WPARAM wParam, HWND child);
    std::optional<LRESULT> onDrawItem(const DRAWITEMSTRUCT& item);
    std::optional<LRESULT> onEditColors(HDC dc, HWND edit);
    std::optional<LRESULT> onActivate(WPARAM wParam);
    std::optional<LRESULT> onPositionChanging(WINDOWPOS& position);
    std::optional<LRESULT> onPositionChanged(const WINDOWPOS& position);
    std::optional<LRESULT> onDpiChanged(UINT dpi, const RECT& suggested);
    std::optional<LRESULT> onClose();
    std::optional<LRESULT> onSizeLimits(MINMAXINFO& limits);
    std::optional<LRESULT> onSystemCommand(WPARAM command);
    void pointer(std::function<void(const PointerEvent&)> Form::*handler, LPARAM point, int button,
                 WPARAM keys);
    Win32Control* nativeOf(HWND child) const;
    void applySize(SIZE size);
    void applyPendingShrink();
    void placeRestored(const POINT* at, const SIZE* size);

    Form& form_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = 96;
    POINT placed_{0, 0};
    SIZE size_{0, 0}; // the window's size as the program last set it
    std::optional<SIZE> pendingShrink_;
    bool placing_ = false;
    HWND disabledOwner_ = nullptr;
    std::vector<Control*> stacking_;
    bool controlsSettled_ = false;
};

} // namespace forms::win32
