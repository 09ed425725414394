// A control as an element of the page (toolkit/web/runtime.js): its properties sent there, its label
// laid out here as the toolkit lays text out, its pointer events turned into the toolkit's.

#include "toolkit/web/WebControl.h"

#include "toolkit/Application.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Metrics.h"
#include "toolkit/TextLayout.h"
#include "toolkit/web/WebBridge.h"
#include "toolkit/web/WebHandles.h"

#include <span>
#include <string_view>

namespace forms::web {

Handles<WebControl>& controls() {
    static Handles<WebControl> handles;
    return handles;
}

namespace {

// Each byte's advance in the face the page draws the font with, space runs widened.
std::vector<double> advances(const Font& font, std::string_view text) {
    std::vector<double> result(text.size());
    const std::string copy(text);
    kv_advances(drawnFamily(font).c_str(), static_cast<float>(fontPixels(font)), font.bold ? 1 : 0,
                copy.c_str(), result.data(), static_cast<int>(result.size()));
    text::widenSpaceRuns(text, std::span<double>(result), fontPixels(font));
    return result;
}

int traits(ControlKind kind) {
    return (takesFocus(kind) ? TakesFocus : 0) | (clicksItself(kind) ? ClicksItself : 0) |
           (fillsBack(kind) ? FillsBack : 0);
}

} // namespace

WebControl::WebControl(Control& control, int windowId, int layer)
    : control_(control)
    , id_(controls().add(this)) {
    const ControlProps& p = control.props();
    kv_control_create(id_, windowId, static_cast<int>(control.kind()), traits(control.kind()), p.name.c_str(),
                      p.accessibleName.c_str(), p.tabIndex, layer);
    for (ControlProp prop :
         {ControlProp::Font, ControlProp::Geometry, ControlProp::Caption, ControlProp::ForeColor,
          ControlProp::Picture, ControlProp::Pointer, ControlProp::Visible})
        update(prop);
}

WebControl::~WebControl() {
    kv_control_destroy(id_);
    controls().remove(id_);
}

void WebControl::update(ControlProp changed) {
    const ControlProps& p = control_.props();
    switch (changed) {
    case ControlProp::Geometry: {
        const PixelRect r = toPixelRect(p.left, p.top, p.width, p.height);
        kv_control_geometry(id_, r.x, r.y, r.width, r.height);
        if (r.width != laidOutWidth_) layOut();
        break;
    }
    case ControlProp::Visible:
        kv_control_visible(id_, p.visible ? 1 : 0);
        break;
    case ControlProp::Caption:
        layOut();
        break;
    case ControlProp::Font:
        kv_control_font(id_, drawnFamily(p.font).c_str(), static_cast<float>(fontPixels(p.font)),
                        p.font.bold ? 1 : 0);
        layOut();
        break;
    case ControlProp::ForeColor:
    case ControlProp::BackColor:
        kv_control_colors(id_, static_cast<int>(p.foreColor), static_cast<int>(p.backColor));
        break;
    case ControlProp::Picture:
        kv_control_pictures(id_, p.picture.name().c_str(), p.downPicture.name().c_str(), p.stretch ? 1 : 0);
        break;
    case ControlProp::Pointer:
        kv_control_pointer(id_, p.mousePointer == MousePointer::Custom && !p.mouseIcon.empty() ? 1 : 0);
        break;
    }
}

// A label shows its caption broken and wrapped as the toolkit lays it out; a text box shows its text.
void WebControl::layOut() {
    const ControlProps& p = control_.props();
    if (control_.kind() != ControlKind::Label) {
        kv_control_caption(id_, p.caption.c_str(), 0);
        return;
    }
    laidOutWidth_ = toPixelRect(p.left, p.top, p.width, p.height).width;
    std::string shown;
    lineCount_ = 0;
    for (const std::string& paragraph : text::paragraphs(std::string_view(p.caption))) {
        const std::vector<double> widths = advances(p.font, paragraph);
        for (const text::Range& line : text::wrap(std::string_view(paragraph), widths, laidOutWidth_)) {
            if (lineCount_++ > 0) shown += '\n';
            shown.append(paragraph, line.start, line.length);
        }
    }
    kv_control_caption(id_, shown.c_str(), text::spaceRunWidening(fontPixels(p.font)));
}

void WebControl::setFocus() {
    kv_control_focus(id_);
}

int WebControl::captionLineCount() const {
    return control_.kind() == ControlKind::Label ? lineCount_ : 1;
}

Twips lineWidth(const Font& font, const std::string& text) {
    double width = 0;
    for (double advance : advances(font, text))
        width += advance;
    return toTwips(width);
}

// Labels and pictures click on the release of a press on them; buttons click as the browser says.
void WebControl::pointer(PointerPhase phase, const PointerEvent& event, bool inside, bool secondPress) {
    auto& handler = phase == PointerPhase::Move ? control_.onMouseMove : control_.onMouseDown;
    const bool ownClick = clicksItself(control_.kind());
    if (phase == PointerPhase::Press) {
        if (secondPress && !secondPressClicks(control_.kind())) {
            releaseClick_.cancel();
            return;
        }
        releaseClick_.pressed(event.button);
    }
    if (phase == PointerPhase::Release) {
        if (!ownClick && releaseClick_.released(event.button, inside) && control_.onClick)
            deliver(control_.onClick);
        return;
    }
    if (handler) deliver([&] { handler(event); });
}

WebControl* WebControl::find(int id) {
    return controls().find(id);
}

} // namespace forms::web
