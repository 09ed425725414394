#include "toolkit/win32/Win32Platform.h"
#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/Native.h"
#include "toolkit/win32/Win32OnDemand.h"
#include "toolkit/win32/Win32Skin.h"
#include "toolkit/win32/Win32Window.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>

namespace forms {

namespace win32 {
void registerFormClass();
void registerSurfaceClass();
} // namespace win32

namespace {

constexpr UINT kPostedAction = WM_APP + 1;
constexpr const wchar_t* kMessageClass = L"KelvaraMessages";

struct PlatformState {
    std::deque<std::function<void()>> posted;
    std::map<UINT_PTR, class Win32Timer*> timers;
    UINT_PTR lastTimerId = 0;
    HWND messages = nullptr;
};
PlatformState& state() {
    static PlatformState s;
    return s;
}

HWND messageWindow();

// The system timer at the requested period in whole milliseconds: at the toolkit's minimum, 15 ms, which the
// classic desktop's 64 Hz clock delivers as 1/64 s.
class Win32Timer : public NativeTimer {
public:
    Win32Timer(Timer& timer, std::chrono::microseconds period)
        : timer_(timer)
        , id_(++state().lastTimerId) {
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(period).count();
        state().timers[id_] = this;
        SetTimer(messageWindow(), id_,
                 static_cast<UINT>(std::max<long long>(USER_TIMER_MINIMUM, milliseconds)), nullptr);
    }
    ~Win32Timer() override {
        // The timer may be switched off from its own tick; a tick already queued then finds no timer.
        KillTimer(messageWindow(), id_);
        state().timers.erase(id_);
    }
    void fire() { timer_.tick(); } // may destroy this object

private:
    Timer& timer_;
    UINT_PTR id_;
};

LRESULT CALLBACK messageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPostedAction) {
        if (state().posted.empty()) return 0;
        std::function<void()> action = std::move(state().posted.front());
        state().posted.pop_front();
        deliver(action);
        return 0;
    }
    if (message == WM_TIMER) {
        if (auto it = state().timers.find(wParam); it != state().timers.end()) it->second->fire();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND messageWindow() {
    if (!state().messages) {
        win32::registerClasses();
        state().messages = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           win32::instance(), nullptr);
    }
    return state().messages;
}

} // namespace

namespace win32 {

HINSTANCE instance() {
    return GetModuleHandleW(nullptr);
}

void registerClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    registerFormClass();
    registerSurfaceClass();
    WNDCLASSEXW messages{};
    messages.cbSize = sizeof(messages);
    messages.lpfnWndProc = messageProc;
    messages.hInstance = instance();
    messages.lpszClassName = kMessageClass;
    RegisterClassExW(&messages);
}

} // namespace win32

struct Application::Impl {};

Application::Application(int&, char**)
    : impl_(std::make_unique<Impl>()) {
    win32::registerClasses();
    win32::loadFonts();
    messageWindow();
}

Application::~Application() = default;

int Application::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

std::unique_ptr<NativeWindow> platform::createWindow(Form& form) {
    return std::make_unique<win32::Win32Window>(form);
}

std::unique_ptr<NativeTimer> platform::startTimer(Timer& timer, std::chrono::microseconds period) {
    return std::make_unique<Win32Timer>(timer, period);
}

Form* platform::activeForm() {
    win32::Win32Window* window = win32::Win32Window::of(GetActiveWindow());
    return window ? &window->form() : nullptr;
}

void platform::runModalLoop(const Form& form) {
    MSG message;
    while (form.isLoaded()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: leave the quit for the outer loop.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void platform::fatalError(const std::string& text) {
    if (hooks().fatalErrorBoxShowing) hooks().fatalErrorBoxShowing();
    MessageBoxW(nullptr, win32::widen(text).c_str(), L"Kelvara Calculator",
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    std::fflush(nullptr);
    std::_Exit(1);
}

void platform::exitProcess(int status) {
    std::_Exit(status);
}

void platform::openUrl(const std::string& address) {
    // Hands the address to the desktop's handler without waiting for it.
    // The shell, and COM which it asks for, load with the first address opened.
    const auto open = win32::systemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!open) return;
    win32::comStarted();
    open(nullptr, L"open", win32::widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void platform::post(std::function<void()> action) {
    state().posted.push_back(std::move(action));
    PostMessageW(messageWindow(), kPostedAction, 0, 0);
}

} // namespace forms
