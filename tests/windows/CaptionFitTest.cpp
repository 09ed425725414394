#include "windows/main/FormMain.h"

#include "toolkit/TestDriver.h"

#include <gtest/gtest.h>

namespace t = forms::testing;

namespace {

int widthPixels(const forms::Control& control) {
    return static_cast<int>(control.width() / forms::kTwipsPerPixel);
}
int leftPixels(const forms::Control& control) {
    return static_cast<int>(control.left() / forms::kTwipsPerPixel);
}

class CaptionFit : public ::testing::Test {
protected:
    void TearDown() override { form.unload(); }
    FormMain form;
};

TEST_F(CaptionFit, EverySingleLineCaptionFitsItsLabel) {
    form.load();
    int checked = 0;
    for (forms::Control* control : form.controls()) {
        auto* label = dynamic_cast<forms::Label*>(control);
        if (!label || label->caption() == "fff") continue;
        EXPECT_LE(t::textWidthPixels(*label, label->caption()), widthPixels(*label)) << label->caption();
        ++checked;
    }
    EXPECT_EQ(checked, 1 + 8 + 7);
    // Under the pointer the title turns bold and must still fit.
    form.Label1.setFontBold(true);
    EXPECT_LE(t::textWidthPixels(form.Label1, form.Label1.caption()), widthPixels(form.Label1));

    FormAlert alert;
    EXPECT_LE(t::textWidthPixels(alert.Label1, alert.Label1.caption()), widthPixels(alert.Label1));
    // Longer messages wrap inside the message label, as designed.
    EXPECT_LE(t::textWidthPixels(alert.lbl, "Mileage Attained Is Required."), widthPixels(alert.lbl));
    alert.unload();
}

// Each figure is laid over the run of spaces in its row's caption: it must sit after the row's name and
// end before its unit, inside its own label.
TEST_F(CaptionFit, WorkedExampleFiguresSitBetweenNameAndUnit) {
    const char* figures[] = {"676.5", "15.0", "2.4", "$222.69", "$40.56", "$486.72", "5.5"};
    for (int i = 0; i <= 6; ++i) {
        forms::Label& caption = form.lblResult[i];
        forms::Label& value = form.lblCalculationResult[i];
        const std::string text = caption.caption();
        const std::size_t runStart = text.find("  ");
        const std::size_t runEnd = text.find_first_not_of(' ', runStart);
        const int nameEnd = leftPixels(caption) + t::textWidthPixels(caption, text.substr(0, runStart));
        const int unitStart = leftPixels(caption) + t::textWidthPixels(caption, text.substr(0, runEnd));
        const int figureWidth = t::textWidthPixels(value, figures[i]);
        EXPECT_LT(nameEnd, leftPixels(value)) << "row " << i;
        EXPECT_LT(leftPixels(value) + figureWidth, unitStart) << "row " << i;
        EXPECT_LE(figureWidth, widthPixels(value)) << "row " << i;
    }
}

} // namespace
