#include "ProcessExit.h"
#include "WindowTestSupport.h"
#include "windows/main/FormMain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace t = forms::testing;
using forms::LeftButton;
using forms::RightButton;

namespace {

// Pointer positions are whole pixels, multiples of 15 twips, as a real pointer's are.
class FormMainPointer : public ShownFormMain {
protected:
    void expectTitleLooks(forms::Color close, forms::Color minimise, forms::Color title, bool bold) {
        EXPECT_EQ(form.cmdClose.backColor(), close);
        EXPECT_EQ(form.Command1.backColor(), minimise);
        EXPECT_EQ(form.Label1.foreColor(), title);
        EXPECT_EQ(form.Label1.fontBold(), bold);
    }
};

TEST_F(FormMainPointer, WindowButtonsLightUpOneAtATimeAndTheTitleWaitsForTheBody) {
    t::pointerMove(form.cmdClose, 0, 0, 100, 100);
    expectTitleLooks(skin::kButtonHover, skin::kButtonFace, skin::kTitleText, false);
    t::pointerMove(form.Command1, 0, 0, 100, 100);
    expectTitleLooks(skin::kButtonFace, skin::kButtonHover, skin::kTitleText, false);
    t::pointerMove(form.Label1, 0, 0, 100, 100);
    expectTitleLooks(skin::kButtonFace, skin::kButtonFace, skin::kTitleHover, true);
    t::pointerMove(form.cmdClose, 0, 0, 100, 100);
    expectTitleLooks(skin::kButtonHover, skin::kButtonFace, skin::kTitleHover, true);
    t::pointerMove(form.Image1, 0, 0, 100, 100);
    expectTitleLooks(skin::kButtonFace, skin::kButtonFace, skin::kTitleText, false);
    t::pointerMove(form.Label1, 0, 0, 100, 100);
    t::pointerMove(form, 0, 0, 60, 3000);
    expectTitleLooks(skin::kButtonFace, skin::kButtonFace, skin::kTitleText, false);
}

TEST_F(FormMainPointer, PictureButtonKeepsItsHoverFaceUntilThePointerCrossesTheBody) {
    t::pointerMove(form.cmdCalculate, 0, 0, 100, 100);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateHover);
    EXPECT_TRUE(form.buttonHovered);
    t::pointerMove(form.txtTank, 0, 0, 100, 100);
    t::pointerMove(form.lbltank, 0, 0, 100, 100);
    t::pointerMove(form.Image2, 0, 0, 100, 100);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateHover);
    EXPECT_TRUE(form.buttonHovered);
    t::pointerMove(form, 0, 0, 60, 3000);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateNormal);
    EXPECT_FALSE(form.buttonHovered);
}

TEST_F(FormMainPointer, FocusedCalculateLosesItsHoverFaceOnlyAfterAPictureButtonWasHovered) {
    t::focus(form.cmdCalculate);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateHover);
    t::pointerMove(form, 0, 0, 60, 3000);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateHover);
    t::pointerMove(form.cmdCalculate, 0, 0, 10, 10);
    t::pointerMove(form, 0, 0, 60, 3000);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateNormal);
    EXPECT_EQ(form.activeControl(), &form.cmdCalculate);
    t::focus(form.txtPrice);
    EXPECT_EQ(form.cmdCalculate.picture(), skin::calculateNormal);
}

TEST_F(FormMainPointer, BoxesTakeTheFocusColourAndTurnWhiteOnLeavingWhateverTheValidationSaid) {
    t::expectModal([](forms::Form&) { t::pressKey(t::Key::Enter); });
    t::click(form.cmdCalculate);
    EXPECT_EQ(form.txtMileage.backColor(), skin::kErrorBox);
    t::focus(form.txtMileage);
    EXPECT_EQ(form.txtMileage.backColor(), skin::kFocusBox);
    t::focus(form.txtPrice);
    EXPECT_EQ(form.txtMileage.backColor(), skin::kNormalBox);
    EXPECT_EQ(form.txtPrice.backColor(), skin::kFocusBox);
    EXPECT_EQ(form.txtTank.backColor(), skin::kErrorBox);
}

TEST_F(FormMainPointer, HandPointerOverButtonsAndTitleOnly) {
    for (forms::Control* c : std::vector<forms::Control*>{&form.Command1, &form.cmdClose, &form.cmdCalculate,
                                                          &form.cmdBack, &form.cmdExit, &form.Label1})
        EXPECT_EQ(t::pointerShape(*c), t::PointerShape::Hand) << c->name();
    for (forms::Control* c : std::vector<forms::Control*>{&form.Image1, &form.Image2, &form.lbltank,
                                                          &form.imgTL, &form.lblResult[0]})
        EXPECT_EQ(t::pointerShape(*c), t::PointerShape::Arrow) << c->name();
    EXPECT_EQ(t::pointerShape(form.txtTank), t::PointerShape::IBeam);
    form.formAlert()->load();
    EXPECT_EQ(t::pointerShape(form.formAlert()->cmdOk), t::PointerShape::Hand);
}

TEST_F(FormMainPointer, LeftDragMovesTheWindowByThePointersDisplacement) {
    form.move(3000, 2000);
    t::pointerDown(form, LeftButton, 0, 600, 900);
    t::pointerMove(form, LeftButton, 0, 900, 1200);
    EXPECT_EQ(form.left(), 3300.0f);
    EXPECT_EQ(form.top(), 2300.0f);
    // The window followed, so the pointer is back over the pressed point plus its new displacement.
    t::pointerMove(form, LeftButton, 0, 570, 960);
    EXPECT_EQ(form.left(), 3270.0f);
    EXPECT_EQ(form.top(), 2360.0f);
    t::pointerMove(form, LeftButton, 0, 600 - 90000, 900);
#ifdef __EMSCRIPTEN__
    // A page is all the screen there is: the window stops at its edge.
    EXPECT_EQ(form.left(), 0.0f);
#else
    // Far off the screen is allowed: the window manager decides.
    EXPECT_EQ(form.left(), 3270.0f - 90000);
#endif
}

TEST_F(FormMainPointer, TitleImagesDragLikeTheBodyInTheirOwnCoordinates) {
    form.move(3000, 2000);
    t::pointerDown(form.Image2, LeftButton, 0, 105, 45);
    EXPECT_EQ(form.dragStartX, 105.0f);
    EXPECT_EQ(form.dragStartY, 45.0);
    t::pointerMove(form.Image2, LeftButton, 0, 405, 15);
    EXPECT_EQ(form.left(), 3300.0f);
    EXPECT_EQ(form.top(), 1970.0f);
    t::pointerDown(form.Image1, LeftButton, 0, 1000, 100);
    t::pointerMove(form.Image1, LeftButton, 0, 1000, 400);
    EXPECT_EQ(form.left(), 3300.0f);
    EXPECT_EQ(form.top(), 2270.0f);
}

TEST_F(FormMainPointer, OnlyTheLeftButtonAloneDragsAndEveryPressRecordsThePoint) {
    form.move(3000, 2000);
    EXPECT_EQ(form.dragStartX, 0.0f);
    t::pointerDown(form, RightButton, 0, 300, 300);
    EXPECT_EQ(form.dragStartX, 300.0f);
    t::pointerMove(form, RightButton, 0, 900, 900);
    EXPECT_EQ(form.left(), 3000.0f);
    t::pointerDown(form, LeftButton, 0, 600, 900);
    t::pointerDown(form, RightButton, 0, 705, 1005);
    t::pointerMove(form, LeftButton | RightButton, 0, 1500, 1500);
    EXPECT_EQ(form.left(), 3000.0f);
    t::pointerMove(form, LeftButton, 0, 810, 1110);
    EXPECT_EQ(form.left(), 3105.0f);
    EXPECT_EQ(form.top(), 2105.0f);
    // A press on the title label records nothing and its moves drag nothing.
    t::pointerDown(form.Label1, LeftButton, 0, 50, 50);
    t::pointerMove(form.Label1, LeftButton, 0, 900, 900);
    EXPECT_EQ(form.dragStartX, 705.0f);
    EXPECT_EQ(form.left(), 3105.0f);
}

TEST_F(FormMainPointer, MinimiseFromTheButtonOrEscape) {
    t::click(form.Command1);
    EXPECT_EQ(form.windowState(), forms::WindowState::Minimized);
    form.setWindowState(forms::WindowState::Normal);
    t::focus(form.txtTank);
    t::pressKey(t::Key::Escape);
    EXPECT_EQ(form.windowState(), forms::WindowState::Minimized);
}

TEST_F(FormMainPointer, TitleLabelAsksTheDesktopOnceForTheDistributorsSite) {
    t::takeOpenedUrls();
    t::click(form.Label1);
    EXPECT_EQ(t::takeOpenedUrls(), (std::vector<std::string>{"https://www.kelvara.example/"}));
    t::doubleClick(form.Label1);
    EXPECT_EQ(t::takeOpenedUrls(), (std::vector<std::string>{"https://www.kelvara.example/"}));
    EXPECT_EQ(form.windowState(), forms::WindowState::Normal);
}

// Ending the program ends the process: these run in a child process.
TEST(FormMainEnd, CloseAndExitEndTheProcessWithStatusZeroInAnyState) {
    const auto endsWithZero = []([[maybe_unused]] auto action) {
        KELVARA_EXPECT_EXIT(
            {
                FormMain form;
                form.show();
                action(form);
                std::fprintf(stderr, "still running\n");
                std::exit(3);
            },
            ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("still running")));
    };
    endsWithZero([](FormMain& form) { t::click(form.cmdClose); });
    endsWithZero([](FormMain& form) {
        enterWorkedExample(form);
        t::click(form.cmdCalculate);
        runTimers(form);
        t::click(form.cmdExit);
    });
    endsWithZero([](FormMain& form) {
        enterWorkedExample(form);
        t::click(form.cmdCalculate);
        form.tmr1.tick(); // mid-slide
        t::click(form.cmdClose);
    });
    endsWithZero([](FormMain& form) {
        t::expectModal([&form](forms::Form&) { t::click(form.cmdClose); });
        t::click(form.cmdCalculate); // the alert is open when Close is pressed
    });
    // The window system's close is the window's own Close.
    endsWithZero([](FormMain& form) { t::closeFromWindowSystem(form); });
    endsWithZero([](FormMain& form) {
        enterWorkedExample(form);
        t::click(form.cmdCalculate);
        form.tmr1.tick();
        t::closeFromWindowSystem(form);
    });
}

} // namespace
