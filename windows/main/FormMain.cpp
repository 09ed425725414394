#include "windows/main/FormMain.h"

#include "logic/Inputs.h"
#include "logic/Savings.h"

#include <cctype>

std::string titleCaption(const std::string& address) {
    std::string host = address.substr(address.find("://") + 3);
    host = host.substr(0, host.find('/'));
    for (char& c : host)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "KELVARA CALCULATOR BY " + host;
}

FormMain::FormMain()
    : Form({.name = "formMain",
            .caption = "Kelvara - Fuel Consumtion Calculator",
            .width = 7710,
            .height = 4230,
            .backColor = skin::kBackground,
            .icon = skin::logo}) {
    wireHandlers();
    // Each figure is read with the caption of its row.
    for (int i = 0; i <= lblCalculationResult.ubound(); ++i)
        lblCalculationResult[i].labelledBy = &lblResult[i];
}

std::array<forms::Control*, 14> FormMain::inputPanel() {
    return {&frmMain,    &lbltank,     &lbltank2,   &txtTank,  &lblTopUp,  &lblTopUp2, &txtTopUp,
            &lblMileage, &lblMileage2, &txtMileage, &lblPrice, &lblPrice2, &txtPrice,  &cmdCalculate};
}

void FormMain::formLoad() {
    validationStatus = "";
    if (!formAlert_) formAlert_ = std::make_unique<FormAlert>();
    formAlert_->messageCounter = 0;
    // The window is frameless from the start, so no frame is left to remove here.
}

void FormMain::validation() {
    forms::TextBox* boxes[logic::kFieldCount] = {&txtTank, &txtTopUp, &txtMileage, &txtPrice};
    logic::FieldTexts texts;
    for (int i = 0; i < logic::kFieldCount; ++i)
        texts[static_cast<std::size_t>(i)] = boxes[i]->text();
    const logic::Verdict verdict = logic::judgeFields(texts);
    for (int i = 0; i < logic::kFieldCount; ++i)
        boxes[i]->setBackColor(verdict.fieldOk(i) ? skin::kNormalBox : skin::kErrorBox);
    validationMessages.assign(verdict.messages.begin(), verdict.messages.end());
    validationStatus = verdict.status;
    if (validationStatus == logic::kSuccess) validatedTexts = texts;
}

void FormMain::calculations() {
    const auto captions = logic::calculations(validatedTexts);
    for (int i = 0; i <= lblCalculationResult.ubound(); ++i) {
        lblCalculationResult[i].setCaption(captions[static_cast<std::size_t>(i)]);
        fitResultRow(i);
    }
}

// A figure lies over the run of spaces in its row's caption. One wider than the run lengthens the run, so
// the unit moves right of it and never runs into it; ordinary figures leave the caption as designed.
void FormMain::fitResultRow(int index) {
    forms::Label& row = lblResult[index];
    forms::Label& figure = lblCalculationResult[index];
    std::string caption = row.design().caption;
    const std::size_t run = caption.find("  ");
    const forms::Twips figureEnd = figure.left() + figure.textWidth(figure.caption()) + row.textWidth(" ");
    std::size_t unit = caption.find_first_not_of(' ', run);
    const std::size_t longest = caption.size() + 64;
    while (row.left() + row.textWidth(caption.substr(0, unit)) < figureEnd && caption.size() < longest)
        caption.insert(unit++, 1, ' ');
    if (caption != row.caption()) row.setCaption(caption);
}

void FormMain::cmdCalculateClick() {
    validation();
    if (validationStatus == logic::kSuccess) {
        // A slide out never starts against the way back in: it would meet neither stop position.
        if (!tmrForm2.enabled() && !tmr2.enabled()) tmr1.setEnabled(true);
        formAlert_->messageCounter = 0;
    } else if (validationStatus == logic::kFail) {
        std::string alertText;
        formAlert_->messageCounter = 0;
        for (int i = 0; i < logic::kFieldCount; ++i) {
            if (validationMessages[static_cast<std::size_t>(i)] != logic::kNil) {
                alertText += "\r\n" + validationMessages[static_cast<std::size_t>(i)];
                ++formAlert_->messageCounter;
            }
        }
        // Loads the alert, which sizes itself from the final count.
        formAlert_->lbl.setCaption(alertText);
        formAlert_->showModal();
    }
}
