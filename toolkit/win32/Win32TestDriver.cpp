#include "toolkit/TestDriver.h"

#include "toolkit/Hooks.h"
#include "toolkit/win32/Win32Control.h"
#include "toolkit/win32/Win32Skin.h"
#include "toolkit/win32/Win32Window.h"

#include <oleacc.h>

#include <algorithm>
#include <cmath>

namespace forms::testing {

namespace {

std::function<void(const std::string&)>& fatalErrorBoxHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

// The uncaught-error box answers itself for a test: its text goes to the handler, then OK is pressed.
void CALLBACK answerErrorBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    KillTimer(nullptr, id);
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM longest) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            if (_wcsicmp(name, L"Static") != 0) return TRUE;
            const int length = GetWindowTextLengthW(child);
            auto& best = *reinterpret_cast<std::wstring*>(longest);
            if (length > static_cast<int>(best.size())) {
                best.assign(static_cast<std::size_t>(length) + 1, L'\0');
                GetWindowTextW(child, best.data(), length + 1);
                best.resize(static_cast<std::size_t>(length));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    fatalErrorBoxHandler()(win32::narrow(text));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// The name assistive technology reads for the window.
std::string readAccessibleName(HWND hwnd) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result;
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        result = win32::narrow(std::wstring(name, SysStringLen(name)));
        SysFreeString(name);
    }
    object->Release();
    return result;
}

win32::Win32Control& nativeOf(const Control& control) {
    auto* native = static_cast<win32::Win32Control*>(control.native());
    if (!native || !IsWindow(native->hwnd())) throw Error("Control " + control.name() + " has no window");
    return *native;
}

win32::Win32Window& windowOf(const Form& form) {
    auto* native = static_cast<win32::Win32Window*>(form.native());
    if (!native) throw Error("Form " + form.name() + " is not loaded");
    return *native;
}

WPARAM keysOf(int buttons, int shift) {
    return (buttons & LeftButton ? MK_LBUTTON : 0) | (buttons & RightButton ? MK_RBUTTON : 0) |
           (buttons & MiddleButton ? MK_MBUTTON : 0) | (shift & ShiftMask ? MK_SHIFT : 0) |
           (shift & ControlMask ? MK_CONTROL : 0);
}

// A pointer message at (x, y) twips of the surface, with client coordinates derived as the system would
// derive them from the pointer's screen position.
void send(HWND surface, const win32::Win32Window& window, UINT message, int buttonsHeld, int shift, float x,
          float y) {
    RECT surfaceRect{};
    RECT windowRect{};
    GetWindowRect(surface, &surfaceRect);
    GetWindowRect(window.hwnd(), &windowRect);
    const POINT placed = window.placedPixels();
    POINT point{placed.x + surfaceRect.left - windowRect.left + toPixels(x, window.dpi()),
                placed.y + surfaceRect.top - windowRect.top + toPixels(y, window.dpi())};
    ScreenToClient(surface, &point);
    // The Alt key is not part of a pointer message; the handler reads it from the keyboard state.
    BYTE keyboard[256] = {};
    const bool alt = shift & AltMask;
    if (alt) {
        GetKeyboardState(keyboard);
        keyboard[VK_MENU] |= 0x80;
        SetKeyboardState(keyboard);
    }
    SendMessageW(surface, message, keysOf(buttonsHeld, shift),
                 MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    if (alt) {
        keyboard[VK_MENU] &= 0x7F;
        SetKeyboardState(keyboard);
    }
}

UINT downMessage(int button) {
    return button & LeftButton ? WM_LBUTTONDOWN : button & RightButton ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
}

UINT upMessage(int button) {
    return button & LeftButton ? WM_LBUTTONUP : button & RightButton ? WM_RBUTTONUP : WM_MBUTTONUP;
}

void activate(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(root);
    SetActiveWindow(root);
}

// Where a key goes: the window with the keyboard focus, or the active window itself.
HWND focusTarget() {
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) throw Error("No window is active");
    return target;
}

void key(HWND target, UINT virtualKey, wchar_t character) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    SendMessageW(target, WM_KEYDOWN, virtualKey, 1 | static_cast<LPARAM>(scan) << 16);
    // The press may have closed the window; the key still comes up where it went down if it is there.
    if (character && IsWindow(target))
        SendMessageW(target, WM_CHAR, character, 1 | static_cast<LPARAM>(scan) << 16);
    if (IsWindow(target))
        SendMessageW(target, WM_KEYUP, virtualKey, 1 | static_cast<LPARAM>(scan) << 16 | 0xC0000000L);
}

} // namespace

void processEvents() {
    MSG message;
    // Bounded, so that a window that keeps asking to be drawn cannot hold a test forever.
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void pointerDown(Control& control, int button, int shift, float x, float y) {
    send(nativeOf(control).hwnd(), windowOf(control.form()), downMessage(button), button, shift, x, y);
}

void pointerMove(Control& control, int button, int shift, float x, float y) {
    send(nativeOf(control).hwnd(), windowOf(control.form()), WM_MOUSEMOVE, button, shift, x, y);
}

void pointerUp(Control& control, int button, int shift, float x, float y) {
    send(nativeOf(control).hwnd(), windowOf(control.form()), upMessage(button), 0, shift, x, y);
}

void pointerDown(Form& form, int button, int shift, float x, float y) {
    win32::Win32Window& window = windowOf(form);
    send(window.hwnd(), window, downMessage(button), button, shift, x, y);
}

void pointerMove(Form& form, int button, int shift, float x, float y) {
    win32::Win32Window& window = windowOf(form);
    send(window.hwnd(), window, WM_MOUSEMOVE, button, shift, x, y);
}

namespace {

// The middle of the control, in twips of the control.
POINTFLOAT middleOf(const Control& control) {
    RECT area{};
    GetWindowRect(nativeOf(control).hwnd(), &area);
    const UINT dpi = windowOf(control.form()).dpi();
    return POINTFLOAT{toTwips((area.right - area.left) / 2.0, dpi),
                      toTwips((area.bottom - area.top) / 2.0, dpi)};
}

} // namespace

void click(Control& control) {
    HWND hwnd = nativeOf(control).hwnd();
    const auto [x, y] = middleOf(control);
    if (takesFocus(control.kind())) {
        activate(hwnd);
        SetFocus(hwnd);
    }
    pointerDown(control, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
}

void doubleClick(Control& control) {
    HWND hwnd = nativeOf(control).hwnd();
    const auto [x, y] = middleOf(control);
    pointerDown(control, LeftButton, 0, x, y);
    pointerUp(control, LeftButton, 0, x, y);
    // Windows of a class with double-clicks get this for the second press; others get a second press.
    const bool doubleClicks = GetClassLongPtrW(hwnd, GCL_STYLE) & CS_DBLCLKS;
    send(hwnd, windowOf(control.form()), doubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, LeftButton, 0, x,
         y);
    pointerUp(control, LeftButton, 0, x, y);
}

void closeFromWindowSystem(Form& form) {
    SendMessageW(windowOf(form).hwnd(), WM_CLOSE, 0, 0);
}

SizeLimits sizeLimits(const Form& form) {
    HWND hwnd = windowOf(form).hwnd();
    MINMAXINFO limits{};
    RECT area{};
    GetWindowRect(hwnd, &area);
    // What the system asks before the user resizes or maximises; without an answer anything goes.
    limits.ptMinTrackSize = POINT{0, 0};
    limits.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    const bool sizable = GetWindowLongPtrW(hwnd, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX);
    if (sizable) return {0, 0, limits.ptMaxTrackSize.x, limits.ptMaxTrackSize.y};
    return {limits.ptMinTrackSize.x, limits.ptMinTrackSize.y, limits.ptMaxTrackSize.x,
            limits.ptMaxTrackSize.y};
}

void focus(Control& control) {
    HWND hwnd = nativeOf(control).hwnd();
    activate(hwnd);
    SetFocus(hwnd);
}

void activate(Form& form) {
    activate(windowOf(form).hwnd());
}

void pressKey(Key which) {
    switch (which) {
    case Key::Enter:
        key(focusTarget(), VK_RETURN, L'\r');
        break;
    case Key::Space:
        key(focusTarget(), VK_SPACE, L' ');
        break;
    case Key::Escape:
        key(focusTarget(), VK_ESCAPE, 0x1B);
        break;
    case Key::Tab:
        key(focusTarget(), VK_TAB, L'\t');
        break;
    }
}

void typeText(const std::string& text) {
    for (const wchar_t ch : win32::widen(text)) {
        const SHORT scan = VkKeyScanW(ch);
        const UINT virtualKey = scan == -1 ? 0 : static_cast<UINT>(scan & 0xFF);
        key(focusTarget(), virtualKey, ch);
    }
}

void paste(const std::string& text) {
    const HWND target = focusTarget();
    const std::wstring wide = win32::widen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!block || !OpenClipboard(target)) throw Error("The clipboard is not free");
    std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(GlobalLock(block)));
    GlobalUnlock(block);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    SendMessageW(target, WM_PASTE, 0, 0);
}

PointerShape pointerShape(const Control& control) {
    win32::Win32Control& native = nativeOf(control);
    // Asks the window for its pointer as the system does when the pointer moves over it.
    SendMessageW(native.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(native.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const HCURSOR shown = GetCursor();
    if (shown == LoadCursorW(nullptr, IDC_ARROW)) return PointerShape::Arrow;
    if (shown == LoadCursorW(nullptr, IDC_IBEAM)) return PointerShape::IBeam;
    const ControlProps& p = control.props();
    if (!p.mouseIcon.empty() && shown == win32::cursor(p.mouseIcon, windowOf(control.form()).dpi()))
        return PointerShape::Hand;
    return PointerShape::Other;
}

// Each surface as its own window draws it, the system's controls through their own drawing, into one bitmap.
Pixels grab(const Form& form) {
    const win32::Win32Window& window = windowOf(form);
    HWND hwnd = window.hwnd();
    RECT client{};
    GetClientRect(hwnd, &client);
    Pixels pixels{client.right, client.bottom, {}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels.width, -pixels.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    HBRUSH background = CreateSolidBrush(form.props().backColor);
    FillRect(dc, &client, background);
    DeleteObject(background);
    for (const Control* control : window.stacking()) {
        if (!control->props().visible || !control->native()) continue;
        auto* native = static_cast<win32::Win32Control*>(control->native());
        const RECT area = window.pixelRect(*control);
        if (win32::isPainted(control->kind())) {
            const int saved = SaveDC(dc);
            OffsetViewportOrgEx(dc, area.left, area.top, nullptr);
            IntersectClipRect(dc, 0, 0, area.right - area.left, area.bottom - area.top);
            window.paintScene(dc, *control);
            RestoreDC(dc, saved);
        } else if (control->kind() == ControlKind::PictureButton) {
            native->drawButton(dc, area, SendMessageW(native->hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED);
        } else {
            // The text box's own drawing, inside the sunken edge that the system draws around it.
            const int saved = SaveDC(dc);
            RECT edge{area.left, area.top, area.right, area.bottom};
            DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
            POINT inner{0, 0};
            MapWindowPoints(native->hwnd(), hwnd, &inner, 1);
            RECT inside{};
            GetClientRect(native->hwnd(), &inside);
            IntersectClipRect(dc, inner.x, inner.y, inner.x + inside.right, inner.y + inside.bottom);
            OffsetViewportOrgEx(dc, inner.x, inner.y, nullptr);
            SendMessageW(native->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                         PRF_CLIENT | PRF_ERASEBKGND);
            RestoreDC(dc, saved);
        }
    }
    GdiFlush();
    const auto* argb = static_cast<const std::uint32_t*>(bits);
    pixels.argb.assign(argb, argb + static_cast<std::size_t>(pixels.width) * pixels.height);
    for (std::uint32_t& pixel : pixels.argb)
        pixel |= 0xFF000000u;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return pixels;
}

std::string accessibleName(const Control& control) {
    return readAccessibleName(nativeOf(control).hwnd());
}

std::string windowTitle(const Form& form) {
    HWND hwnd = windowOf(form).hwnd();
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd, title.data(), length + 1);
    title.resize(static_cast<std::size_t>(length));
    return win32::narrow(title);
}

void setFatalErrorBoxHandler(std::function<void(const std::string&)> handler) {
    fatalErrorBoxHandler() = std::move(handler);
    hooks().fatalErrorBoxShowing = [] {
        if (fatalErrorBoxHandler()) SetTimer(nullptr, 0, USER_TIMER_MINIMUM, answerErrorBox);
    };
}

} // namespace forms::testing
