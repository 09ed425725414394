// The input panel slides out and in, the window grows and shrinks. Each timer steps until an exact position
// or height, then hands over to the next; positions stay whole multiples of the steps, so the stops are met.

#include "windows/main/FormMain.h"

namespace {
constexpr forms::Twips kPanelIn = 0;
constexpr forms::Twips kPanelOut = -8000;
constexpr forms::Twips kShortHeight = 4230;
constexpr forms::Twips kTallHeight = 5730;
} // namespace

void FormMain::tmr1Timer() {
    if (frmMain.left() != kPanelOut) {
        for (forms::Control* control : inputPanel())
            control->setLeft(control->left() - 500);
        return;
    }
    calculations();
    tmr1.setEnabled(false);
    tmrForm1.setEnabled(true);
}

void FormMain::tmr2Timer() {
    if (frmMain.left() != kPanelIn) {
        for (forms::Control* control : inputPanel())
            control->setLeft(control->left() + 1000);
        return;
    }
    tmr2.setEnabled(false);
}

void FormMain::tmrForm1Timer() {
    if (height() != kTallHeight) {
        stepBottomStrip(100);
        return;
    }
    showResultPanel(true);
    tmrForm1.setEnabled(false);
}

void FormMain::tmrForm2Timer() {
    if (height() != kShortHeight) {
        stepBottomStrip(-300);
        return;
    }
    showResultPanel(false);
    tmrForm2.setEnabled(false);
    tmr2.setEnabled(true);
}

void FormMain::stepBottomStrip(forms::Twips step) {
    setHeight(height() + step);
    cmdBack.setTop(cmdBack.top() + step);
    cmdExit.setTop(cmdExit.top() + step);
    imgLeft.setHeight(imgLeft.height() + step);
    imgRight.setHeight(imgRight.height() + step);
    imgBL.setTop(imgBL.top() + step);
    imgBR.setTop(imgBR.top() + step);
    imgBottom.setTop(imgBottom.top() + step);
}

void FormMain::showResultPanel(bool visible) {
    for (int i = 0, last = lblResult.ubound(); i <= last; ++i)
        lblResult[i].setVisible(visible);
    for (int i = 0, last = lblCalculationResult.ubound(); i <= last; ++i)
        lblCalculationResult[i].setVisible(visible);
    cmdBack.setVisible(visible);
    cmdExit.setVisible(visible);
}

void FormMain::cmdBackClick() {
    // While a calculation is still being revealed the window is about to grow: shrinking against it would
    // meet neither stop height.
    if (tmr1.enabled() || tmrForm1.enabled()) return;
    tmrForm2.setEnabled(true);
}
