#include "windows/alert/FormAlert.h"

#include <algorithm>
#include <array>

namespace {

// Per message line: inner height, then the heights and tops that follow from it. The rows keep fixed
// distances: OK 225 twips below the label, the bottom border 600 below OK, the sides 60 into the border.
// Each line beyond four adds a step like the last.
struct Layout {
    forms::Twips windowHeight;
    forms::Twips labelHeight;
    forms::Twips okTop;
    forms::Twips sideHeight;
    forms::Twips bottomTop;
};
constexpr std::array<Layout, 4> kLayouts{{
    {2070, 495, 1200, 1740, 1800},
    {2290, 715, 1420, 1960, 2020},
    {2540, 965, 1670, 2210, 2270},
    {2790, 1215, 1920, 2460, 2520},
}};
constexpr forms::Twips kLineStep = 250;

} // namespace

FormAlert::FormAlert()
    : Form({.name = "formAlert",
            .width = 4950,
            .height = 2655,
            .backColor = skin::kBackground,
            .startPosition = forms::StartPosition::CenterOwner,
            .accessibleName = "Input error"}) {
    cmdOk.onClick = [this] { cmdOkClick(); };
    lbl.onChange = [this] { lblChange(); };
}

void FormAlert::formLoad() {
    const int n = messageCounter;
    // Any other count keeps the design layout.
    if (n < 1 || n > static_cast<int>(kLayouts.size())) return;
    sizeForLines(n);
}

// A message wider than the label wraps: the window grows by the lines it takes, so none is cut off.
void FormAlert::lblChange() {
    if (messageCounter < 1 || messageCounter > static_cast<int>(kLayouts.size())) return;
    const int lines = lbl.lineCount() - 1; // the text starts with a line break
    if (lines > messageCounter) sizeForLines(lines);
}

void FormAlert::sizeForLines(int lines) {
    const int last = static_cast<int>(kLayouts.size());
    const Layout& layout = kLayouts[static_cast<std::size_t>(std::min(lines, last) - 1)];
    const forms::Twips extra = kLineStep * static_cast<forms::Twips>(std::max(0, lines - last));
    setHeight(layout.windowHeight + extra);
    lbl.setHeight(layout.labelHeight + extra);
    cmdOk.setTop(layout.okTop + extra);
    imgLeft.setHeight(layout.sideHeight + extra);
    imgRight.setHeight(layout.sideHeight + extra);
    imgBL.setTop(layout.bottomTop + extra);
    imgBR.setTop(layout.bottomTop + extra);
    imgBottom.setTop(layout.bottomTop + extra);
}

void FormAlert::cmdOkClick() {
    unload();
}
