// A form as an element of the page (toolkit/web/runtime.js), which stands for the screen.

#include "toolkit/web/WebWindow.h"

#include "toolkit/Keyboard.h"
#include "toolkit/Metrics.h"
#include "toolkit/web/WebBridge.h"
#include "toolkit/web/WebControl.h"
#include "toolkit/web/WebHandles.h"

#include <algorithm>

namespace forms::web {

Handles<WebWindow>& windows() {
    static Handles<WebWindow> handles;
    return handles;
}

std::vector<WebWindow*>& shownWindows() {
    static std::vector<WebWindow*> shown;
    return shown;
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
    const std::vector<Control*> order = tabOrder(form_, false);
    std::vector<int> ids;
    for (const Control* control : order)
        ids.push_back(static_cast<WebControl*>(control->native())->id());
    kv_window_order(id_, ids.data(), static_cast<int>(ids.size()));
    for (Control* control : form_.controls())
        if (control->kind() == ControlKind::Label && control->onClick &&
            control->props().mousePointer == MousePointer::Custom) {
            link_ = static_cast<WebControl*>(control->native());
            kv_control_link(link_->id());
        }
}

// Tab goes round the window's controls and its link, which comes before the first of them, as the title
// does in the window; the focus tracker moves the focus among the controls.
void WebWindow::tab(bool back, bool fromLink) {
    FocusTracker& tracker = form_.focusTracker();
    if (fromLink) {
        if (Control* next = nextInTabOrder(form_, nullptr, back)) tracker.moveTo(*next);
        return;
    }
    const Control* from = tracker.focused();
    if (Control* next = nextInTabOrder(form_, from, back); link_ && from && next) {
        const std::vector<Control*> order = tabOrder(form_, true);
        const auto place = [&order](const Control* c) { return std::find(order.begin(), order.end(), c); };
        if (back ? place(next) >= place(from) : place(next) <= place(from)) {
            link_->setFocus();
            return;
        }
    }
    tracker.tab(back);
}

void WebWindow::updateSize() {
    place();
}

void WebWindow::updateCaption() {
    kv_window_caption(id_, form_.windowTitle().c_str());
}

// The page is all the screen there is, and a window outside it could not be brought back: a move, a
// growth or a page that shrinks leaves the window wholly inside the page (the page is scaled to fit it),
// and the toolkit learns where it is, as from a window manager that keeps windows on screen.
void WebWindow::place() {
    const FormProps& p = form_.props();
    const int width = toPixels(p.width);
    const int height = toPixels(p.height);
    const int pageWidth = static_cast<int>(kv_screen_width() / kTwipsPerPixel);
    const int pageHeight = static_cast<int>(kv_screen_height() / kTwipsPerPixel);
    const int x = std::clamp(toPixels(form_.left()), 0, std::max(0, pageWidth - width));
    const int y = std::clamp(toPixels(form_.top()), 0, std::max(0, pageHeight - height));
    if (x != toPixels(form_.left()) || y != toPixels(form_.top()))
        form_.movedByWindowSystem(toTwips(x), toTwips(y));
    kv_window_geometry(id_, x, y, width, height);
}

void WebWindow::placeAll() {
    for (WebWindow* window : shownWindows())
        window->place();
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

} // namespace forms::web
