#include "toolkit/win32/Win32Control.h"

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Metrics.h"
#include "toolkit/win32/Win32Accessible.h"
#include "toolkit/win32/Win32Input.h"
#include "toolkit/win32/Win32OnDemand.h"
#include "toolkit/win32/Win32Platform.h"
#include "toolkit/win32/Win32Skin.h"
#include "toolkit/win32/Win32Window.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

namespace forms::win32 {

namespace {

constexpr const wchar_t* kLinkProp = L"Kelvara.Control";
WNDPROC originalEdit = nullptr;
WNDPROC originalButton = nullptr;

void sendPointer(HWND hwnd, std::function<void(const PointerEvent&)> Control::*handler, LPARAM point,
                 int button, WPARAM keys) {
    Win32Control* native = Win32Control::of(hwnd);
    if (!native || !(native->control().*handler)) return;
    const PointerEvent event = pointerEvent(native->window(), hwnd, point, button, keys);
    Control* control = &native->control();
    deliver([&] { (control->*handler)(event); });
}

void clicked(HWND hwnd) {
    if (Win32Control* native = Win32Control::of(hwnd); native && native->control().onClick)
        deliver(native->control().onClick);
}

// Messages that every control's window answers alike; true when answered.
bool common(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    Win32Control* native = Win32Control::of(hwnd);
    if (!native) return false;
    switch (message) {
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) return false;
        SetCursor(native->pointerShape());
        result = TRUE;
        return true;
    case WM_KEYDOWN:
        if ((wParam != VK_TAB && wParam != VK_ESCAPE) || !native->window().handleKey(wParam)) return false;
        result = 0;
        return true;
    case WM_SETFOCUS: {
        Control* control = &native->control();
        deliver([control] { control->form().focusTracker().focusIn(*control); });
        return false;
    }
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
        result = Win32Accessible::answer(hwnd, wParam);
        return result != 0;
    default:
        return false;
    }
}

LRESULT CALLBACK surfaceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (common(hwnd, message, wParam, lParam, result)) return result;
    Win32Control* native = Win32Control::of(hwnd);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        if (native) {
            // Drawn off screen first, so the layers beneath never flash through.
            RECT client{};
            GetClientRect(hwnd, &client);
            HDC buffer = CreateCompatibleDC(dc);
            HBITMAP bitmap =
                CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
            HGDIOBJ old = SelectObject(buffer, bitmap);
            native->window().paintScene(buffer, native->control());
            BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
            SelectObject(buffer, old);
            DeleteObject(bitmap);
            DeleteDC(buffer);
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        if (native) native->window().paintScene(reinterpret_cast<HDC>(wParam), native->control());
        return 0;
    case WM_LBUTTONDBLCLK:
        if (!native) break;
        if (!secondPressClicks(native->control().kind())) {
            native->releaseClick.cancel();
            return 0;
        }
        message = WM_LBUTTONDOWN;
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!native) break;
        native->releaseClick.pressed(pressedButton(message));
        SetCapture(hwnd);
        sendPointer(hwnd, &Control::onMouseDown, lParam, pressedButton(message), wParam);
        return 0;
    case WM_MOUSEMOVE:
        sendPointer(hwnd, &Control::onMouseMove, lParam, buttonState(wParam), wParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        if (!native) break;
        RECT client{};
        GetClientRect(hwnd, &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool click = native->releaseClick.released(pressedButton(message), PtInRect(&client, at));
        if (!buttonState(wParam) && GetCapture() == hwnd) ReleaseCapture();
        if (click) clicked(hwnd);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (native) native->releaseClick.cancel();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Text boxes and buttons keep the system's handling; the toolkit hears their pointer and focus first.
LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (common(hwnd, message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_CHAR:
        // Keys the window answers, which a single-line box would only beep at.
        if (wParam == L'\t' || wParam == 0x1B || wParam == L'\r' || wParam == L'\n') return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        sendPointer(hwnd, &Control::onMouseDown, lParam, pressedButton(message), wParam);
        break;
    case WM_MOUSEMOVE:
        sendPointer(hwnd, &Control::onMouseMove, lParam, buttonState(wParam), wParam);
        break;
    default:
        break;
    }
    return CallWindowProcW(originalEdit, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (common(hwnd, message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_LBUTTONDBLCLK:
        // The system's owner-drawn button would take the second press for no press at all.
        if (Win32Control* native = Win32Control::of(hwnd);
            !native || !secondPressClicks(native->control().kind()))
            return 0;
        message = WM_LBUTTONDOWN;
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        sendPointer(hwnd, &Control::onMouseDown, lParam, pressedButton(message), wParam);
        break;
    case WM_MOUSEMOVE:
        sendPointer(hwnd, &Control::onMouseMove, lParam, buttonState(wParam), wParam);
        break;
    case WM_KEYDOWN:
        if (Win32Control* native = Win32Control::of(hwnd); wParam == VK_RETURN && native) {
            Control* control = &native->control();
            deliver([control] { answerEnter(*control); });
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(originalButton, hwnd, message, wParam, lParam);
}

void subclass(HWND hwnd, WNDPROC proc, WNDPROC& original) {
    auto previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    if (!original) original = previous;
}

} // namespace

void registerSurfaceClass() {
    WNDCLASSEXW surface{};
    surface.cbSize = sizeof(surface);
    surface.style = CS_DBLCLKS; // so the second press of a double-click can be told from a click
    surface.lpfnWndProc = surfaceProc;
    surface.hInstance = instance();
    surface.lpszClassName = kSurfaceClass;
    RegisterClassExW(&surface);
}

Win32Control::Win32Control(Control& control, Win32Window& window)
    : control_(control)
    , window_(window) {
    const ControlProps& p = control.props();
    const wchar_t* windowClass = kSurfaceClass;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD extended = 0;
    std::wstring text = widen(p.accessibleName);
    switch (control.kind()) {
    case ControlKind::TextBox:
        windowClass = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL;
        extended = WS_EX_CLIENTEDGE;
        text = widen(p.caption);
        break;
    case ControlKind::PictureButton:
        windowClass = L"BUTTON";
        style |= BS_OWNERDRAW;
        break;
    case ControlKind::Label:
        text = widen(p.caption);
        break;
    default:
        break;
    }
    const auto& all = window.form().controls();
    const auto id = std::find(all.begin(), all.end(), &control) - all.begin() + 1;
    // Created where and as the properties say: every call into the window system counts when a window loads.
    rect_ = window.pixelRect(control);
    positioned_ = true;
    if (p.visible) style |= WS_VISIBLE;
    hwnd_ = CreateWindowExW(extended, windowClass, text.c_str(), style, rect_.left, rect_.top,
                            rect_.right - rect_.left, rect_.bottom - rect_.top, window.hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
    if (!hwnd_) throw Error("Can't create the control " + p.name);
    SetPropW(hwnd_, kLinkProp, this);
    if (control.kind() == ControlKind::TextBox) {
        subclass(hwnd_, editProc, originalEdit);
        update(ControlProp::Font);
        update(ControlProp::BackColor);
    }
    if (control.kind() == ControlKind::PictureButton) subclass(hwnd_, buttonProc, originalButton);
    loadPictures();
}

Win32Control::~Win32Control() {
    RemovePropW(hwnd_, kLinkProp);
    if (backBrush_) DeleteObject(backBrush_);
}

Win32Control* Win32Control::of(HWND window) {
    return window ? static_cast<Win32Control*>(GetPropW(window, kLinkProp)) : nullptr;
}

void Win32Control::update(ControlProp changed) {
    const ControlProps& p = control_.props();
    switch (changed) {
    case ControlProp::Geometry:
        applyGeometry();
        break;
    case ControlProp::Visible:
        ShowWindow(hwnd_, p.visible ? SW_SHOWNA : SW_HIDE);
        if (isPainted(control_.kind())) window_.invalidate(rect_);
        break;
    case ControlProp::Caption:
        applyCaption();
        break;
    case ControlProp::Font:
        if (control_.kind() == ControlKind::TextBox) {
            SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font(p.font, window_.dpi())), TRUE);
            // The margins a new font brings would leave the box too little room for the widest figure, and
            // the box would scroll its start out of sight: the toolkit's inset instead.
            const int inset = MulDiv(kTextBoxInset, static_cast<int>(window_.dpi()), kDesignDpi);
            SendMessageW(hwnd_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(inset, inset));
        } else
            window_.invalidate(rect_);
        break;
    case ControlProp::ForeColor:
    case ControlProp::BackColor:
        applyColors();
        break;
    case ControlProp::Picture:
        loadPictures();
        if (isPainted(control_.kind()))
            window_.invalidate(rect_);
        else
            InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case ControlProp::Pointer:
        loadPictures();
        break;
    }
}

void Win32Control::applyGeometry() {
    const RECT area = window_.pixelRect(control_);
    const RECT previous = rect_;
    if (positioned_ && EqualRect(&area, &previous)) return;
    positioned_ = true;
    rect_ = area;
    // Nothing on screen is copied along: a transparent surface shows what lies under its new place.
    SetWindowPos(hwnd_, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    if (isPainted(control_.kind()) && control_.props().visible) {
        window_.invalidate(previous);
        window_.invalidate(area);
    }
}

void Win32Control::applyCaption() {
    const std::wstring text = widen(control_.props().caption);
    if (control_.kind() == ControlKind::Label) {
        SetWindowTextW(hwnd_, text.c_str());
        window_.invalidate(rect_);
    } else if (control_.kind() == ControlKind::TextBox) {
        const int length = GetWindowTextLengthW(hwnd_);
        std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(hwnd_, shown.data(), length + 1);
        shown.resize(static_cast<std::size_t>(length));
        if (shown != text) SetWindowTextW(hwnd_, text.c_str());
    }
}

void Win32Control::applyColors() {
    if (control_.kind() == ControlKind::TextBox) {
        if (backBrush_) DeleteObject(backBrush_);
        backBrush_ = CreateSolidBrush(control_.props().backColor);
    }
    if (isPainted(control_.kind()))
        window_.invalidate(rect_);
    else
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Control::loadPictures() {
    const ControlProps& p = control_.props();
    if (!p.picture.empty() && p.stretch && control_.kind() == ControlKind::Image) {
        const RECT area = window_.pixelRect(control_);
        stretchedPicture(p.picture, window_.dpi(), area.right - area.left, area.bottom - area.top);
    } else if (!p.picture.empty()) {
        picture(p.picture, window_.dpi());
    }
    if (!p.downPicture.empty()) picture(p.downPicture, window_.dpi());
    if (p.mousePointer == MousePointer::Custom && !p.mouseIcon.empty()) cursor(p.mouseIcon, window_.dpi());
}

HCURSOR Win32Control::pointerShape() const {
    const ControlProps& p = control_.props();
    if (p.mousePointer == MousePointer::Custom && !p.mouseIcon.empty()) {
        // Asked from inside the system's pointer handling, where nothing may throw: a pointer that can't be
        // made at a new screen scaling leaves the arrow.
        try {
            return cursor(p.mouseIcon, window_.dpi());
        } catch (const Error&) {
        }
    }
    return LoadCursorW(nullptr, control_.kind() == ControlKind::TextBox ? IDC_IBEAM : IDC_ARROW);
}

void Win32Control::drawButton(HDC dc, const RECT& area, bool pressed) const {
    const ControlProps& p = control_.props();
    HBRUSH face = CreateSolidBrush(p.backColor);
    FillRect(dc, &area, face);
    DeleteObject(face);
    const Picture& shown = pressed && !p.downPicture.empty() ? p.downPicture : p.picture;
    if (shown.empty()) return;
    const Bitmap& image = picture(shown, window_.dpi());
    const int width = naturalPixels(image.width, window_.dpi(), image.scale);
    const int height = naturalPixels(image.height, window_.dpi(), image.scale);
    drawPicture(dc, image, area.left + (area.right - area.left - width) / 2,
                area.top + (area.bottom - area.top - height) / 2, width, height);
}

void Win32Control::setFocus() {
    SetFocus(hwnd_);
}

template <typename Measure> auto Win32Control::measured(Measure measure) const {
    const UINT dpi = window_.dpi();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font(control_.props().font, dpi));
    const auto result = measure(dc, fontPixels(control_.props().font, dpi));
    SelectObject(dc, old);
    DeleteDC(dc);
    return result;
}

int Win32Control::captionLineCount() const {
    if (control_.kind() != ControlKind::Label) return 1;
    const RECT area = window_.pixelRect(control_);
    return measured([&](HDC dc, int pixelSize) {
        return labelLineCount(dc, area.right - area.left, control_.props().caption, pixelSize);
    });
}

namespace {

std::map<HWND, std::wstring>& namesToGive() {
    static std::map<HWND, std::wstring> names;
    return names;
}

} // namespace

void annotateName(HWND hwnd, const std::wstring& name) {
    if (name.empty())
        namesToGive().erase(hwnd);
    else
        namesToGive()[hwnd] = name;
}

void nameAsked(HWND hwnd) {
    const auto it = namesToGive().find(hwnd);
    if (it == namesToGive().end()) return;
    const std::wstring name = std::move(it->second);
    namesToGive().erase(it);
    IAccPropServices* services = nullptr;
    if (FAILED(createComObject(CLSID_AccPropServices, IID_IAccPropServices,
                               reinterpret_cast<void**>(&services))))
        return;
    services->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                             name.c_str());
    services->Release();
}

} // namespace forms::win32
