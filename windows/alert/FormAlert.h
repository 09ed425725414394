#pragma once

#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/PictureButton.h"
#include "windows/Skin.h"

#include <cstdint>

// The modal window that lists why a calculation was refused, sized for one to four messages.
class FormAlert : public forms::Form {
public:
    FormAlert();

    // Message lines of the current alert; read by the load handler to size the window.
    std::int16_t messageCounter = 0;

    // clang-format off
    // Design, in twips: the layout for four messages.
    forms::Image imgTL{*this, {.name = "imgTL", .left = 0, .top = 0, .width = 150, .height = 150, .picture = skin::cornerTopLeft}};
    forms::Image imgTR{*this, {.name = "imgTR", .left = 4800, .top = 0, .width = 150, .height = 150, .picture = skin::cornerTopRight}};
    forms::Image imgBL{*this, {.name = "imgBL", .left = 0, .top = 2520, .width = 150, .height = 150, .picture = skin::cornerBottomLeft}};
    forms::Image imgBR{*this, {.name = "imgBR", .left = 4800, .top = 2520, .width = 150, .height = 150, .picture = skin::cornerBottomRight}};
    forms::Image imgTop{*this, {.name = "imgTop", .left = 120, .top = 0, .width = 4740, .height = 150, .picture = skin::edge, .stretch = true}};
    forms::Image imgBottom{*this, {.name = "imgBottom", .left = 120, .top = 2520, .width = 4740, .height = 150, .picture = skin::edge, .stretch = true}};
    forms::Image imgLeft{*this, {.name = "imgLeft", .left = 0, .top = 120, .width = 150, .height = 2460, .picture = skin::edge, .stretch = true}};
    forms::Image imgRight{*this, {.name = "imgRight", .left = 4800, .top = 120, .width = 150, .height = 2460, .picture = skin::edge, .stretch = true}};
    forms::Image Image1{*this, {.name = "Image1", .left = 120, .top = 120, .width = 4770, .height = 375, .picture = skin::titleStrip, .stretch = true}};
    forms::Image Image2{*this, {.name = "Image2", .left = 240, .top = 120, .width = 735, .height = 375, .picture = skin::logo, .stretch = true}};
    forms::Label Label1{*this, {.name = "Label1", .left = 1920, .top = 240, .width = 1335, .height = 255, .caption = "INPUT ERROR!", .font = skin::kTitleFont, .foreColor = skin::kAlertTitle}};
    forms::Label lbl{*this, {.name = "lbl", .left = 1080, .top = 480, .width = 3135, .height = 1215, .font = skin::kAlertFont}};
    forms::PictureButton cmdOk{*this, {.name = "cmdOk", .left = 1920, .top = 1920, .width = 1215, .height = 495, .backColor = skin::kWhite, .picture = skin::okNormal, .downPicture = skin::okMuted, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer, .tabIndex = 0, .accessibleName = "OK"}};
    // clang-format on

protected:
    void formLoad() override;

private:
    void cmdOkClick();
    void lblChange();
    void sizeForLines(int lines);
};
