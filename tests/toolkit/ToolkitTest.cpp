#include "ProcessExit.h"
#include "TestApplication.h"
#include "toolkit/ControlArray.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/PictureButton.h"
#include "toolkit/TestDriver.h"
#include "toolkit/TextBox.h"
#include "toolkit/Timer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

using namespace forms;
namespace t = forms::testing;

namespace {

class SampleForm : public Form {
public:
    SampleForm()
        : Form({.name = "sample",
                .caption = "Sample",
                .width = 4500,
                .height = 3000,
                .backColor = rgb(1, 2, 3)}) {
        ok.onClick = [this] { clicks.push_back("ok"); };
        esc.onClick = [this] { clicks.push_back("esc"); };
        box.onGotFocus = [this] { clicks.push_back("box+"); };
        box.onLostFocus = [this] { clicks.push_back("box-"); };
        caption.onMouseMove = [this](const PointerEvent& e) { pointer.push_back(e); };
        caption.onMouseDown = [this](const PointerEvent& e) { pointer.push_back(e); };
        caption.onClick = [this] { clicks.push_back("caption"); };
        onMouseDown = [this](const PointerEvent&) { clicks.push_back("body"); };
        tick.onTimer = [this] { ++ticks; };
    }
    int loads = 0;
    int ticks = 0;
    int publicMember = 0;
    std::vector<std::string> clicks;
    std::vector<PointerEvent> pointer;

    Image picture{*this,
                  {.name = "picture", .left = 0, .top = 0, .width = 4500, .height = 375, .stretch = true}};
    Label caption{
        *this,
        {.name = "caption", .left = 1440, .top = 240, .width = 1335, .height = 255, .caption = "Hello"}};
    TextBox box{*this,
                {.name = "box",
                 .left = 300,
                 .top = 900,
                 .width = 615,
                 .height = 465,
                 .tabIndex = 0,
                 .accessibleName = "Amount:"}};
    // Hidden or outside the window at the start: nothing of them exists on the platform yet.
    Label note{*this,
               {.name = "note", .left = 2400, .top = 2400, .width = 2400, .height = 465, .visible = false}};
    PictureButton more{*this,
                       {.name = "more",
                        .left = 3300,
                        .top = 2500,
                        .width = 600,
                        .height = 400,
                        .visible = false,
                        .tabIndex = 1}};
    Image below{*this, {.name = "below", .left = 0, .top = 3000, .width = 4500, .height = 300}};
    PictureButton ok{*this,
                     {.name = "ok", .left = 1920, .top = 1920, .width = 1215, .height = 495, .tabIndex = 1}};
    PictureButton esc{*this,
                      {.name = "esc", .left = 3200, .top = 120, .width = 375, .height = 375, .cancel = true}};
    ControlArray<Label> rows{*this,
                             {{.name = "rows", .top = 0, .width = 100, .height = 100},
                              {.name = "rows", .top = 100, .width = 100, .height = 100}}};
    Timer tick{*this, {.name = "tick", .interval = 1}};

protected:
    void formLoad() override { ++loads; }
};

class ToolkitTest : public ::testing::Test {
protected:
    void TearDown() override { form.unload(); }
    SampleForm form;
};

TEST_F(ToolkitTest, WindowLoadsOnFirstUseOfAControlNotOnWritingAMember) {
    form.publicMember = 4;
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(form.loads, 0);
    EXPECT_EQ(form.caption.caption(), "Hello");
    EXPECT_TRUE(form.isLoaded());
    EXPECT_EQ(form.loads, 1);
    form.caption.setCaption("Changed");
    EXPECT_EQ(form.loads, 1);
}

TEST_F(ToolkitTest, UnloadKeepsMembersAndReloadStartsFromTheDesign) {
    form.publicMember = 7;
    form.box.setLeft(-8000);
    form.caption.setCaption("Changed");
    form.unload();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(form.publicMember, 7);
    EXPECT_EQ(form.caption.caption(), "Hello");
    EXPECT_EQ(form.box.left(), 300.0f);
    EXPECT_EQ(form.loads, 2);
}

struct TwipsCase {
    const char* name;
    float value;
    friend void PrintTo(const TwipsCase& c, std::ostream* os) { *os << c.name; }
};

class ExactTwips : public ToolkitTest, public ::testing::WithParamInterface<TwipsCase> {};

TEST_P(ExactTwips, PositionsAndHeightsReadBackAsWritten) {
    const float value = GetParam().value;
    form.box.setLeft(value);
    form.ok.setTop(value);
    form.picture.setHeight(value < 15 ? 15 : value);
    EXPECT_EQ(form.box.left(), value);
    EXPECT_EQ(form.ok.top(), value);
    EXPECT_EQ(form.picture.height(), value < 15 ? 15 : value);
    if (value > 0) {
        form.setHeight(value);
        EXPECT_EQ(form.height(), value);
    }
}

INSTANTIATE_TEST_SUITE_P(NotWholePixels, ExactTwips,
                         ::testing::Values(TwipsCase{"SlideOut", -8000}, TwipsCase{"GrowStep", 4330},
                                           TwipsCase{"ThirdOfAPixel", 505}, TwipsCase{"Tall", 5730},
                                           TwipsCase{"Fraction", 12.5f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolkitTest, ScreenShowsTwipsAtFifteenPerPixel) {
    form.show();
    form.setHeight(4330);
    form.ok.setTop(1925);
    t::processEvents(); // a shown window takes a new size with its next frame
    const t::Pixels shot = t::grab(form);
    EXPECT_EQ(shot.width, 300);
    EXPECT_EQ(shot.height, 289); // 4330 / 15 = 288.67
}

TEST_F(ToolkitTest, NonFiniteOrEmptySizesAreRefused) {
    EXPECT_THROW(form.box.setLeft(std::numeric_limits<float>::quiet_NaN()), Error);
    EXPECT_THROW(form.box.setLeft(std::numeric_limits<float>::infinity()), Error);
    EXPECT_THROW(form.setHeight(0), Error);
    EXPECT_THROW(form.setHeight(-300), Error);
    EXPECT_EQ(form.box.left(), 300.0f);
}

TEST_F(ToolkitTest, ControlArrayIndexesFromZeroAndRefusesOthers) {
    EXPECT_EQ(form.rows.ubound(), 1);
    EXPECT_EQ(form.rows[1].top(), 100.0f);
    EXPECT_THROW(form.rows[2], Error);
    EXPECT_THROW(form.rows[-1], Error);
}

TEST_F(ToolkitTest, PointerEventsCarryTwipsOfTheSurfaceAfterTheWindowMoved) {
    form.show();
    form.move(3000, 1500);
    t::pointerMove(form.caption, LeftButton, ShiftMask, 600, 150);
    t::pointerDown(form.caption, RightButton, 0, 30, 45);
    ASSERT_EQ(form.pointer.size(), 2u);
    EXPECT_EQ(form.pointer[0].button, LeftButton);
    EXPECT_EQ(form.pointer[0].shift, ShiftMask);
    EXPECT_FLOAT_EQ(form.pointer[0].x, 600);
    EXPECT_FLOAT_EQ(form.pointer[0].y, 150);
    EXPECT_EQ(form.pointer[1].button, RightButton);
    EXPECT_FLOAT_EQ(form.pointer[1].x, 30);
    // The label took the press: the window body under it heard nothing.
    EXPECT_EQ(std::count(form.clicks.begin(), form.clicks.end(), "body"), 0);
}

TEST_F(ToolkitTest, LabelClicksOnReleaseAndButtonsOnEnterSpaceAndEscape) {
    form.show();
    t::processEvents();
    t::click(form.caption);
    t::focus(form.ok);
    t::pressKey(t::Key::Enter);
    t::pressKey(t::Key::Space);
    t::pressKey(t::Key::Escape);
    EXPECT_EQ(form.clicks, (std::vector<std::string>{"box+", "caption", "box-", "ok", "ok", "esc"}));
}

TEST_F(ToolkitTest, FocusStartsFirstInOrderAndFocusEventsFollowTheKeyboard) {
    form.show();
    t::processEvents(); // the window's first activation gives the first control its focus
    EXPECT_EQ(form.activeControl(), &form.box);
    t::focus(form.ok);
    t::focus(form.box);
    t::pressKey(t::Key::Tab);
    EXPECT_EQ(form.activeControl(), &form.ok);
    EXPECT_EQ(form.clicks, (std::vector<std::string>{"box+", "box-", "box+", "box-"}));
}

// What a control was given while it could not be seen is there when it first can be, and it lies and takes
// the focus in its place among the others as if it had been there from the start.
TEST_F(ToolkitTest, AControlGetsItsWindowWhenFirstSeenWithWhatItWasGivenMeanwhile) {
    form.show();
    t::processEvents();
    EXPECT_EQ(form.note.native(), nullptr);
    EXPECT_EQ(form.more.native(), nullptr);
    EXPECT_EQ(form.below.native(), nullptr);
    const t::Pixels before = t::grab(form);
    form.note.setCaption("HHHHHHHHHHHH");
    form.note.setForeColor(rgb(255, 0, 0));
    form.note.setFontBold(true);
    form.note.setLeft(300); // from under the box's left edge onwards
    form.note.setTop(900);
    EXPECT_EQ(form.note.native(), nullptr);
    form.note.setVisible(true);
    form.more.setVisible(true);
    form.setHeight(3300);
    t::processEvents();
    EXPECT_NE(form.note.native(), nullptr);
    EXPECT_NE(form.below.native(), nullptr);
    EXPECT_EQ(t::accessibleName(form.note), "HHHHHHHHHHHH");
    const t::Pixels after = t::grab(form);
    int boxChanged = 0, red = 0;
    for (int y = 60; y < 91; ++y)
        for (int x = 20; x < 160; ++x) {
            const std::uint32_t pixel = after.at(x, y);
            if (x < 61) boxChanged += pixel != before.at(x, y);
            if (x > 62 && ((pixel >> 16) & 0xFF) > 100 && ((pixel >> 8) & 0xFF) < 40) ++red;
        }
    EXPECT_EQ(boxChanged, 0) << "a label lies beneath a text box";
    EXPECT_GT(red, 20);
    t::focus(form.box);
    t::pressKey(t::Key::Tab);
    EXPECT_EQ(form.activeControl(), &form.more);
    t::pressKey(t::Key::Tab);
    EXPECT_EQ(form.activeControl(), &form.ok);
}

TEST_F(ToolkitTest, TypedTextIsTheBoxText) {
    form.show();
    t::focus(form.box);
    t::typeText("45.5");
    EXPECT_EQ(form.box.text(), "45.5");
}

TEST_F(ToolkitTest, AccessibleNamesComeFromTheDesignOrTheCaption) {
    form.show();
    EXPECT_EQ(t::accessibleName(form.box), "Amount:");
    EXPECT_EQ(t::accessibleName(form.caption), "Hello");
    EXPECT_EQ(t::windowTitle(form), "Sample");
}

TEST_F(ToolkitTest, TimersTickOnlyWhileEnabledAndLoaded) {
    EXPECT_EQ(t::stepTimers(form), 0);
    form.tick.setEnabled(true);
    EXPECT_EQ(t::stepTimers(form), 1);
    EXPECT_EQ(t::stepTimers(form), 1);
    form.tick.setEnabled(false);
    EXPECT_EQ(t::stepTimers(form), 0);
    EXPECT_EQ(form.ticks, 2);
    form.tick.setEnabled(true);
    form.unload();
    EXPECT_FALSE(form.tick.tick());
    EXPECT_EQ(form.ticks, 2);
}

TEST_F(ToolkitTest, EnablingARunningTimerKeepsOneSeriesOfTicks) {
    t::setManualTimers(false);
    form.tick.setEnabled(true);
    form.tick.setEnabled(true);
    EXPECT_EQ(t::runningTimerCount(), 1);
    form.tick.setInterval(5);
    EXPECT_EQ(t::runningTimerCount(), 1);
    form.unload();
    EXPECT_EQ(t::runningTimerCount(), 0);
    t::setManualTimers(true);
}

TEST(TimerPeriod, ShortIntervalsTickAtTheClassicDesktopRate) {
    EXPECT_EQ(kMinimumTickPeriod.count(), 15625); // 1/64 s
}

class ModalForm : public Form {
public:
    ModalForm()
        : Form(
              {.name = "modal", .width = 3000, .height = 2000, .startPosition = StartPosition::CenterOwner}) {
        ok.onClick = [this] { unload(); };
    }
    PictureButton ok{*this,
                     {.name = "ok", .left = 100, .top = 100, .width = 1215, .height = 495, .tabIndex = 0}};
};

TEST_F(ToolkitTest, ModalShowWaitsUntilTheWindowIsUnloadedAndCentresOnItsOwner) {
    form.show();
    form.move(1500, 3000);
    ModalForm modal;
    bool answered = false;
    t::expectModal([&](Form& shown) {
        EXPECT_EQ(&shown, &modal);
        EXPECT_TRUE(modal.ok.hasFocus());
        EXPECT_FLOAT_EQ(modal.left(), 1500 + (4500 - 3000) / 2);
        EXPECT_FLOAT_EQ(modal.top(), 3495); // 3500 to the nearest whole pixel
        answered = true;
        t::pressKey(t::Key::Enter);
    });
    modal.showModal();
    EXPECT_TRUE(answered);
    EXPECT_FALSE(modal.isLoaded());
}

class ThrowingForm : public Form {
public:
    ThrowingForm()
        : Form({.name = "throwing", .width = 1500, .height = 1500}) {
        boom.onClick = [] { throw Error("Division by zero"); };
    }
    PictureButton boom{*this, {.name = "boom", .width = 500, .height = 500}};
};

TEST(UncaughtError, EndsTheProcessWithAMessageBoxAndNonZeroStatus) {
    KELVARA_EXPECT_EXIT(
        {
            t::setFatalErrorBoxHandler(
                [](const std::string& text) { fprintf(stderr, "box said: %s\n", text.c_str()); });
            ThrowingForm form;
            form.show();
            t::click(form.boom);
        },
        ::testing::ExitedWithCode(1), "box said: Run-time error:\\s+Division by zero");
}

class FailingLoadForm : public Form {
public:
    FailingLoadForm()
        : Form({.name = "failingLoad", .width = 1500, .height = 1500}) {}

protected:
    void formLoad() override { throw Error("Subscript out of range"); }
};

TEST(UncaughtError, AStartUpWindowsLoadErrorTakesTheSamePath) {
    KELVARA_EXPECT_EXIT(
        {
            t::setFatalErrorBoxHandler(
                [](const std::string& text) { fprintf(stderr, "box said: %s\n", text.c_str()); });
            FailingLoadForm form;
            testApplication().run(form);
        },
        ::testing::ExitedWithCode(1), "box said: Run-time error:\\s+Subscript out of range");
}

TEST(UncaughtError, ShowingModallyAWindowShownNormallyIsAnError) {
    KELVARA_EXPECT_EXIT(
        {
            t::setFatalErrorBoxHandler(
                [](const std::string& text) { fprintf(stderr, "box said: %s\n", text.c_str()); });
            SampleForm form;
            form.show();
            deliver([&form] { form.showModal(); });
        },
        ::testing::ExitedWithCode(1),
        "box said: Run-time error:\\s+Form already displayed; can't show modally");
}

// A close request from the window system unloads the window as its own command would.
class WindowSystemClose : public ToolkitTest {
protected:
    void SetUp() override { form.show(); }
};

TEST_F(WindowSystemClose, UnloadsAModalWindowAndItsShowingReturnsSoItCanShowAgain) {
    SampleForm modal;
    for (int showing = 0; showing < 2; ++showing) {
        t::expectModal([](Form& shown) { t::closeFromWindowSystem(shown); });
        modal.showModal();
        EXPECT_FALSE(modal.isLoaded());
        EXPECT_TRUE(form.isLoaded());
    }
}

TEST_F(WindowSystemClose, LeavesAWindowThatAModalWindowBlocks) {
    SampleForm modal;
    bool ownerStayed = false;
    t::expectModal([&](Form& shown) {
        t::closeFromWindowSystem(form);
        ownerStayed = form.isLoaded() && shown.isLoaded();
        shown.unload();
    });
    modal.showModal();
    EXPECT_TRUE(ownerStayed);
}

TEST_F(WindowSystemClose, EndsTheProcessWithZeroWhenNoWindowIsLeft) {
    KELVARA_EXPECT_EXIT(
        {
            t::closeFromWindowSystem(form);
            std::fprintf(stderr, "still running\n");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("still running")));
}

TEST_F(WindowSystemClose, TitlesACaptionlessWindowAfterItsOwner) {
    Form plain({.name = "plain", .width = 1500, .height = 1500});
    plain.show();
    EXPECT_EQ(t::windowTitle(plain), "Sample");
    plain.unload();
}

TEST_F(ToolkitTest, TheSecondPressOfADoubleClickClicksAButtonButNotALabel) {
    form.show();
    t::doubleClick(form.caption);
    t::doubleClick(form.ok);
    // A press moves the focus at once on one platform and later on the other: only the clicks count here.
    std::erase_if(form.clicks, [](const std::string& event) { return event.starts_with("box"); });
    EXPECT_EQ(form.clicks, (std::vector<std::string>{"caption", "ok", "ok"}));
}

TEST_F(ToolkitTest, TheWindowSystemIsToldTheOneSizeTheWindowHas) {
    form.show();
    const auto expectFixed = [&](int width, int height) {
        const t::SizeLimits limits = t::sizeLimits(form);
        EXPECT_EQ(limits.minWidth, width);
        EXPECT_EQ(limits.maxWidth, width);
        EXPECT_EQ(limits.minHeight, height);
        EXPECT_EQ(limits.maxHeight, height);
    };
    expectFixed(300, 200);
    // A shown window's new size reaches the window system with its next frame.
    form.setHeight(4500);
    t::processEvents();
    expectFixed(300, 300);
    form.setHeight(2100);
    t::processEvents();
    expectFixed(300, 140);
}

TEST_F(ToolkitTest, AMinimisedWindowTakesTheSizeItReachedWhenRestored) {
    form.show();
    form.setWindowState(WindowState::Minimized);
    t::processEvents();
    form.setHeight(4500);
    t::processEvents();
    EXPECT_EQ(form.windowState(), WindowState::Minimized);
    form.setWindowState(WindowState::Normal);
    t::processEvents();
    EXPECT_EQ(t::grab(form).height, 300);
}

} // namespace
