#pragma once

#include "toolkit/Native.h"

namespace forms::web {

// A control as an element of the page, known to the page by its id.
class WebControl : public NativeControl {
public:
    WebControl(Control& control, int windowId);
    ~WebControl() override;
    void update(ControlProp changed) override;
    void setFocus() override;
    int captionLineCount() const override;
    Twips textWidth(const std::string& text) const override;

    int id() const { return id_; }
    Control& control() const { return control_; }
    static WebControl* find(int id);
    // A press (0), move (1) or release (2) on the control; a release's press may have been elsewhere.
    void pointer(int type, const PointerEvent& event, bool inside, bool secondPress);

private:
    void layOut();

    Control& control_;
    int id_;
    int laidOutWidth_ = -1;
    int lineCount_ = 1;
    ReleaseClick releaseClick_;
};

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

private:
    Form& form_;
    int id_;
};

// Runs what was posted, in order; the page runs it after the current event, tests when they ask.
void drainPosted();
// The text of the latest uncaught-error message.
const std::string& fatalErrorText();

} // namespace forms::web
