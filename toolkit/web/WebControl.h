#pragma once

#include "toolkit/Native.h"
#include "toolkit/web/WebBridgeNumbers.h"

namespace forms::web {

// A control as an element of the page, known to the page by its id.
class WebControl : public NativeControl {
public:
    // At that place of its window's stacking order.
    WebControl(Control& control, int windowId, int layer);
    ~WebControl() override;
    void update(ControlProp changed) override;
    void setFocus() override;
    int captionLineCount() const override;

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

// Width of the text on one line in the font, as the page draws it.
Twips lineWidth(const Font& font, const std::string& text);

} // namespace forms::web
