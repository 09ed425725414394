#include "FixedText.h"
#include "windows/main/FormMain.h"

#include "toolkit/Metrics.h"
#include "toolkit/TestDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

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

// What the user typed can be checked once the box has lost the focus: the widest figures each range accepts,
// written with up to two decimals, show whole in their boxes.
TEST_F(CaptionFit, WidestAcceptedFiguresShowWholeInTheirBoxes) {
    const std::pair<forms::TextBox*, std::vector<std::string>> rows[] = {
        {&form.txtTank, {"1499.99", "1500.00", "1500"}},
        {&form.txtTopUp, {"99.99", "100.00"}},
        {&form.txtMileage, {"2999.99", "3000.00"}},
        {&form.txtPrice, {"19.99", "20.00", "0.01"}},
    };
    for (const auto& [box, texts] : rows)
        for (const std::string& text : texts)
            EXPECT_TRUE(forms::textBoxShowsWhole(t::textWidthPixels(*box, text), widthPixels(*box)))
                << box->name() << " " << text << ": " << t::textWidthPixels(*box, text) << " px in "
                << widthPixels(*box);
    // Their units still end inside the border.
    for (const forms::Label* unit : {&form.lbltank2, &form.lblTopUp2, &form.lblMileage2, &form.lblPrice2})
        EXPECT_LE(unit->left() + t::textWidthPixels(*unit, unit->caption()) * forms::kTwipsPerPixel,
                  form.imgRight.left())
            << unit->caption();
}

// Each figure is laid over the run of spaces in its row's caption: it must sit after the row's name and
// end before its unit, inside its own label.
void expectBetweenNameAndUnit(FormMain& form, int row, const std::string& figure) {
    forms::Label& caption = form.lblResult[row];
    forms::Label& value = form.lblCalculationResult[row];
    const std::string text = caption.caption();
    const std::size_t runStart = text.find("  ");
    const std::size_t runEnd = text.find_first_not_of(' ', runStart);
    const int nameEnd = leftPixels(caption) + t::textWidthPixels(caption, text.substr(0, runStart));
    const int unitStart = leftPixels(caption) + t::textWidthPixels(caption, text.substr(0, runEnd));
    const int figureWidth = t::textWidthPixels(value, figure);
    const std::string where = "row " + std::to_string(row) + " figure " + figure;
    EXPECT_LT(nameEnd, leftPixels(value)) << where;
    EXPECT_LT(leftPixels(value) + figureWidth, unitStart) << where;
    EXPECT_LE(figureWidth, widthPixels(value)) << where;
}

TEST_F(CaptionFit, WorkedExampleFiguresSitBetweenNameAndUnit) {
    const char* figures[] = {"676.5", "15.0", "2.4", "$222.69", "$40.56", "$486.72", "5.5"};
    for (int i = 0; i <= 6; ++i)
        expectBetweenNameAndUnit(form, i, figures[i]);
}

// Every figure that accepted input can give shows whole, inside its label, clear of its row's name and
// unit, with each caption on one line. The figures grow with each input's magnitude, so the corners of
// the accepted ranges (and values just inside them, for the most decimals) give the widest; random inputs
// of the ranges cover what lies between.
class FigureFit : public CaptionFit {
protected:
    void expectFit(const logic::FieldTexts& texts) {
        forms::TextBox* boxes[] = {&form.txtTank, &form.txtTopUp, &form.txtMileage, &form.txtPrice};
        for (int i = 0; i < 4; ++i)
            boxes[i]->setText(texts[static_cast<std::size_t>(i)]);
        form.validation();
        ASSERT_EQ(form.validationStatus, "success")
            << texts[0] << " " << texts[1] << " " << texts[2] << " " << texts[3];
        form.calculations();
        for (int i = 0; i <= 6; ++i) {
            forms::Label& caption = form.lblResult[i];
            forms::Label& value = form.lblCalculationResult[i];
            expectBetweenNameAndUnit(form, i, value.caption());
            const std::string where = "row " + std::to_string(i) + " figure " + value.caption();
            EXPECT_LE(t::textWidthPixels(caption, caption.caption()), widthPixels(caption)) << where;
            EXPECT_EQ(caption.lineCount(), 1) << where;
            EXPECT_EQ(value.lineCount(), 1) << where;
        }
    }
};

TEST_F(FigureFit, OrdinaryFiguresLeaveTheCaptionsAsDesigned) {
    expectFit({"47.5", "4", "845", "2.88"});
    expectFit({"45", "3", "550", "1.95"});
    for (int i = 0; i <= 6; ++i)
        EXPECT_EQ(form.lblResult[i].caption(), form.lblResult[i].design().caption) << "row " << i;
}

TEST_F(FigureFit, CornersOfTheAcceptedRangesShowWhole) {
    // Per box: the lowest, just above it, just below the highest, the highest.
    const std::array<std::array<const char*, 4>, 4> values{{
        {"1", "1.01", "1499.99", "1500"},
        {"0", "0.01", "99.99", "100"},
        {"1", "1.01", "2999.99", "3000"},
        {"0.01", "0.02", "19.99", "20"},
    }};
    for (int corner = 0; corner < 256; ++corner) {
        logic::FieldTexts texts;
        for (int f = 0; f < 4; ++f)
            texts[static_cast<std::size_t>(f)] =
                values[static_cast<std::size_t>(f)][static_cast<std::size_t>(corner >> (2 * f) & 3)];
        expectFit(texts);
        if (HasFailure()) return;
    }
}

TEST_F(FigureFit, RandomAcceptedInputsShowWhole) {
    std::mt19937 rng(20261209);
    for (int run = 0; run < 300; ++run) {
        logic::FieldTexts texts;
        for (int f = 0; f < 4; ++f) {
            const logic::FieldRange range = logic::kRanges[static_cast<std::size_t>(f)];
            const double value = std::uniform_real_distribution<double>(range.low, range.high)(rng);
            texts[static_cast<std::size_t>(f)] = fixedText(value, 2);
        }
        expectFit(texts);
        if (HasFailure()) return;
    }
}

} // namespace
