#include "windows/alert/FormAlert.h"

#include <array>

namespace {

// Per message count: inner height, then the heights and tops that follow from it. The rows keep fixed
// distances: OK 225 twips below the label, the bottom border 600 below OK, the sides 60 into the border.
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

} // namespace

FormAlert::FormAlert()
    : Form({.name = "formAlert",
            .width = 4950,
            .height = 2655,
            .backColor = skin::kBackground,
            .startPosition = forms::StartPosition::CenterOwner,
            .accessibleName = "Input error"}) {
    cmdOk.onClick = [this] { cmdOkClick(); };
}

void FormAlert::formLoad() {
    const int n = messageCounter;
    // Any other count keeps the design layout.
    if (n < 1 || n > static_cast<int>(kLayouts.size())) return;
    const Layout& layout = kLayouts[static_cast<std::size_t>(n - 1)];
    setHeight(layout.windowHeight);
    lbl.setHeight(layout.labelHeight);
    cmdOk.setTop(layout.okTop);
    imgLeft.setHeight(layout.sideHeight);
    imgRight.setHeight(layout.sideHeight);
    imgBL.setTop(layout.bottomTop);
    imgBR.setTop(layout.bottomTop);
    imgBottom.setTop(layout.bottomTop);
}

void FormAlert::cmdOkClick() {
    unload();
}
