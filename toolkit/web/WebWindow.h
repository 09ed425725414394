#pragma once

#include "toolkit/Native.h"

namespace forms::web {

class WebControl;

// A form as an absolutely placed element of the page, which stands for the screen.
class WebWindow : public NativeWindow {
public:
    explicit WebWindow(Form& form);
    ~WebWindow() override;
    std::unique_ptr<NativeControl> createControl(Control& control) override;
    void controlsCreated() override;
    void updateSize() override;
    void updateCaption() override;
    void place() override;
    void show(Form* owner, bool modal) override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    ScreenArea screenArea() const override;
    void presentFrame() override;

    int id() const { return id_; }
    Form& form() const { return form_; }
    static WebWindow* find(int id);
    // Tab (back: Shift+Tab) from the focused control, or from the window's link.
    void tab(bool back, bool fromLink);
    // Every shown window placed again, after the page changed size or scale.
    static void placeAll();

private:
    Form& form_;
    int id_;
    WebControl* link_ = nullptr;
};

} // namespace forms::web
