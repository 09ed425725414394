#pragma once

#include "toolkit/Native.h"

#include <QPointer>
#include <QWidget>

namespace forms::qt {

class QtWindow;

// Keeps a control's widget in step with the control's properties.
class QtControl : public NativeControl {
public:
    QtControl(Control& control, QtWindow& window);
    ~QtControl() override;

    void update(ControlProp changed) override;
    void setFocus() override;
    int captionLineCount() const override;
    Twips textWidth(const std::string& text) const override;
    QWidget* widget() const { return widget_; }

private:
    void applyGeometry();
    void applyCaption();
    void applyColors();
    void applyPointer();

    Control& control_;
    QPointer<QWidget> widget_;
};

} // namespace forms::qt
