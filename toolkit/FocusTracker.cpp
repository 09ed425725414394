#include "toolkit/FocusTracker.h"

#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Native.h"

#include <utility>

namespace forms {

// A handler may move the focus again; the events of a move that was overtaken are not raised.
void FocusTracker::change(Control* to) {
    if (to == focused_) return;
    Control* from = std::exchange(focused_, to);
    if (from && from->onLostFocus) deliver(from->onLostFocus);
    if (to && focused_ == to && to->onGotFocus) deliver(to->onGotFocus);
}

void FocusTracker::show() const {
    if (focused_ && focused_->native()) focused_->native()->setFocus();
}

void FocusTracker::focusIn(Control& control) {
    if (&control.form() == &form_ && takesFocus(control.kind())) change(&control);
}

Control* FocusTracker::activated() {
    if (!focused_ || !focused_->props().visible) change(nextInTabOrder(form_, nullptr, false));
    show();
    return focused_;
}

void FocusTracker::moveTo(Control& control) {
    if (!takesFocus(control.kind()) || !control.props().visible) return;
    change(&control);
    show();
}

void FocusTracker::hiding(Control& control) {
    if (focused_ != &control) return;
    change(focusAfterHiding(form_, control));
    show();
}

void FocusTracker::tab(bool back) {
    if (Control* next = nextInTabOrder(form_, focused_, back)) moveTo(*next);
}

} // namespace forms
