// The web platform layer: forms and controls are elements of the page (toolkit/web/runtime.js); this side
// keeps the handles and turns the page's events into the toolkit's.

#include "toolkit/web/WebPlatform.h"

#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Metrics.h"
#include "toolkit/TextLayout.h"
#include "toolkit/web/WebBridge.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <span>
#include <string_view>

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
        return id >= 0 && id < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(id)]
                                                               : nullptr;
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
std::string& fatalErrorMessage() {
    static std::string message;
    return message;
}

// Each byte's advance in the face the page draws the font with, space runs widened.
std::vector<double> advances(const Font& font, std::string_view text) {
    std::vector<double> result(text.size());
    const std::string copy(text);
    kv_advances(drawnFamily(font).c_str(), static_cast<float>(fontPixels(font)), font.bold ? 1 : 0,
                copy.c_str(), result.data(), static_cast<int>(result.size()));
    text::widenSpaceRuns(text, std::span<double>(result), fontPixels(font));
    return result;
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
    kv_control_create(id_, windowId, static_cast<int>(control.kind()), p.name.c_str(),
                      p.accessibleName.c_str(), p.tabIndex);
    for (ControlProp prop :
         {ControlProp::Font, ControlProp::Geometry, ControlProp::Caption, ControlProp::ForeColor,
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
    case ControlProp::Geometry: {
        const PixelRect r = toPixelRect(p.left, p.top, p.width, p.height);
        kv_control_geometry(id_, r.x, r.y, r.width, r.height);
        if (r.width != laidOutWidth_) layOut();
        break;
    }
    case ControlProp::Visible:
        kv_control_visible(id_, p.visible ? 1 : 0);
        break;
    case ControlProp::Caption:
        layOut();
        break;
    case ControlProp::Font:
        kv_control_font(id_, drawnFamily(p.font).c_str(), static_cast<float>(fontPixels(p.font)),
                        p.font.bold ? 1 : 0);
        layOut();
        break;
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

// A label shows its caption broken and wrapped as the toolkit lays it out; a text box shows its text.
void WebControl::layOut() {
    const ControlProps& p = control_.props();
    if (control_.kind() != ControlKind::Label) {
        kv_control_caption(id_, p.caption.c_str(), 0);
        return;
    }
    laidOutWidth_ = toPixelRect(p.left, p.top, p.width, p.height).width;
    std::string shown;
    lineCount_ = 0;
    for (const std::string& paragraph : text::paragraphs(std::string_view(p.caption))) {
        const std::vector<double> widths = advances(p.font, paragraph);
        for (const text::Range& line : text::wrap(std::string_view(paragraph), widths, laidOutWidth_)) {
            if (lineCount_++ > 0) shown += '\n';
            shown.append(paragraph, line.start, line.length);
        }
    }
    kv_control_caption(id_, shown.c_str(), text::spaceRunWidening(fontPixels(p.font)));
}

void WebControl::setFocus() {
    kv_control_focus(id_);
}

int WebControl::captionLineCount() const {
    return control_.kind() == ControlKind::Label ? lineCount_ : 1;
}

Twips WebControl::textWidth(const std::string& text) const {
    double width = 0;
    for (double advance : advances(control_.props().font, text))
        width += advance;
    return toTwips(width);
}

// Labels and pictures click on the release of a press on them; buttons click as the browser says.
void WebControl::pointer(int type, const PointerEvent& event, bool inside, bool secondPress) {
    auto& handler = type == 1 ? control_.onMouseMove : control_.onMouseDown;
    const bool ownClick = clicksItself(control_.kind());
    if (type == 0) {
        if (secondPress && !secondPressClicks(control_.kind())) {
            releaseClick_.cancel();
            return;
        }
        releaseClick_.pressed(event.button);
    }
    if (type == 2) {
        if (!ownClick && releaseClick_.released(event.button, inside) && control_.onClick)
            deliver(control_.onClick);
        return;
    }
    if (handler) deliver([&] { handler(event); });
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

void WebWindow::controlsCreated() {}

void WebWindow::updateSize() {
    place();
}

void WebWindow::updateCaption() {
    kv_window_caption(id_, form_.windowTitle().c_str());
}

void WebWindow::place() {
    const FormProps& p = form_.props();
    kv_window_geometry(id_, toPixels(form_.left()), toPixels(form_.top()), toPixels(p.width),
                       toPixels(p.height));
}

void WebWindow::show(Form*, bool modal) {
    std::erase(shownWindows(), this);
    shownWindows().push_back(this);
    kv_window_show(id_, modal ? 1 : 0);
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

const std::string& fatalErrorText() {
    return fatalErrorMessage();
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

void platform::fatalError(const std::string& text) {
    web::fatalErrorMessage() = text;
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
using forms::web::WebControl;
using forms::web::WebWindow;

extern "C" {

EMSCRIPTEN_KEEPALIVE void kv_pointer(int windowId, int controlId, int type, int button, int shift, double x,
                                     double y, int inside, int secondPress) {
    const forms::PointerEvent event{button, shift, static_cast<float>(x), static_cast<float>(y)};
    if (controlId >= 0) {
        if (WebControl* native = WebControl::find(controlId))
            native->pointer(type, event, inside, secondPress);
        return;
    }
    WebWindow* window = WebWindow::find(windowId);
    if (!window || type == 2) return;
    forms::Form& form = window->form();
    auto& handler = type == 0 ? form.onMouseDown : form.onMouseMove;
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

// Tab goes round the window's own controls, never on to the rest of the page.
EMSCRIPTEN_KEEPALIVE void kv_tab(int windowId, int back) {
    WebWindow* window = WebWindow::find(windowId);
    if (!window) return;
    forms::Form* form = &window->form();
    deliver([form, back] { form->focusTracker().tab(back != 0); });
}

EMSCRIPTEN_KEEPALIVE void kv_timer_tick(int timerId) {
    if (forms::Timer* timer = forms::web::timers().find(timerId)) timer->tick();
}

EMSCRIPTEN_KEEPALIVE void kv_drain() {
    forms::web::drainPosted();
}
}
