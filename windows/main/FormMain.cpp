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
}

void FormMain::calculations() {
    const logic::FieldTexts texts{txtTank.text(), txtTopUp.text(), txtMileage.text(), txtPrice.text()};
    const auto captions = logic::calculations(texts);
    for (int i = 0; i <= lblCalculationResult.ubound(); ++i)
        lblCalculationResult[i].setCaption(captions[static_cast<std::size_t>(i)]);
}

void FormMain::cmdCalculateClick() {
    validation();
    if (validationStatus == "success") {
        // A slide out never starts against the way back in: it would meet neither stop position.
        if (!tmrForm2.enabled() && !tmr2.enabled()) tmr1.setEnabled(true);
        formAlert_->messageCounter = 0;
    } else if (validationStatus == "fail") {
        std::string alertText;
        formAlert_->messageCounter = 0;
        for (int i = 0; i <= 3; ++i) {
            if (validationMessages[static_cast<std::size_t>(i)] != "nil") {
                alertText += "\r\n" + validationMessages[static_cast<std::size_t>(i)];
                ++formAlert_->messageCounter;
            }
        }
        // Loads the alert, which sizes itself from the final count.
        formAlert_->lbl.setCaption(alertText);
        formAlert_->showModal();
    }
}
