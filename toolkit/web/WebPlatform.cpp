// The web platform layer: forms and controls are elements of the page (toolkit/web/runtime.js); this side
// keeps the handles and turns the page's events into the toolkit's.

#include "toolkit/Application.h"
#include "toolkit/Native.h"
#include "toolkit/TestDriver.h"
#include "toolkit/web/WebBridge.h"
#include "toolkit/web/WebPlatform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>

namespace forms::web {

namespace {

template <typename T> class Handles {
public:
    int add(T* item) {
        items_.push_back(item);
        return static_cast<int>(items_.size()) - 1;
    }
    void remove(int id) { items_[static_cast<std::size_t>(id)] = nullptr; }
    T* find(int id) const {
        return id >= 0 && id < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(id)] : nullptr;
    }

private:
    std::vector<T*> items_;
};

Handles<WebWindow>& windows() {
    static Handles<WebWindow> handles;
    return handles;
}
Handles<WebControl>& controls() {
    static Handles<WebControl> handles;
    return handles;
}
Handles<Timer>& timers() {
    static Handles<Timer> handles;
    return handles;
}
// Shown windows, the latest last: the active one is the latest that is not minimised.
std::vector<WebWindow*>& shownWindows() {
    static std::vector<WebWindow*> shown;
    return shown;
}
std::deque<std::function<void()>>& posted() {
    static std::deque<std::function<void()>> queue;
    return queue;
}
std::function<void(const std::string&)>& fatalErrorBoxHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

// The design's classic faces drawn by the embedded substitutes, at 96 dpi. Copied policy: the desktop
// layers substitute the same faces at the same sizes.
struct PageFont {
    const char* family;
    float pixels;
};
PageFont pageFont(const Font& font) {
    const char* family = font.name == "Georgia" ? "Kelvara Serif" : "Kelvara Sans";
    return {family, static_cast<float>(std::lround(font.points * 96.0 / 72.0))};
}

class WebTimer : public NativeTimer {
public:
    WebTimer(Timer& timer, std::chrono::microseconds period)
        : id_(timers().add(&timer)) {
        kv_timer_start(id_, static_cast<double>(period.count()) / 1000.0);
    }
    ~WebTimer() override {
        kv_timer_stop(id_);
        timers().remove(id_);
    }

private:
    int id_;
};

} // namespace

WebControl::WebControl(Control& control, int windowId)
    : control_(control)
    , id_(controls().add(this)) {
    const ControlProps& p = control.props();
    kv_control_create(id_, windowId, static_cast<int>(control.kind()), p.name.c_str(), p.accessibleName.c_str(),
                      p.tabIndex);
    for (ControlProp prop : {ControlProp::Font, ControlProp::Geometry, ControlProp::Caption, ControlProp::ForeColor,
                             ControlProp::Picture, ControlProp::Pointer, ControlProp::Visible})
        update(prop);
}

WebControl::~WebControl() {
    kv_control_destroy(id_);
    controls().remove(id_);
}

void WebControl::update(ControlProp changed) {
    const ControlProps& p = control_.props();
    switch (changed) {
    case ControlProp::Geometry:
        kv_control_geometry(id_, p.left, p.top, p.width, p.height);
        break;
    case ControlProp::Visible:
        kv_control_visible(id_, p.visible ? 1 : 0);
        break;
    case ControlProp::Caption:
        kv_control_caption(id_, p.caption.c_str());
        break;
    case ControlProp::Font: {
        const PageFont font = pageFont(p.font);
        kv_control_font(id_, font.family, font.pixels, p.font.bold ? 1 : 0);
        break;
    }
    case ControlProp::ForeColor:
    case ControlProp::BackColor:
        kv_control_colors(id_, static_cast<int>(p.foreColor), static_cast<int>(p.backColor));
        break;
    case ControlProp::Picture:
        kv_control_pictures(id_, p.picture.name().c_str(), p.downPicture.name().c_str(), p.stretch ? 1 : 0);
        break;
    case ControlProp::Pointer:
        kv_control_pointer(id_, p.mousePointer == MousePointer::Custom && !p.mouseIcon.empty() ? 1 : 0);
        break;
    }
}

void WebControl::setFocus() {
    kv_control_focus(id_);
}

bool WebControl::hasFocus() const {
    return kv_control_has_focus(id_) != 0;
}

int WebControl::captionLineCount() const {
    return control_.kind() == ControlKind::Label ? kv_control_line_count(id_) : 1;
}

Twips WebControl::textWidth(const std::string& text) const {
    const PageFont font = pageFont(control_.props().font);
    return static_cast<Twips>(kv_text_width(font.family, font.pixels, control_.props().font.bold ? 1 : 0,
                                            text.c_str()) *
                              kTwipsPerPixel);
}

WebControl* WebControl::find(int id) {
    return controls().find(id);
}

WebWindow::WebWindow(Form& form)
    : form_(form)
    , id_(windows().add(this)) {
    const FormProps& p = form.props();
    kv_window_create(id_, p.name.c_str(), static_cast<int>(p.backColor), p.accessibleName.c_str());
    updateSize();
}

WebWindow::~WebWindow() {
    std::erase(shownWindows(), this);
    kv_window_destroy(id_);
    windows().remove(id_);
}

std::unique_ptr<NativeControl> WebWindow::createControl(Control& control) {
    return std::make_unique<WebControl>(control, id_);
}

void WebWindow::controlsCreated() {
    const Control* first = nullptr;
    for (const Control* control : form_.controls())
        if (control->props().tabIndex >= 0 && (!first || control->props().tabIndex < first->props().tabIndex))
            first = control;
    firstFocus_ = first ? static_cast<WebControl*>(first->native())->id() : -1;
}

void WebWindow::updateSize() {
    place();
}

void WebWindow::updateCaption() {
    kv_window_caption(id_, form_.windowTitle().c_str());
}

void WebWindow::place() {
    const FormProps& p = form_.props();
    kv_window_geometry(id_, form_.left(), form_.top(), p.width, p.height);
}

void WebWindow::show(Form*, bool modal) {
    std::erase(shownWindows(), this);
    shownWindows().push_back(this);
    kv_window_show(id_, modal ? 1 : 0, firstFocus_);
}

WindowState WebWindow::windowState() const {
    return kv_window_minimised(id_) ? WindowState::Minimized : WindowState::Normal;
}

void WebWindow::setWindowState(WindowState state) {
    kv_window_set_minimised(id_, state == WindowState::Minimized ? 1 : 0, form_.windowTitle().c_str());
}

ScreenArea WebWindow::screenArea() const {
    return ScreenArea{0, 0, static_cast<Twips>(kv_screen_width()), static_cast<Twips>(kv_screen_height())};
}

// The browser paints after each task, and the page paces ticks one a frame.
void WebWindow::presentFrame() {}

WebWindow* WebWindow::find(int id) {
    return windows().find(id);
}

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
    EM_ASM(KV.start());
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

void platform::fatalError(const std::string& message) {
    const std::string text = "Run-time error:\n\n" + message;
    std::cerr << "kelvara-calculator: run-time error: " << message << std::endl;
    if (auto handler = web::fatalErrorBoxHandler()) handler(text);
    kv_end(text.c_str(), 1);
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

void testing::setFatalErrorBoxHandler(std::function<void(const std::string&)> handler) {
    web::fatalErrorBoxHandler() = std::move(handler);
}

} // namespace forms

using forms::deliver;
using forms::web::WebControl;
using forms::web::WebWindow;

extern "C" {

EMSCRIPTEN_KEEPALIVE void kv_pointer(int windowId, int controlId, int type, int button, int shift, double x,
                                     double y) {
    const forms::PointerEvent event{button, shift, static_cast<float>(x), static_cast<float>(y)};
    if (controlId >= 0) {
        WebControl* native = WebControl::find(controlId);
        if (!native) return;
        forms::Control& control = native->control();
        auto& handler = type == 0 ? control.onMouseDown : control.onMouseMove;
        if (handler) deliver([&] { handler(event); });
        return;
    }
    WebWindow* window = WebWindow::find(windowId);
    if (!window) return;
    forms::Form& form = window->form();
    auto& handler = type == 0 ? form.onMouseDown : form.onMouseMove;
    if (handler) deliver([&] { handler(event); });
}

EMSCRIPTEN_KEEPALIVE void kv_click(int controlId) {
    if (WebControl* native = WebControl::find(controlId); native && native->control().onClick)
        deliver(native->control().onClick);
}

EMSCRIPTEN_KEEPALIVE void kv_focus(int controlId, int gained) {
    WebControl* native = WebControl::find(controlId);
    if (!native) return;
    auto& handler = gained ? native->control().onGotFocus : native->control().onLostFocus;
    if (handler) deliver(handler);
}

EMSCRIPTEN_KEEPALIVE void kv_text(int controlId, const char* text) {
    if (WebControl* native = WebControl::find(controlId)) native->control().textEditedByUser(text);
}

// Escape answers the window's cancel control. Copied policy: the desktop layers answer it the same way.
EMSCRIPTEN_KEEPALIVE void kv_escape(int windowId) {
    WebWindow* window = WebWindow::find(windowId);
    if (!window) return;
    for (forms::Control* control : window->form().controls()) {
        if (control->props().cancel && control->props().visible && control->onClick) {
            deliver(control->onClick);
            return;
        }
    }
}

EMSCRIPTEN_KEEPALIVE void kv_timer_tick(int timerId) {
    if (forms::Timer* timer = forms::web::timers().find(timerId)) timer->tick();
}

EMSCRIPTEN_KEEPALIVE void kv_drain() {
    forms::web::drainPosted();
}
}
