#include "windows/main/FormMain.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace t = forms::testing;

namespace {

class FormMainTest : public ShownFormMain {
protected:
    void type(forms::TextBox& box, const std::string& text) {
        t::focus(box);
        t::typeText(text);
    }
    void typeWorkedExample() {
        type(form.txtTank, "45");
        type(form.txtTopUp, "3");
        type(form.txtMileage, "550");
        type(form.txtPrice, "1.95");
    }
    // Every control that moves is where the design puts it, and nothing is moving.
    void expectAtRest(bool resultsShown) {
        EXPECT_FALSE(anyTimerOn(form));
        for (forms::Control* control : form.inputPanel())
            EXPECT_EQ(control->left(), resultsShown ? control->design().left - 8000 : control->design().left)
                << control->name();
        const float grown = resultsShown ? 1500 : 0;
        EXPECT_EQ(form.height(), 4230 + grown);
        const std::vector<forms::Control*> strip{&form.cmdBack, &form.cmdExit, &form.imgBL, &form.imgBR,
                                                 &form.imgBottom};
        for (forms::Control* c : strip)
            EXPECT_EQ(c->top(), c->design().top + grown) << c->name();
        EXPECT_EQ(form.imgLeft.height(), 4020 + grown);
        EXPECT_EQ(form.imgRight.height(), 4020 + grown);
        for (int i = 0; i <= 6; ++i) {
            EXPECT_EQ(form.lblResult[i].visible(), resultsShown);
            EXPECT_EQ(form.lblCalculationResult[i].visible(), resultsShown);
        }
        EXPECT_EQ(form.cmdBack.visible(), resultsShown);
        EXPECT_EQ(form.cmdExit.visible(), resultsShown);
    }
    // Results shown, then Back and the first shrinking tick.
    void startShrinking() {
        typeWorkedExample();
        t::click(form.cmdCalculate);
        runTimers(form);
        t::click(form.cmdBack);
        form.tmrForm2.tick();
    }
    std::vector<std::string> captions() {
        std::vector<std::string> values;
        for (int i = 0; i <= form.lblCalculationResult.ubound(); ++i)
            values.push_back(form.lblCalculationResult[i].caption());
        return values;
    }
};

TEST_F(FormMainTest, StartsFramelessAndCentredWithTheInputPanelAndFocusInTheTankBox) {
    EXPECT_EQ(form.height(), 4230.0f);
    EXPECT_EQ(form.width(), 7710.0f);
    EXPECT_EQ(t::windowTitle(form), "Kelvara - Fuel Consumtion Calculator");
    EXPECT_EQ(form.validationStatus, "");
    ASSERT_NE(form.formAlert(), nullptr);
    EXPECT_EQ(form.formAlert()->messageCounter, 0);
    EXPECT_FALSE(form.formAlert()->isLoaded());
    EXPECT_EQ(form.activeControl(), &form.txtTank);
    EXPECT_EQ(form.txtTank.backColor(), skin::kFocusBox); // the first focus is a real one
    EXPECT_FALSE(form.buttonHovered);
    expectAtRest(false);
    const t::Pixels shot = t::grab(form);
    EXPECT_EQ(shot.width, 514);
    EXPECT_EQ(shot.height, 282);
    EXPECT_EQ(form.Label1.caption(), "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE");
}

struct FailCase {
    const char* name;
    const char* tank;
    const char* topUp;
    const char* mileage;
    const char* price;
    const char* alertText;
    int count;
    friend void PrintTo(const FailCase& c, std::ostream* os) { *os << c.name; }
};

class FailingCalculate : public FormMainTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(FailingCalculate, ListsOneMessagePerBadBoxInTheModalAlert) {
    const FailCase& c = GetParam();
    forms::TextBox* boxes[] = {&form.txtTank, &form.txtTopUp, &form.txtMileage, &form.txtPrice};
    const char* texts[] = {c.tank, c.topUp, c.mileage, c.price};
    for (int i = 0; i < 4; ++i)
        if (*texts[i]) type(*boxes[i], texts[i]);
    std::string shownText;
    int shownCount = -1;
    float shownHeight = 0;
    t::expectModal([&](forms::Form&) {
        FormAlert& alert = *form.formAlert();
        shownText = alert.lbl.caption();
        shownCount = alert.messageCounter;
        shownHeight = alert.height();
        t::click(alert.cmdOk);
    });
    t::click(form.cmdCalculate);
    EXPECT_EQ(form.validationStatus, "fail");
    EXPECT_EQ(shownText, c.alertText);
    EXPECT_EQ(shownCount, c.count);
    EXPECT_FALSE(form.formAlert()->isLoaded());
    // A message wider than the alert's label takes a second line, and the alert a step more.
    int lines = 0;
    for (const std::string& message : form.validationMessages)
        if (message != "nil")
            lines += t::textWidthPixels(form.formAlert()->lbl, message) <=
                             form.formAlert()->lbl.width() / forms::kTwipsPerPixel
                         ? 1
                         : 2;
    const float heights[] = {2070, 2290, 2540, 2790};
    EXPECT_EQ(shownHeight, heights[lines - 1]);
    for (int i = 0; i < 4; ++i) {
        const bool bad = form.validationMessages[static_cast<std::size_t>(i)] != "nil";
        EXPECT_EQ(boxes[i]->backColor(), bad ? skin::kErrorBox : skin::kNormalBox) << boxes[i]->name();
    }
    EXPECT_FALSE(form.tmr1.enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailingCalculate,
    ::testing::Values(
        FailCase{"AllEmpty", "", "", "", "",
                 "\r\nTank Capacity Is Required.\r\nMonthly Top-up Is Required.\r\nMileage Attained Is "
                 "Required.\r\nFuel Price Is Required.",
                 4},
        FailCase{"OnlyMileageWrong", "45", "3", "far", "1.95",
                 "\r\nPlease Enter Numbers Only For Mileage Attained.", 1},
        FailCase{"TankEmptyAndWordInPrice", "", "3", "550", "cheap",
                 "\r\nTank Capacity Is Required.\r\nPlease Enter Numbers Only For Fuel Price.", 2},
        FailCase{"SpacesAreNotEmpty", "45", "  ", "550", "1.95",
                 "\r\nPlease Enter Numbers Only For Monthly Top-up.", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormMainTest, ASecondFailureCountsAfreshAndACorrectedRunSucceeds) {
    // Escape closes the alert as OK does.
    t::expectModal([](forms::Form&) { t::pressKey(t::Key::Escape); });
    t::click(form.cmdCalculate);
    EXPECT_FALSE(form.formAlert()->isLoaded());
    EXPECT_EQ(form.formAlert()->messageCounter, 4);
    type(form.txtTank, "45");
    type(form.txtTopUp, "3");
    type(form.txtMileage, "550");
    std::string text;
    t::expectModal([&](forms::Form&) {
        text = form.formAlert()->lbl.caption();
        t::pressKey(t::Key::Enter);
    });
    t::click(form.cmdCalculate);
    EXPECT_EQ(text, "\r\nFuel Price Is Required.");
    EXPECT_EQ(form.formAlert()->messageCounter, 1);
    // A figure copied from a spreadsheet cell ends in a line break, which the box leaves out.
    t::focus(form.txtPrice);
    t::paste("1.95\r\n");
    EXPECT_EQ(form.txtPrice.text(), "1.95");
    t::click(form.cmdCalculate);
    EXPECT_EQ(form.validationStatus, "success");
    EXPECT_EQ(form.formAlert()->messageCounter, 0);
    EXPECT_TRUE(form.tmr1.enabled());
    for (forms::TextBox* box : {&form.txtTank, &form.txtTopUp, &form.txtMileage})
        EXPECT_EQ(box->backColor(), skin::kNormalBox);
}

TEST_F(FormMainTest, WholeCycleRunsTickForTickAndReturnsEveryControlToItsDesign) {
    typeWorkedExample();
    for (int cycle = 0; cycle < 2; ++cycle) {
        t::click(form.cmdCalculate);
        const auto out = runTimers(form);
        EXPECT_EQ(out, (std::map<std::string, int>{{"tmr1", 17}, {"tmrForm1", 16}})) << "cycle " << cycle;
        expectAtRest(true);
        EXPECT_EQ(captions(),
                  (std::vector<std::string>{"676.5", "15.0", "2.4", "$222.69", "$40.56", "$486.72", "5.5"}));
        t::click(form.cmdBack);
        const auto back = runTimers(form);
        EXPECT_EQ(back, (std::map<std::string, int>{{"tmr2", 9}, {"tmrForm2", 6}})) << "cycle " << cycle;
        expectAtRest(false);
    }
}

TEST_F(FormMainTest, SlideOutMovesThePanelFiveHundredTwipsATickAndComputesOnlyWhenOut) {
    typeWorkedExample();
    t::click(form.cmdCalculate);
    for (int tick = 1; tick <= 16; ++tick) {
        form.tmr1.tick();
        EXPECT_EQ(form.frmMain.left(), -500.0f * tick);
        EXPECT_EQ(form.lblMileage2.left(), form.lblMileage2.design().left - 500.0f * tick);
        EXPECT_EQ(form.lblCalculationResult[0].caption(), "fff");
    }
    form.tmr1.tick();
    EXPECT_EQ(form.lblCalculationResult[0].caption(), "676.5");
    EXPECT_FALSE(form.tmr1.enabled());
    EXPECT_TRUE(form.tmrForm1.enabled());
    EXPECT_EQ(form.frmMain.left(), -8000.0f);
}

// What the user types while the panel slides out belongs to the next Calculate, not to this one.
struct EditCase {
    const char* name;
    int afterTicks;
    const char* typed;
    friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
};

class EditDuringSlide : public FormMainTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditDuringSlide, FiguresAreThoseOfTheTextsThatCalculateApproved) {
    typeWorkedExample();
    t::click(form.cmdCalculate);
    for (int i = 0; i < GetParam().afterTicks; ++i)
        form.tmr1.tick();
    type(form.txtTank, GetParam().typed);
    EXPECT_EQ(runTimers(form),
              (std::map<std::string, int>{{"tmr1", 17 - GetParam().afterTicks}, {"tmrForm1", 16}}));
    const char* figures[] = {"676.5", "15.0", "2.4", "$222.69", "$40.56", "$486.72", "5.5"};
    for (int i = 0; i <= 6; ++i)
        EXPECT_EQ(form.lblCalculationResult[i].caption(), figures[i]) << "row " << i;
    expectAtRest(true);
}

INSTANTIATE_TEST_SUITE_P(Cases, EditDuringSlide,
                         ::testing::Values(EditCase{"LetterAtOnce", 0, "x"}, EditCase{"LetterMidway", 8, "x"},
                                           EditCase{"OtherNumberJustBeforeOut", 16, "9"},
                                           EditCase{"OutOfRangeMidway", 4, "0000"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormMainTest, AlertClosedByTheWindowSystemOpensAgainOnTheNextRefusal) {
    for (int refusal = 0; refusal < 3; ++refusal) {
        bool shown = false;
        t::expectModal([&](forms::Form& alert) {
            shown = true;
            t::closeFromWindowSystem(alert);
        });
        t::click(form.cmdCalculate);
        EXPECT_TRUE(shown) << "refusal " << refusal;
        EXPECT_FALSE(form.formAlert()->isLoaded());
    }
}

TEST_F(FormMainTest, KeyboardCalculateWhileOutGrowingOrShownRecomputesWithoutMoving) {
    typeWorkedExample();
    t::click(form.cmdCalculate);
    for (int i = 0; i < 17; ++i)
        form.tmr1.tick(); // panel out; the window is about to grow
    form.txtTank.setText("50");
    t::focus(form.cmdCalculate);
    t::pressKey(t::Key::Space);
    for (int i = 0; i < 5; ++i)
        t::stepTimers(form); // growing
    EXPECT_EQ(form.lblCalculationResult[6].caption(), "5");
    form.txtTank.setText("25");
    t::pressKey(t::Key::Enter);
    EXPECT_EQ(runTimers(form), (std::map<std::string, int>{{"tmr1", 1}, {"tmrForm1", 11}}));
    EXPECT_EQ(form.lblCalculationResult[6].caption(), "10");
    expectAtRest(true);
    form.txtTank.setText("45");
    t::pressKey(t::Key::Enter);
    EXPECT_EQ(runTimers(form), (std::map<std::string, int>{{"tmr1", 1}, {"tmrForm1", 1}}));
    EXPECT_EQ(form.lblCalculationResult[6].caption(), "5.5");
    expectAtRest(true);
}

// The same on every platform: CALCULATE keeps the focus while its panel is out, so Enter needs no Tab first.
TEST_F(FormMainTest, CalculateStillHasTheFocusWhenTheResultsAppear) {
    typeWorkedExample();
    t::click(form.cmdCalculate);
    runTimers(form);
    ASSERT_TRUE(form.cmdBack.visible());
    EXPECT_EQ(form.activeControl(), &form.cmdCalculate);
    form.txtTank.setText("25");
    t::pressKey(t::Key::Enter);
    runTimers(form);
    EXPECT_EQ(form.lblCalculationResult[6].caption(), "10");
}

TEST_F(FormMainTest, BackTwiceWhileShrinkingShrinksOnce) {
    startShrinking();
    t::click(form.cmdBack);
    EXPECT_EQ(form.height(), 5430.0f);
    EXPECT_EQ(runTimers(form), (std::map<std::string, int>{{"tmr2", 9}, {"tmrForm2", 5}}));
    expectAtRest(false);
}

TEST_F(FormMainTest, CalculateDuringTheWayBackNeverStartsASecondSlide) {
    startShrinking();
    t::focus(form.cmdCalculate);
    t::pressKey(t::Key::Enter); // while shrinking
    EXPECT_FALSE(form.tmr1.enabled());
    while (!form.tmr2.enabled())
        form.tmrForm2.tick();
    form.tmr2.tick();
    t::pressKey(t::Key::Enter); // while sliding in
    EXPECT_FALSE(form.tmr1.enabled());
    runTimers(form);
    expectAtRest(false);
}

TEST_F(FormMainTest, AnyInterleavingOfCommandsAndTicksSettlesAtRest) {
    std::mt19937 random(20261209);
    const char* texts[] = {"45", "3", "550", "1.95", "", "x", "50", "0", "2.5"};
    for (int run = 0; run < 150; ++run) {
        for (int step = 0; step < 60; ++step) {
            // Refused input opens the alert, which the user closes at once.
            t::expectModal([](forms::Form&) { t::pressKey(t::Key::Enter); });
            switch (random() % 8) {
            case 0:
                t::click(form.cmdCalculate);
                break;
            case 1:
                t::focus(form.cmdCalculate);
                t::pressKey(random() % 2 ? t::Key::Enter : t::Key::Space);
                break;
            case 2:
                if (form.cmdBack.visible()) t::click(form.cmdBack);
                break;
            case 3: {
                forms::TextBox* boxes[] = {&form.txtTank, &form.txtTopUp, &form.txtMileage, &form.txtPrice};
                boxes[random() % 4]->setText(texts[random() % 9]);
                break;
            }
            default: {
                std::vector<forms::Timer*> on;
                for (forms::Timer* timer : form.timers())
                    if (timer->enabled()) on.push_back(timer);
                if (!on.empty()) on[random() % on.size()]->tick();
            }
            }
            t::expectModal(nullptr);
        }
        ASSERT_EQ(runTimers(form).count("<endless>"), 0u) << "run " << run;
        const bool shown = form.cmdBack.visible();
        expectAtRest(shown);
        if (::testing::Test::HasFailure()) FAIL() << "run " << run;
    }
}

} // namespace
