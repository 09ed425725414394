#include "toolkit/qt/QtControl.h"

#include "toolkit/Accessibility.h"
#include "toolkit/qt/QtControlWidgets.h"
#include "toolkit/qt/QtSkin.h"
#include "toolkit/qt/QtWindow.h"

namespace forms::qt {

namespace {

QWidget* createWidget(Control& control, QtWindow& window) {
    QWidget* parent = window.widget();
    switch (control.kind()) {
    case ControlKind::Label:
        return new LabelWidget(control, window, parent);
    case ControlKind::TextBox:
        return new TextBoxWidget(control, window, parent);
    case ControlKind::PictureButton:
        return new PictureButtonWidget(control, window, parent);
    case ControlKind::PictureBox:
    case ControlKind::Image:
    case ControlKind::Frame:
        return new PictureWidget(control, window, parent);
    }
    return nullptr;
}

template <typename F> void withLink(QWidget* widget, F action) {
    if (auto* w = dynamic_cast<LabelWidget*>(widget))
        action(*w);
    else if (auto* w = dynamic_cast<TextBoxWidget*>(widget))
        action(*w);
    else if (auto* w = dynamic_cast<PictureButtonWidget*>(widget))
        action(*w);
    else if (auto* w = dynamic_cast<PictureWidget*>(widget))
        action(*w);
}

} // namespace

QtControl::QtControl(Control& control, QtWindow& window)
    : control_(control)
    , widget_(createWidget(control, window)) {
    const ControlProps& p = control_.props();
    widget_->setObjectName(QString::fromStdString(p.name));
    if (!p.accessibleName.empty()) widget_->setAccessibleName(QString::fromStdString(p.accessibleName));
    // Tab is the toolkit's (FocusTracker): Qt only gives the focus to a pressed control.
    widget_->setFocusPolicy(takesFocus(control.kind()) ? Qt::ClickFocus : Qt::NoFocus);
    for (ControlProp prop : {ControlProp::Geometry, ControlProp::Caption, ControlProp::Font,
                             ControlProp::ForeColor, ControlProp::Pointer, ControlProp::Visible})
        update(prop);
}

QtControl::~QtControl() {
    if (!widget_) return;
    withLink(widget_, [](auto& w) { w.unlink(); });
}

void QtControl::update(ControlProp changed) {
    if (!widget_) return;
    switch (changed) {
    case ControlProp::Geometry:
        applyGeometry();
        break;
    case ControlProp::Visible:
        widget_->setVisible(control_.props().visible);
        break;
    case ControlProp::Caption:
        applyCaption();
        break;
    case ControlProp::Font:
        widget_->setFont(font(control_.props().font));
        break;
    case ControlProp::ForeColor:
    case ControlProp::BackColor:
        applyColors();
        break;
    case ControlProp::Picture:
        widget_->update();
        break;
    case ControlProp::Pointer:
        applyPointer();
        break;
    }
}

void QtControl::applyGeometry() {
    const ControlProps& p = control_.props();
    widget_->setGeometry(toQRect(toPixelRect(p.left, p.top, p.width, p.height)));
}

void QtControl::applyCaption() {
    const QString text = QString::fromStdString(control_.props().caption);
    if (auto* label = dynamic_cast<QLabel*>(widget_.data())) {
        label->setText(displayText(control_.props().caption));
        if (control_.props().accessibleName.empty())
            label->setAccessibleName(QString::fromStdString(accessibleText(control_.props().caption)));
    } else if (auto* box = dynamic_cast<QLineEdit*>(widget_.data())) {
        if (box->text() != text) box->setText(text);
    }
}

void QtControl::applyColors() {
    const ControlProps& p = control_.props();
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText, color(p.foreColor));
    palette.setColor(QPalette::Text, color(p.foreColor));
    palette.setColor(QPalette::Base, color(p.backColor));
    widget_->setPalette(palette);
    widget_->update();
}

void QtControl::applyPointer() {
    const ControlProps& p = control_.props();
    if (p.mousePointer == MousePointer::Custom && !p.mouseIcon.empty())
        widget_->setCursor(cursor(p.mouseIcon));
    else if (control_.kind() == ControlKind::TextBox)
        widget_->setCursor(Qt::IBeamCursor);
    else
        widget_->unsetCursor();
}

void QtControl::setFocus() {
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

int QtControl::captionLineCount() const {
    auto* label = dynamic_cast<LabelWidget*>(widget_.data());
    return label ? label->lineCount() : 1;
}

} // namespace forms::qt
