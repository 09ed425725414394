// Hover and focus looks, dragging the frameless window, the window commands and the web link.

#include "toolkit/Application.h"
#include "windows/main/FormMain.h"

void FormMain::wireHandlers() {
    cmdCalculate.onClick = [this] { cmdCalculateClick(); };
    cmdBack.onClick = [this] { cmdBackClick(); };
    cmdExit.onClick = [this] { endProgram(); };
    cmdClose.onClick = [this] { endProgram(); };
    Command1.onClick = [this] { command1Click(); };
    Label1.onClick = [this] { label1Click(); };

    tmr1.onTimer = [this] { tmr1Timer(); };
    tmr2.onTimer = [this] { tmr2Timer(); };
    tmrForm1.onTimer = [this] { tmrForm1Timer(); };
    tmrForm2.onTimer = [this] { tmrForm2Timer(); };

    const auto pictureButton = [this](forms::PictureButton& button, forms::PictureBox& normal,
                                      forms::PictureBox& hover) {
        button.onGotFocus = [this, &button, &hover] { pictureButtonFocus(button, hover); };
        button.onLostFocus = [this, &button, &normal] { pictureButtonFocus(button, normal); };
        button.onMouseMove = [this, &button, &hover](const forms::PointerEvent&) {
            pictureButtonMouseMove(button, hover);
        };
    };
    pictureButton(cmdBack, picBack, picBackOver);
    pictureButton(cmdCalculate, picCalculate, picCalculateOver);
    pictureButton(cmdExit, picExit, picExitOver);

    cmdClose.onMouseMove = [this](const forms::PointerEvent&) { windowButtonMouseMove(cmdClose, Command1); };
    Command1.onMouseMove = [this](const forms::PointerEvent&) { windowButtonMouseMove(Command1, cmdClose); };
    Label1.onMouseMove = [this](const forms::PointerEvent&) { label1MouseMove(); };

    onMouseMove = [this](const forms::PointerEvent& event) { bodyMouseMove(event); };
    Image1.onMouseMove = [this](const forms::PointerEvent& event) { titleImageMouseMove(event); };
    Image2.onMouseMove = [this](const forms::PointerEvent& event) { titleImageMouseMove(event); };
    onMouseDown = [this](const forms::PointerEvent& event) { dragSurfaceMouseDown(event); };
    Image1.onMouseDown = [this](const forms::PointerEvent& event) { dragSurfaceMouseDown(event); };
    Image2.onMouseDown = [this](const forms::PointerEvent& event) { dragSurfaceMouseDown(event); };

    for (forms::TextBox* box : {&txtTank, &txtTopUp, &txtMileage, &txtPrice}) {
        box->onGotFocus = [this, box] { textBoxFocus(*box, skin::kFocusBox); };
        box->onLostFocus = [this, box] { textBoxFocus(*box, skin::kNormalBox); };
    }
}

void FormMain::pictureButtonFocus(forms::PictureButton& button, const forms::PictureBox& holder) {
    button.setPicture(holder.picture());
}

void FormMain::pictureButtonMouseMove(forms::PictureButton& button, const forms::PictureBox& hoverHolder) {
    button.setPicture(hoverHolder.picture());
    buttonHovered = true;
}

void FormMain::windowButtonMouseMove(forms::PictureButton& hovered, forms::PictureButton& other) {
    other.setBackColor(skin::kButtonFace);
    hovered.setBackColor(skin::kButtonHover);
}

void FormMain::label1MouseMove() {
    cmdClose.setBackColor(skin::kButtonFace);
    Command1.setBackColor(skin::kButtonFace);
    Label1.setForeColor(skin::kTitleHover);
    Label1.setFontBold(true);
}

void FormMain::resetTitleLooks() {
    cmdClose.setBackColor(skin::kButtonFace);
    Command1.setBackColor(skin::kButtonFace);
    Label1.setForeColor(skin::kTitleText);
    Label1.setFontBold(false);
}

void FormMain::bodyMouseMove(const forms::PointerEvent& event) {
    resetTitleLooks();
    if (buttonHovered) {
        cmdCalculate.setPicture(picCalculate.picture());
        cmdBack.setPicture(picBack.picture());
        cmdExit.setPicture(picExit.picture());
        buttonHovered = false;
    }
    dragStep(event);
}

void FormMain::titleImageMouseMove(const forms::PointerEvent& event) {
    resetTitleLooks();
    dragStep(event);
}

void FormMain::dragSurfaceMouseDown(const forms::PointerEvent& event) {
    dragStartX = event.x;
    dragStartY = event.y;
}

void FormMain::dragStep(const forms::PointerEvent& event) {
    if (event.button != forms::LeftButton) return;
    const forms::Twips currentLeft = left();
    const forms::Twips currentTop = top();
    const double newTop = static_cast<double>(currentTop) + (static_cast<double>(event.y) - dragStartY);
    const float newLeft = currentLeft + (event.x - dragStartX);
    move(newLeft, static_cast<forms::Twips>(newTop));
}

void FormMain::textBoxFocus(forms::TextBox& box, forms::Color color) {
    box.setBackColor(color);
}

void FormMain::command1Click() {
    setWindowState(forms::WindowState::Minimized);
}

void FormMain::endProgram() {
    unload();
    forms::endProcess();
}

void FormMain::label1Click() {
    forms::openUrl(kDistributorHome);
}
