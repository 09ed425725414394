#pragma once

#include "toolkit/Native.h"
#include "toolkit/web/WebBridgeNumbers.h"

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
    // A press, move or release on the control; a release's press may have been elsewhere.
    void pointer(PointerPhase phase, const PointerEvent& event, bool inside, bool secondPress);

private:
    void layOut();

    Control& control_;
    int id_;
    int laidOutWidth_ = -1;
    int lineCount_ = 1;
    ReleaseClick releaseClick_;
};

} // namespace forms::web
