#include "toolkit/Form.h"

#include "toolkit/Application.h"
#include "toolkit/Hooks.h"
#include "toolkit/Metrics.h"
#include "toolkit/Native.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace forms {

namespace {
std::vector<Form*>& liveForms() {
    static std::vector<Form*> forms;
    return forms;
}
Form* modalForm = nullptr;
// Shown forms, the latest last.
std::vector<Form*>& shownForms() {
    static std::vector<Form*> shown;
    return shown;
}
} // namespace

Form::Form(FormProps design)
    : design_(std::move(design))
    , props_(design_) {
    liveForms().push_back(this);
}

// A derived window's controls and timers are gone by now; each let go of its platform part on its way.
Form::~Form() {
    std::erase(liveForms(), this);
    std::erase(shownForms(), this);
    for (Form* form : liveForms())
        if (form->owner_ == this) form->owner_ = nullptr;
}

void Form::ensureLoaded() const {
    const_cast<Form*>(this)->load();
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    placed_ = false;
    props_ = design_;
    native_ = platform::createWindow(*this);
    for (Control* control : controls_) {
        control->resetToDesign();
        if (seen(*control)) createNative(*control);
    }
    native_->controlsCreated();
    for (Timer* timer : timers_) {
        timer->resetToDesign();
        timer->sync();
    }
    formLoad();
}

bool Form::seen(const Control& control) const {
    const ControlProps& p = control.props();
    if (!p.visible) return false;
    return p.tabIndex >= 0 || withinWindow(control);
}

bool Form::withinWindow(const Control& control) const {
    const ControlProps& p = control.props();
    return p.left < props_.width && p.left + p.width > 0 && p.top < props_.height && p.top + p.height > 0;
}

void Form::createIfSeen(Control& control) {
    if (!control.native() && seen(control)) createNative(control);
}

void Form::createNative(Control& control) {
    control.attach(native_->createControl(control));
}

void Form::unload() {
    if (!loaded_) return;
    loaded_ = false;
    shown_ = false;
    std::erase(shownForms(), this);
    focus_.reset();
    // A modal showing ends with its unloading, whether or not the platform waited for it.
    const bool wasModal = std::exchange(modal_, false);
    if (wasModal) modalForm = outerModal_;
    for (Timer* timer : timers_)
        timer->stop();
    for (Control* control : controls_)
        control->detach();
    native_.reset();
    // Its owner takes input again with the focus it had, without focus events.
    if (wasModal && owner_ && owner_->loaded_) owner_->focus_.activated();
    if (applicationRunning()) endIfNoneLoaded();
}

// The program ends with its last window, as the classic runtime ends when no form is left loaded.
void Form::endIfNoneLoaded() {
    if (std::none_of(liveForms().begin(), liveForms().end(), [](Form* form) { return form->loaded_; }))
        endProcess();
}

Control* Form::windowActivated() {
    if (!loaded_) return nullptr;
    Form* target = modalForm && modalForm != this && modalForm->loaded_ ? modalForm : this;
    return target->focus_.activated();
}

Form* Form::active() {
    if (Form* form = platform::activeForm()) return form;
    return shownForms().empty() ? nullptr : shownForms().back();
}

void Form::show() {
    load();
    if (!placed_) placeAtStart();
    if (!shown_) owner_ = owner();
    shown_ = true;
    std::erase(shownForms(), this);
    shownForms().push_back(this);
    native_->updateCaption();
    native_->show(design_.startPosition == StartPosition::CenterOwner ? owner() : nullptr, modal_);
    focus_.activated();
}

Form* Form::owner() const {
    Form* active = Form::active();
    return active == this ? nullptr : active;
}

// A window opens centred on its owner or on the screen, at whole pixels so that twips and screen agree.
void Form::placeAtStart() {
    Form* owner = design_.startPosition == StartPosition::CenterOwner ? this->owner() : nullptr;
    const ScreenArea screen = native_->screenArea();
    const Twips areaLeft = owner ? owner->left_ : screen.left;
    const Twips areaTop = owner ? owner->top_ : screen.top;
    const Twips areaWidth = owner ? owner->props_.width : screen.width;
    const Twips areaHeight = owner ? owner->props_.height : screen.height;
    const auto centred = [](Twips start, Twips area, Twips size) {
        return toTwips(toPixels(start + (area - size) / 2));
    };
    move(centred(areaLeft, areaWidth, props_.width), centred(areaTop, areaHeight, props_.height));
    placed_ = true;
}

void Form::showModal() {
    if (modal_ || shown_) throw Error("Form already displayed; can't show modally");
    modal_ = true;
    outerModal_ = std::exchange(modalForm, this);
    show();
    if (hooks().modalShown) hooks().modalShown(*this);
    platform::runModalLoop(*this);
}

void Form::closeRequestedByWindowSystem() {
    if (!loaded_ || (modalForm && modalForm != this)) return;
    unload();
    endIfNoneLoaded();
}

std::string Form::windowTitle() const {
    if (!props_.caption.empty() || !owner_) return props_.caption;
    return owner_->windowTitle();
}

Twips Form::width() const {
    ensureLoaded();
    return props_.width;
}

Twips Form::height() const {
    ensureLoaded();
    return props_.height;
}

void Form::setHeight(Twips value) {
    ensureLoaded();
    if (!std::isfinite(value) || value <= 0) throw Error("Invalid property value");
    props_.height = value;
    native_->updateSize();
    for (Control* control : controls_)
        createIfSeen(*control);
}

Twips Form::left() const {
    ensureLoaded();
    return left_;
}

Twips Form::top() const {
    ensureLoaded();
    return top_;
}

void Form::move(Twips left, Twips top) {
    ensureLoaded();
    if (!std::isfinite(left) || !std::isfinite(top)) throw Error("Invalid property value");
    left_ = left;
    top_ = top;
    native_->place();
}

void Form::movedByWindowSystem(Twips left, Twips top) {
    left_ = left;
    top_ = top;
}

const std::string& Form::caption() const {
    ensureLoaded();
    return props_.caption;
}

void Form::setCaption(std::string value) {
    ensureLoaded();
    props_.caption = std::move(value);
    native_->updateCaption();
}

WindowState Form::windowState() const {
    ensureLoaded();
    return native_->windowState();
}

void Form::setWindowState(WindowState state) {
    ensureLoaded();
    native_->setWindowState(state);
}

Control* Form::activeControl() const {
    return loaded_ ? focus_.focused() : nullptr;
}

} // namespace forms
