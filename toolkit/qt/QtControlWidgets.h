#pragma once

#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QTextLayout>
#include <QWidget>

#include <memory>
#include <vector>

namespace forms::qt {

class QtWindow;

int buttonState(Qt::MouseButtons buttons);
int shiftState(Qt::KeyboardModifiers modifiers);
// The event's point in twips of the widget, from the pointer's screen position and the window's position as
// the toolkit last placed it: the window system may still be applying an earlier move.
PointerEvent pointerEvent(const QtWindow& window, const QWidget& surface, const QMouseEvent& event,
                          int button);

// A widget that stands for a control: it hands pointer, click and focus events to the control's handlers.
// The link is cut when the window unloads, before the widget itself goes.
template <typename Base> class ControlWidget : public Base {
public:
    ControlWidget(Control& control, QtWindow& window, QWidget* parent)
        : Base(parent)
        , control_(&control)
        , kind_(control.kind())
        , window_(window) {
        Base::setMouseTracking(true);
    }
    Control* control() const { return control_; }
    void unlink() { control_ = nullptr; }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        releaseClick_.pressed(buttonState(event->button()));
        send(&Control::onMouseDown, *event, buttonState(event->button()));
        if (handlesClicks()) Base::mousePressEvent(event);
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        send(&Control::onMouseMove, *event, buttonState(event->buttons()));
        if (handlesClicks()) Base::mouseMoveEvent(event);
        event->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (control_ && secondPressClicks(control_->kind())) {
            Base::mouseDoubleClickEvent(event); // a press like the first
            return;
        }
        releaseClick_.cancel();
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (handlesClicks()) {
            Base::mouseReleaseEvent(event);
        } else if (releaseClick_.released(buttonState(event->button()),
                                          Base::rect().contains(event->position().toPoint()))) {
            clicked();
        }
        event->accept();
    }
    // The form's focus tracker decides what the focus means; Qt's moves between windows raise nothing there.
    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        if (Control* control = control_)
            deliver([control] { control->form().focusTracker().focusIn(*control); });
    }
    void clicked() {
        if (control_ && control_->onClick) deliver(control_->onClick);
    }
    // Buttons and text boxes keep Qt's press handling; labels and images click on release.
    bool handlesClicks() const { return clicksItself(kind_); }

private:
    void send(std::function<void(const PointerEvent&)> Control::*handler, const QMouseEvent& event,
              int button) {
        if (!control_ || !(control_->*handler)) return;
        const PointerEvent pointer = pointerEvent(window_, *this, event, button);
        Control* control = control_;
        deliver([&] { (control->*handler)(pointer); });
    }

    Control* control_;
    ControlKind kind_;
    QtWindow& window_;
    ReleaseClick releaseClick_;
};

// Keeps QLabel's accessibility but lays out its own text, so that runs of spaces keep the design's widths.
class LabelWidget : public ControlWidget<QLabel> {
public:
    LabelWidget(Control& control, QtWindow& window, QWidget* parent);
    // Lays the caption out now if it has changed, so the first paint after showing costs no layout.
    void prepare();
    // Clicks it, as assistive technology's press action does.
    void activate() { clicked(); }
    int lineCount();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut();
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    QString laidOutText_;
    QFont laidOutFont_;
    int laidOutWidth_ = -1;
    int lineCount_ = 0;
};

class TextBoxWidget : public ControlWidget<QLineEdit> {
public:
    TextBoxWidget(Control& control, QtWindow& window, QWidget* parent);
};

class PictureButtonWidget : public ControlWidget<QAbstractButton> {
public:
    PictureButtonWidget(Control& control, QtWindow& window, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Images, picture holders and frames: a picture on a transparent or etched surface.
class PictureWidget : public ControlWidget<QWidget> {
public:
    PictureWidget(Control& control, QtWindow& window, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap scaled_;
    Picture scaledFrom_;
};

} // namespace forms::qt
