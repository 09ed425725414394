#pragma once

#include "toolkit/ControlArray.h"
#include "toolkit/Form.h"
#include "toolkit/Frame.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/PictureBox.h"
#include "toolkit/PictureButton.h"
#include "toolkit/TextBox.h"
#include "toolkit/Timer.h"
#include "windows/Skin.h"
#include "windows/alert/FormAlert.h"

#include "logic/Inputs.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// The distributor's home page; the title label shows its host in capitals. The reserved example domain
// stands until a distributor supplies a real address.
inline constexpr const char* kDistributorHome = "https://www.kelvara.example/";
std::string titleCaption(const std::string& address);

// The calculator window: four figures in, seven figures out.
class FormMain : public forms::Form {
public:
    FormMain();

    FormAlert* formAlert() const { return formAlert_.get(); }

    // State of the latest validation, read by the Calculate command.
    std::string validationStatus;
    std::vector<std::string> validationMessages;
    // The four texts of the latest validation that succeeded: what the calculation reads, whatever the
    // boxes have been given since.
    logic::FieldTexts validatedTexts;
    // Whether the pointer has been over a picture button since it last crossed the window body.
    bool buttonHovered = false;
    // Where the latest press on a drag surface was, in twips of that surface.
    float dragStartX = 0;
    double dragStartY = 0;

    void validation();
    void calculations();

    // clang-format off
    // Design, in twips. Labels and images are drawn below text boxes, buttons, frames and holders, and
    // in this order among themselves, so Label1 lies above Image1.
    forms::Image imgTL{*this, {.name = "imgTL", .left = 0, .top = 0, .width = 150, .height = 150, .picture = skin::cornerTopLeft}};
    forms::Image imgTR{*this, {.name = "imgTR", .left = 7560, .top = 0, .width = 150, .height = 150, .picture = skin::cornerTopRight}};
    forms::Image imgBL{*this, {.name = "imgBL", .left = 0, .top = 4080, .width = 150, .height = 150, .picture = skin::cornerBottomLeft}};
    forms::Image imgBR{*this, {.name = "imgBR", .left = 7560, .top = 4080, .width = 150, .height = 150, .picture = skin::cornerBottomRight}};
    forms::Image imgTop{*this, {.name = "imgTop", .left = 120, .top = 0, .width = 7500, .height = 150, .picture = skin::edge, .stretch = true}};
    forms::Image imgBottom{*this, {.name = "imgBottom", .left = 120, .top = 4080, .width = 7500, .height = 150, .picture = skin::edge, .stretch = true}};
    forms::Image imgLeft{*this, {.name = "imgLeft", .left = 0, .top = 120, .width = 150, .height = 4020, .picture = skin::edge, .stretch = true}};
    forms::Image imgRight{*this, {.name = "imgRight", .left = 7560, .top = 120, .width = 150, .height = 4020, .picture = skin::edge, .stretch = true}};

    forms::Image Image1{*this, {.name = "Image1", .left = 120, .top = 120, .width = 7410, .height = 375, .picture = skin::titleStrip, .stretch = true}};
    forms::Image Image2{*this, {.name = "Image2", .left = 240, .top = 120, .width = 735, .height = 375, .picture = skin::logo, .stretch = true}};
    forms::Label Label1{*this, {.name = "Label1", .left = 1440, .top = 240, .width = 5535, .height = 375, .caption = titleCaption(kDistributorHome), .font = skin::kTitleFont, .foreColor = skin::kTitleText, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer}};
    forms::PictureButton Command1{*this, {.name = "Command1", .left = 6840, .top = 120, .width = 375, .height = 375, .backColor = skin::kButtonFace, .picture = skin::minimiseGlyph, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer, .cancel = true, .accessibleName = "Minimise"}};
    forms::PictureButton cmdClose{*this, {.name = "cmdClose", .left = 7200, .top = 120, .width = 375, .height = 375, .backColor = skin::kButtonFace, .picture = skin::closeGlyph, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer, .accessibleName = "Close"}};

    // Input panel: these fourteen slide together, frmMain first as the position marker. The boxes are wide
    // enough for the widest figure each range accepts with two decimals; to make room within the border,
    // they start 23 px left of the classic layout, the captions beside them 12 px (the longest stays), and
    // the units follow the boxes 8 px further right.
    forms::Frame frmMain{*this, {.name = "frmMain", .left = 0, .top = 7560, .width = 615, .height = 615}};
    forms::Label lbltank{*this, {.name = "lbltank", .left = 2460, .top = 720, .width = 2595, .height = 495, .caption = "Full Tank Capacity:", .font = skin::kPanelFont}};
    forms::Label lbltank2{*this, {.name = "lbltank2", .left = 6240, .top = 720, .width = 855, .height = 495, .caption = "Litres", .font = skin::kPanelFont}};
    forms::TextBox txtTank{*this, {.name = "txtTank", .left = 5055, .top = 720, .width = 1110, .height = 465, .font = skin::kBoxFont, .foreColor = forms::kWindowText, .tabIndex = 0, .accessibleName = "Full Tank Capacity:"}};
    forms::Label lblTopUp{*this, {.name = "lblTopUp", .left = 1620, .top = 1320, .width = 3435, .height = 495, .caption = "Average Monthly Top-up:", .font = skin::kPanelFont}};
    forms::Label lblTopUp2{*this, {.name = "lblTopUp2", .left = 6240, .top = 1320, .width = 975, .height = 495, .caption = "Times", .font = skin::kPanelFont}};
    forms::TextBox txtTopUp{*this, {.name = "txtTopUp", .left = 5055, .top = 1320, .width = 1110, .height = 480, .font = skin::kBoxFont, .foreColor = forms::kWindowText, .tabIndex = 1, .accessibleName = "Average Monthly Top-up:"}};
    forms::Label lblMileage{*this, {.name = "lblMileage", .left = 240, .top = 1920, .width = 4815, .height = 495, .caption = "Max Mileage Attained Per Full Tank:", .font = skin::kPanelFont}};
    forms::Label lblMileage2{*this, {.name = "lblMileage2", .left = 6240, .top = 1920, .width = 1320, .height = 495, .caption = "Kilometer", .font = skin::kPanelFont}};
    forms::TextBox txtMileage{*this, {.name = "txtMileage", .left = 5055, .top = 1920, .width = 1110, .height = 480, .font = skin::kBoxFont, .foreColor = forms::kWindowText, .tabIndex = 2, .accessibleName = "Max Mileage Attained Per Full Tank:"}};
    forms::Label lblPrice{*this, {.name = "lblPrice", .left = 2340, .top = 2520, .width = 2715, .height = 495, .caption = "Fuel price per Litre:", .font = skin::kPanelFont}};
    forms::Label lblPrice2{*this, {.name = "lblPrice2", .left = 6240, .top = 2520, .width = 735, .height = 495, .caption = "SGD", .font = skin::kPanelFont}};
    forms::TextBox txtPrice{*this, {.name = "txtPrice", .left = 5055, .top = 2520, .width = 1110, .height = 480, .font = skin::kBoxFont, .foreColor = forms::kWindowText, .tabIndex = 3, .accessibleName = "Fuel price per Litre:"}};
    forms::PictureButton cmdCalculate{*this, {.name = "cmdCalculate", .left = 2760, .top = 3360, .width = 2295, .height = 495, .backColor = skin::kWhite, .picture = skin::calculateNormal, .downPicture = skin::calculateMuted, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer, .tabIndex = 4, .accessibleName = "Calculate"}};

    // Result panel: hidden until the window has grown. Each value lies over the run of spaces in its caption;
    // the money rows are wide enough for the largest figures the accepted ranges give.
    forms::ControlArray<forms::Label> lblResult{*this, {
        {.name = "lblResult", .left = 840, .top = 720, .width = 6255, .height = 495, .caption = "Estimated Mileage Attainable:             KM", .font = skin::kPanelFont, .visible = false},
        {.name = "lblResult", .left = 1800, .top = 1200, .width = 4335, .height = 495, .caption = "Fuel Efficiency:             KM / L", .font = skin::kPanelFont, .visible = false},
        {.name = "lblResult", .left = 1320, .top = 1680, .width = 5055, .height = 495, .caption = "Monthly Fuel Top-up:             Times", .font = skin::kPanelFont, .visible = false},
        {.name = "lblResult", .left = 1440, .top = 2160, .width = 5280, .height = 495, .caption = "Monthly Fuel Cost:               (SGD)", .font = skin::kPanelFont, .visible = false},
        {.name = "lblResult", .left = 1080, .top = 3000, .width = 5700, .height = 495, .caption = "Monthly Fuel Savings:                (SGD)", .font = skin::kPanelFont, .visible = false},
        {.name = "lblResult", .left = 1080, .top = 3480, .width = 5700, .height = 495, .caption = "Yearly Fuel Savings:                  (SGD)", .font = skin::kPanelFont, .visible = false},
        {.name = "lblResult", .left = 840, .top = 4200, .width = 6255, .height = 495, .caption = "A Bottle Of $28 Can Last For           Top-ups.", .font = skin::kPanelFont, .visible = false},
    }};
    forms::ControlArray<forms::Label> lblCalculationResult{*this, {
        {.name = "lblCalculationResult", .left = 5160, .top = 720, .width = 975, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
        {.name = "lblCalculationResult", .left = 4200, .top = 1200, .width = 855, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
        {.name = "lblCalculationResult", .left = 4680, .top = 1680, .width = 615, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
        {.name = "lblCalculationResult", .left = 4200, .top = 2160, .width = 1695, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
        {.name = "lblCalculationResult", .left = 4440, .top = 3000, .width = 1695, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
        {.name = "lblCalculationResult", .left = 4200, .top = 3480, .width = 1815, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
        {.name = "lblCalculationResult", .left = 4920, .top = 4200, .width = 735, .height = 375, .caption = "fff", .font = skin::kPanelFont, .foreColor = skin::kResultValue, .visible = false},
    }};
    forms::PictureButton cmdBack{*this, {.name = "cmdBack", .left = 840, .top = 3360, .width = 1215, .height = 495, .backColor = skin::kWhite, .picture = skin::backNormal, .downPicture = skin::backMuted, .visible = false, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer, .tabIndex = 5, .accessibleName = "Back"}};
    forms::PictureButton cmdExit{*this, {.name = "cmdExit", .left = 5760, .top = 3360, .width = 1215, .height = 495, .backColor = skin::kWhite, .picture = skin::exitNormal, .downPicture = skin::exitMuted, .visible = false, .mousePointer = forms::MousePointer::Custom, .mouseIcon = skin::handPointer, .tabIndex = 6, .accessibleName = "Exit"}};

    // Picture holders, below the window: the stores of the normal and hover faces.
    forms::PictureBox picBack{*this, {.name = "picBack", .left = 2160, .top = 6600, .width = 1215, .height = 495, .picture = skin::backNormal}};
    forms::PictureBox picBackOver{*this, {.name = "picBackOver", .left = 2160, .top = 6720, .width = 1215, .height = 495, .picture = skin::backHover}};
    forms::PictureBox picCalculate{*this, {.name = "picCalculate", .left = 3360, .top = 6600, .width = 2295, .height = 495, .picture = skin::calculateNormal}};
    forms::PictureBox picCalculateOver{*this, {.name = "picCalculateOver", .left = 3360, .top = 6720, .width = 2295, .height = 495, .picture = skin::calculateHover}};
    forms::PictureBox picExit{*this, {.name = "picExit", .left = 5640, .top = 6600, .width = 1215, .height = 495, .picture = skin::exitNormal}};
    forms::PictureBox picExitOver{*this, {.name = "picExitOver", .left = 5640, .top = 6720, .width = 1215, .height = 495, .picture = skin::exitHover}};

    forms::Timer tmr1{*this, {.name = "tmr1", .interval = 1}};
    forms::Timer tmr2{*this, {.name = "tmr2", .interval = 1}};
    forms::Timer tmrForm1{*this, {.name = "tmrForm1", .interval = 1}};
    forms::Timer tmrForm2{*this, {.name = "tmrForm2", .interval = 1}};
    // clang-format on

    // The fourteen controls of the input panel in the order they move; frmMain first.
    std::array<forms::Control*, 14> inputPanel();

protected:
    void formLoad() override;

private:
    void wireHandlers();

    void cmdCalculateClick();
    void cmdBackClick();
    void tmr1Timer();
    void tmr2Timer();
    void tmrForm1Timer();
    void tmrForm2Timer();
    void stepBottomStrip(forms::Twips step);
    void fitResultRow(int index);
    void showResultPanel(bool visible);

    void pictureButtonFocus(forms::PictureButton& button, const forms::PictureBox& holder);
    void pictureButtonMouseMove(forms::PictureButton& button, const forms::PictureBox& hoverHolder);
    void windowButtonMouseMove(forms::PictureButton& hovered, forms::PictureButton& other);
    void label1MouseMove();
    void bodyMouseMove(const forms::PointerEvent& event);
    void titleImageMouseMove(const forms::PointerEvent& event);
    void resetTitleLooks();
    void dragSurfaceMouseDown(const forms::PointerEvent& event);
    void dragStep(const forms::PointerEvent& event);
    void textBoxFocus(forms::TextBox& box, forms::Color color);

    void command1Click();
    void endProgram();
    void label1Click();

    std::unique_ptr<FormAlert> formAlert_;
};
