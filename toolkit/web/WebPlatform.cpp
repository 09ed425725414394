// The web platform layer's entry from the toolkit: the program runs in the browser's own loop, its windows
// and timers are the page's (WebWindow, WebTimer), and what is posted runs after the current event. Below
// them, the entry points the page calls with its events (toolkit/web/runtime.js): here, in the file every
// program links, as nothing in C++ calls them.

#include "toolkit/web/WebPlatform.h"

#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Metrics.h"
#include "toolkit/web/WebBridge.h"
#include "toolkit/web/WebControl.h"
#include "toolkit/web/WebHandles.h"
#include "toolkit/web/WebTimer.h"
#include "toolkit/web/WebWindow.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace forms::web {

namespace {

std::deque<std::function<void()>>& posted() {
    static std::deque<std::function<void()>> queue;
    return queue;
}

} // namespace

void drainPosted() {
    while (!posted().empty()) {
        std::function<void()> action = std::move(posted().front());
        posted().pop_front();
        action();
    }
}

} // namespace forms::web

namespace forms {

struct Application::Impl {};

Application::Application(int&, char**)
    : impl_(std::make_unique<Impl>()) {
    kv_start(kTwipsPerPixel);
}

Application::~Application() = default;

// The browser's own loop runs the program: main returns, the page and its handlers stay.
int Application::run() {
    emscripten_exit_with_live_runtime();
    return 0;
}

std::unique_ptr<NativeWindow> platform::createWindow(Form& form) {
    return std::make_unique<web::WebWindow>(form);
}

std::unique_ptr<NativeTimer> platform::startTimer(Timer& timer, std::chrono::microseconds period) {
    return std::make_unique<web::WebTimer>(timer, period);
}

Form* platform::activeForm() {
    const auto& shown = web::shownWindows();
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if ((*it)->windowState() == WindowState::Normal) return &(*it)->form();
    return nullptr;
}

// A browser's thread must not wait for events: what is already queued runs, then the showing returns and
// the page keeps the window modal until it unloads.
void platform::runModalLoop(const Form&) {
    web::drainPosted();
}

void platform::exitProcess(int status) {
    kv_end("", 0);
    std::fflush(nullptr);
    std::_Exit(status);
}

void platform::fatalError(const std::string& text) {
    kv_end(text.c_str(), 1);
    if (hooks().fatalErrorBoxShowing) hooks().fatalErrorBoxShowing();
    std::fflush(nullptr);
    std::_Exit(1);
}

void platform::post(std::function<void()> action) {
    web::posted().push_back(std::move(action));
    kv_post();
}

void platform::openUrl(const std::string& address) {
    kv_open_url(address.c_str());
}

} // namespace forms

using forms::deliver;
using forms::web::PointerPhase;
using forms::web::WebControl;
using forms::web::WebWindow;

extern "C" {

EMSCRIPTEN_KEEPALIVE void kv_pointer(int windowId, int controlId, int type, int button, int shift, double x,
                                     double y, int inside, int secondPress) {
    const auto phase = static_cast<forms::web::PointerPhase>(type);
    const forms::PointerEvent event{button, shift, static_cast<float>(x), static_cast<float>(y)};
    if (controlId >= 0) {
        if (WebControl* native = WebControl::find(controlId))
            native->pointer(phase, event, inside, secondPress);
        return;
    }
    WebWindow* window = WebWindow::find(windowId);
    if (!window || phase == PointerPhase::Release) return;
    forms::Form& form = window->form();
    auto& handler = phase == PointerPhase::Press ? form.onMouseDown : form.onMouseMove;
    if (handler) deliver([&] { handler(event); });
}

EMSCRIPTEN_KEEPALIVE void kv_click(int controlId) {
    if (WebControl* native = WebControl::find(controlId); native && native->control().onClick)
        deliver(native->control().onClick);
}

// An element took the focus; the form's focus tracker decides what that means.
EMSCRIPTEN_KEEPALIVE void kv_focus(int controlId) {
    WebControl* native = WebControl::find(controlId);
    if (!native) return;
    forms::Control* control = &native->control();
    deliver([control] { control->form().focusTracker().focusIn(*control); });
}

EMSCRIPTEN_KEEPALIVE void kv_text(int controlId, const char* text) {
    if (WebControl* native = WebControl::find(controlId))
        forms::ControlAccess::textEditedByUser(native->control(), text);
}

EMSCRIPTEN_KEEPALIVE void kv_escape(int windowId) {
    if (WebWindow* window = WebWindow::find(windowId))
        deliver([window] { forms::answerEscape(window->form()); });
}

EMSCRIPTEN_KEEPALIVE void kv_window_activated(int windowId) {
    if (WebWindow* window = WebWindow::find(windowId))
        deliver([window] { window->form().windowActivated(); });
}

// Tab goes round the window's own controls, never on to the rest of the page.
EMSCRIPTEN_KEEPALIVE void kv_tab(int windowId, int back, int fromLink) {
    if (WebWindow* window = WebWindow::find(windowId))
        deliver([window, back, fromLink] { window->tab(back != 0, fromLink != 0); });
}

EMSCRIPTEN_KEEPALIVE void kv_timer_tick(int timerId) {
    if (forms::Timer* timer = forms::web::WebTimer::find(timerId)) timer->tick();
}

EMSCRIPTEN_KEEPALIVE void kv_screen_changed() {
    WebWindow::placeAll();
}

EMSCRIPTEN_KEEPALIVE void kv_drain() {
    forms::web::drainPosted();
}
}
