#include "toolkit/win32/Win32Window.h"

#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Stacking.h"
#include "toolkit/win32/Win32Control.h"
#include "toolkit/win32/Win32FullScreen.h"
#include "toolkit/win32/Win32Input.h"
#include "toolkit/win32/Win32Platform.h"
#include "toolkit/win32/Win32Scene.h"
#include "toolkit/win32/Win32Skin.h"

#include <utility>

namespace forms::win32 {

namespace {

constexpr const wchar_t* kDoomedProp = L"Kelvara.Doomed";

} // namespace

Win32Window::Win32Window(Form& form)
    : form_(form) {
    registerClasses();
    const FormProps& p = form.props();
    // WS_MINIMIZEBOX and WS_SYSMENU let a frameless window be minimised and restored from its taskbar button;
    // with no WS_THICKFRAME or WS_MAXIMIZEBOX the user can neither resize nor maximise it.
    hwnd_ = CreateWindowExW(WS_EX_APPWINDOW, kFormClass, widen(form.windowTitle()).c_str(),
                            WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                            nullptr, instance(), this);
    if (!hwnd_) throw Error("Can't create the window " + p.name);
    dpi_ = windowDpi(hwnd_);
    if (!p.accessibleName.empty()) annotateName(hwnd_, widen(p.accessibleName));
    if (!p.icon.empty()) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(icon(p.icon, systemMetric(SM_CXICON, dpi_))));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(icon(p.icon, systemMetric(SM_CXSMICON, dpi_))));
    }
    updateSize();
}

Win32Window::~Win32Window() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    annotateName(hwnd_, {});
    // The owner takes the activation back only if it is enabled when this window disappears.
    if (disabledOwner_ && IsWindow(disabledOwner_)) EnableWindow(disabledOwner_, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    // The window may be unloading from one of its own messages: it goes once they have returned.
    SetPropW(hwnd_, kDoomedProp, reinterpret_cast<HANDLE>(1));
    HWND doomed = hwnd_;
    platform::post([doomed] {
        if (IsWindow(doomed) && GetPropW(doomed, kDoomedProp)) {
            RemovePropW(doomed, kDoomedProp);
            DestroyWindow(doomed);
        }
    });
}

Win32Window* Win32Window::of(HWND window) {
    // Any top-level window may ask, such as a message box; only the toolkit's own carry a form.
    wchar_t name[32] = {};
    if (!window || !GetClassNameW(window, name, 32) || std::wstring(name) != kFormClass) return nullptr;
    return reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::unique_ptr<NativeControl> Win32Window::createControl(Control& control) {
    auto native = std::make_unique<Win32Control>(control, *this);
    if (!controlsSettled_) return native;
    Control* above = createdAbove(form_, control);
    // Just below the lowest control over it: the window it is placed after is the one above it.
    SetWindowPos(native->hwnd(), above ? static_cast<Win32Control*>(above->native())->hwnd() : HWND_TOP, 0, 0,
                 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The surfaces over it draw what lies beneath them, which now includes it.
    if (isPainted(control.kind())) invalidate(pixelRect(control));
    return native;
}

void Win32Window::controlsCreated() {
    stacking_ = stackingOrder(form_);
    for (Control* control : stacking_)
        if (control->native())
            SetWindowPos(static_cast<Win32Control*>(control->native())->hwnd(), HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    controlsSettled_ = true;
}

Twips Win32Window::textWidth(const Font& face, const std::string& text) const {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font(face, dpi_));
    const double width = singleLineWidth(dc, text, fontPixels(face, static_cast<int>(dpi_)));
    SelectObject(dc, old);
    DeleteDC(dc);
    return static_cast<Twips>(width * 96.0 / dpi_ * kTwipsPerPixel);
}

void Win32Window::updateSize() {
    const FormProps& p = form_.props();
    const SIZE size{toPixels(p.width, dpi_), toPixels(p.height, dpi_)};
    if (IsWindowVisible(hwnd_) && !IsIconic(hwnd_) && size.cy < size_.cy) {
        // Shrunk at once, the window would show for a moment without its bottom border at its new place.
        if (!pendingShrink_) {
            const HWND hwnd = hwnd_;
            platform::post([hwnd] {
                if (Win32Window* window = of(hwnd)) window->applyPendingShrink();
            });
        }
        pendingShrink_ = size;
        return;
    }
    pendingShrink_.reset();
    applySize(size);
}

void Win32Window::applySize(SIZE size) {
    size_ = size;
    if (IsIconic(hwnd_))
        placeRestored(nullptr, &size);
    else
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moving or sizing an iconic window would map it again: the change waits in the place it is restored to.
void Win32Window::placeRestored(const POINT* at, const SIZE* size) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd_, &placement);
    RECT& normal = placement.rcNormalPosition;
    if (at) {
        // Placements count from the work area's corner, not the screen's.
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info);
        OffsetRect(&normal, at->x - (info.rcWork.left - info.rcMonitor.left) - normal.left,
                   at->y - (info.rcWork.top - info.rcMonitor.top) - normal.top);
    }
    if (size) {
        normal.right = normal.left + size->cx;
        normal.bottom = normal.top + size->cy;
    }
    placement.flags = 0;
    placement.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(hwnd_, &placement);
}

void Win32Window::applyPendingShrink() {
    if (pendingShrink_) applySize(*std::exchange(pendingShrink_, std::nullopt));
}

void Win32Window::updateCaption() {
    SetWindowTextW(hwnd_, widen(form_.windowTitle()).c_str());
}

void Win32Window::place() {
    placed_ = POINT{toPixels(form_.left(), dpi_), toPixels(form_.top(), dpi_)};
    placing_ = true;
    if (IsIconic(hwnd_))
        placeRestored(&placed_, nullptr);
    else
        SetWindowPos(hwnd_, nullptr, placed_.x, placed_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    placing_ = false;
}

void Win32Window::show(Form* owner, bool modal) {
    if (owner) {
        // An owned window stays above its owner and has no taskbar button of its own.
        HWND ownerWindow = static_cast<Win32Window*>(owner->native())->hwnd();
        SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
        SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & ~WS_EX_APPWINDOW);
        if (modal && IsWindowEnabled(ownerWindow)) {
            EnableWindow(ownerWindow, FALSE);
            disabledOwner_ = ownerWindow;
        }
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

WindowState Win32Window::windowState() const {
    return IsIconic(hwnd_) ? WindowState::Minimized : WindowState::Normal;
}

void Win32Window::setWindowState(WindowState state) {
    ShowWindow(hwnd_, state == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
}

ScreenArea Win32Window::screenArea() const {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT area{0, 0, 1024, 768};
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info)) area = info.rcWork;
    return ScreenArea{toTwips(area.left, dpi_), toTwips(area.top, dpi_),
                      toTwips(area.right - area.left, dpi_), toTwips(area.bottom - area.top, dpi_)};
}

void Win32Window::presentFrame() {
    if (IsWindowVisible(hwnd_) && !IsIconic(hwnd_))
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    applyPendingShrink();
}

RECT Win32Window::pixelRect(const Control& control) const {
    const ControlProps& p = control.props();
    return toRect(toPixelRect(p.left, p.top, p.width, p.height, static_cast<int>(dpi_)));
}

Win32Control* Win32Window::nativeOf(HWND child) const {
    Win32Control* native = Win32Control::of(child);
    return native && &native->window() == this ? native : nullptr;
}

bool Win32Window::handleKey(WPARAM key) {
    if (key == VK_TAB) {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        Form* form = &form_;
        deliver([form, back] { form->focusTracker().tab(back); });
        return true;
    }
    return key == VK_ESCAPE && answerEscape(form_);
}

void Win32Window::pointer(std::function<void(const PointerEvent&)> Form::*handler, LPARAM point, int button,
                          WPARAM keys) {
    if (!(form_.*handler)) return;
    const PointerEvent event = pointerEvent(*this, hwnd_, point, button, keys);
    Form* form = &form_;
    deliver([&] { (form->*handler)(event); });
}

void Win32Window::paintScene(HDC dc, const Control& upTo) const {
    Win32Scene(*this).paint(dc, upTo);
}

void Win32Window::invalidate(const RECT& area) const {
    // A hidden window is drawn whole when it shows.
    if (!IsWindowVisible(hwnd_)) return;
    RedrawWindow(hwnd_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::optional<LRESULT> Win32Window::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    if (!placing_) {
        placed_ = POINT{suggested.left, suggested.top};
        form_.movedByWindowSystem(toTwips(suggested.left, dpi_), toTwips(suggested.top, dpi_));
        placing_ = true;
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        placing_ = false;
    }
    updateSize();
    for (Control* control : form_.controls()) {
        if (!control->native()) continue;
        control->native()->update(ControlProp::Geometry);
        control->native()->update(ControlProp::Font);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
}

LRESULT CALLBACK Win32Window::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<Win32Window*>(create->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    if (message == WM_GETOBJECT) nameAsked(hwnd);
    if (auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
        return window->handle(message, wParam, lParam);
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto answered = [&](std::optional<LRESULT> answer) {
        return answer ? *answer : DefWindowProcW(hwnd_, message, wParam, lParam);
    };
    switch (message) {
    case WM_ERASEBKGND:
        return answered(onEraseBackground(reinterpret_cast<HDC>(wParam)));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return answered(onButtonDown(message, wParam, lParam));
    case WM_MOUSEMOVE:
        return answered(onMouseMove(wParam, lParam));
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return answered(onButtonUp(wParam));
    case WM_KEYDOWN:
        return answered(onKeyDown(wParam));
    case WM_COMMAND:
        return answered(onCommand(wParam, reinterpret_cast<HWND>(lParam)));
    case WM_DRAWITEM:
        return answered(onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)));
    case WM_CTLCOLOREDIT:
        return answered(onEditColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_ACTIVATE:
        return answered(onActivate(wParam));
    case WM_WINDOWPOSCHANGING:
        return answered(onPositionChanging(*reinterpret_cast<WINDOWPOS*>(lParam)));
    case WM_WINDOWPOSCHANGED:
        return answered(onPositionChanged(*reinterpret_cast<const WINDOWPOS*>(lParam)));
    case WM_DPICHANGED:
        return answered(onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)));
    case WM_CLOSE:
        return answered(onClose());
    case WM_GETMINMAXINFO:
        return answered(onSizeLimits(*reinterpret_cast<MINMAXINFO*>(lParam)));
    case WM_SYSCOMMAND:
        return answered(onSystemCommand(wParam));
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

std::optional<LRESULT> Win32Window::onEraseBackground(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    HBRUSH background = CreateSolidBrush(form_.props().backColor);
    FillRect(dc, &client, background);
    DeleteObject(background);
    return 1;
}

std::optional<LRESULT> Win32Window::onButtonDown(UINT message, WPARAM keys, LPARAM point) {
    SetCapture(hwnd_);
    pointer(&Form::onMouseDown, point, pressedButton(message), keys);
    return 0;
}

std::optional<LRESULT> Win32Window::onMouseMove(WPARAM keys, LPARAM point) {
    pointer(&Form::onMouseMove, point, buttonState(keys), keys);
    return 0;
}

std::optional<LRESULT> Win32Window::onButtonUp(WPARAM keys) {
    if (!buttonState(keys) && GetCapture() == hwnd_) ReleaseCapture();
    return 0;
}

std::optional<LRESULT> Win32Window::onKeyDown(WPARAM key) {
    if (handleKey(key)) return 0;
    return std::nullopt;
}

std::optional<LRESULT> Win32Window::onCommand(WPARAM wParam, HWND child) {
    Win32Control* native = nativeOf(child);
    if (!native) return std::nullopt;
    Control& control = native->control();
    if (HIWORD(wParam) == BN_CLICKED && control.onClick) {
        deliver(control.onClick);
    } else if (HIWORD(wParam) == EN_CHANGE) {
        const int length = GetWindowTextLengthW(native->hwnd());
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(native->hwnd(), text.data(), length + 1);
        text.resize(static_cast<std::size_t>(length));
        ControlAccess::textEditedByUser(control, narrow(text));
    }
    return 0;
}

std::optional<LRESULT> Win32Window::onDrawItem(const DRAWITEMSTRUCT& item) {
    Win32Control* native = nativeOf(item.hwndItem);
    if (!native) return std::nullopt;
    native->drawButton(item.hDC, item.rcItem, item.itemState & ODS_SELECTED);
    return TRUE;
}

std::optional<LRESULT> Win32Window::onEditColors(HDC dc, HWND edit) {
    Win32Control* native = nativeOf(edit);
    if (!native) return std::nullopt;
    SetTextColor(dc, native->control().props().foreColor);
    SetBkColor(dc, native->control().props().backColor);
    return reinterpret_cast<LRESULT>(native->backBrush());
}

// Without a control to take the focus, the system gives it to the window itself.
std::optional<LRESULT> Win32Window::onActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam)) return std::nullopt;
    Control* focused = nullptr;
    Form* form = &form_;
    deliver([form, &focused] { focused = form->windowActivated(); });
    if (!focused) return std::nullopt;
    return 0;
}

std::optional<LRESULT> Win32Window::onPositionChanging(WINDOWPOS& position) {
    // Only the program sizes its windows: any other size change, such as a maximise, keeps the size.
    if (!(position.flags & SWP_NOSIZE) && size_.cx > 0 && !IsIconic(hwnd_)) {
        position.cx = size_.cx;
        position.cy = size_.cy;
    }
    return std::nullopt;
}

std::optional<LRESULT> Win32Window::onPositionChanged(const WINDOWPOS& position) {
    // Asked to maximise (ShowWindow from another program), the window kept its size; it is not maximised.
    if (IsZoomed(hwnd_))
        SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~WS_MAXIMIZE);
    // The window system moved the window by itself: the user dragged it, or the system placed it.
    if (!placing_ && !(position.flags & SWP_NOMOVE) && !IsIconic(hwnd_) &&
        (position.x != placed_.x || position.y != placed_.y)) {
        const POINT before = placed_;
        placed_ = POINT{position.x, position.y};
        form_.movedByWindowSystem(toTwips(position.x, dpi_), toTwips(position.y, dpi_));
        refuseFullScreen(hwnd_, before, placed_);
    }
    return std::nullopt;
}

std::optional<LRESULT> Win32Window::onClose() {
    // The form decides: it unloads, which takes this window away, or stays.
    Form* form = &form_;
    deliver([form] { form->closeRequestedByWindowSystem(); });
    return 0;
}

std::optional<LRESULT> Win32Window::onSizeLimits(MINMAXINFO& limits) {
    if (size_.cx <= 0) return std::nullopt;
    limits.ptMinTrackSize = limits.ptMaxTrackSize = limits.ptMaxSize = POINT{size_.cx, size_.cy};
    RECT area{};
    GetWindowRect(hwnd_, &area);
    limits.ptMaxPosition = POINT{area.left, area.top};
    return 0;
}

std::optional<LRESULT> Win32Window::onSystemCommand(WPARAM command) {
    if ((command & 0xFFF0) == SC_MAXIMIZE || (command & 0xFFF0) == SC_SIZE) return 0;
    return std::nullopt;
}

void registerFormClass() {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = Win32Window::proc;
    form.hInstance = instance();
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
}

} // namespace forms::win32
