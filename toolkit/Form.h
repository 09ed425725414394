#pragma once

#include "toolkit/Control.h"
#include "toolkit/FocusTracker.h"
#include "toolkit/Timer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class NativeWindow;

enum class StartPosition { CenterScreen, CenterOwner };

struct FormProps {
    std::string name;
    std::string caption; // also the taskbar text
    Twips width = 0;     // outer size; the windows have no frame
    Twips height = 0;
    Color backColor = kWhite;
    Picture icon;
    StartPosition startPosition = StartPosition::CenterScreen;
    std::string accessibleName; // for windows without a caption
};

// A window and its controls. The object exists before its window: the first use of a control, or
// showing, loads the window, resets every control to its design and runs the load handler. Unloading
// destroys the window; the object, its members and any later load remain possible.
class Form {
public:
    explicit Form(FormProps design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return design_.name; }
    bool isLoaded() const { return loaded_; }
    bool isModal() const { return modal_; }
    void load();
    void show();
    // Shows the window modal to the active window and returns when it is unloaded.
    void showModal();
    void unload();

    Twips width() const;
    Twips height() const;
    void setHeight(Twips value);
    // The window's place on the screen as the toolkit last placed it.
    Twips left() const;
    Twips top() const;
    void move(Twips left, Twips top);
    const std::string& caption() const;
    void setCaption(std::string value);
    WindowState windowState() const;
    void setWindowState(WindowState state);
    Control* activeControl() const;
    // Which control has the focus within the window; fed by the platform layer.
    FocusTracker& focusTracker() { return focus_; }
    const FocusTracker& focusTracker() const { return focus_; }
    // The form whose window is active: the window system's, else the latest shown that is still shown (a
    // window system may report none for a moment after showing one, or still one that is unloading).
    static Form* active();

    // Pointer events on the window body, where no control covers it.
    std::function<void(const PointerEvent&)> onMouseDown;
    std::function<void(const PointerEvent&)> onMouseMove;

    const std::vector<Control*>& controls() const { return controls_; }
    const std::vector<Timer*>& timers() const { return timers_; }
    NativeWindow* native() const { return native_.get(); }
    const FormProps& props() const { return props_; }
    // Called by the platform layer when the window became active: the focus goes back into it, or into the
    // modal window shown over it, which keeps it until it unloads. Returns the control given the focus.
    Control* windowActivated();
    // Called by the platform layer when the window system moved the window by itself.
    void movedByWindowSystem(Twips left, Twips top);
    // Called by the platform layer when the window system asks to close the window (a window manager's
    // close, Alt+F4): the form unloads as its own command would unload it, and the process ends when no
    // form is left loaded (as it does whenever the last form unloads while Application::run delivers
    // events). A window that a modal window blocks stays, as it takes no input either.
    void closeRequestedByWindowSystem();
    // What the window system lists the window as: its caption, or its owner's where it has none.
    std::string windowTitle() const;
    // Whether the control lies at least partly within the window's area, where it can be seen.
    bool withinWindow(const Control& control) const;

protected:
    virtual void formLoad() {}

private:
    friend class Control;
    friend class Timer;
    void registerControl(Control* control) { controls_.push_back(control); }
    void registerTimer(Timer* timer) { timers_.push_back(timer); }
    void ensureLoaded() const;
    // A control gets its platform part (its window, pictures and font) once it can be seen or reached, with
    // every property it has by then: visible, and lying at least partly within the window or having a
    // place in the keyboard's focus order. Once created, it stays until the window unloads.
    bool seen(const Control& control) const;
    void createIfSeen(Control& control);
    void createNative(Control& control);
    Form* owner() const;
    void placeAtStart();
    static void endIfNoneLoaded();

    FormProps design_;
    FormProps props_;
    Twips left_ = 0;
    Twips top_ = 0;
    bool loaded_ = false;
    bool modal_ = false;
    Form* outerModal_ = nullptr; // the modal window this one was shown over
    bool shown_ = false;         // since the latest load
    bool placed_ = false;        // since the latest load
    Form* owner_ = nullptr;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::unique_ptr<NativeWindow> native_;
    FocusTracker focus_{*this};
};

} // namespace forms
