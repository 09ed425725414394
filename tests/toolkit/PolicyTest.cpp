// The platform-neutral policy every platform layer draws on: pixel edges, faces, caption layout, the keyboard
// and the focus, the last through each platform's own event path.

#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Keyboard.h"
#include "toolkit/Label.h"
#include "toolkit/Metrics.h"
#include "toolkit/PictureButton.h"
#include "toolkit/TestDriver.h"
#include "toolkit/TextBox.h"
#include "toolkit/TextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

using namespace forms;

namespace {

// Edges come from rounding each edge, so controls that abut in twips abut on screen at any scaling.
struct EdgeRow {
    const char* name;
    int dpi;
    friend void PrintTo(const EdgeRow& row, std::ostream* os) { *os << row.name; }
};

class PixelEdges : public ::testing::TestWithParam<EdgeRow> {};

TEST_P(PixelEdges, AbuttingControlsNeitherGapNorOverlap) {
    const int dpi = GetParam().dpi;
    for (Twips left = -8000; left <= 8000; left += 97) {
        for (Twips width : {15.0f, 100.0f, 505.0f, 4330.0f}) {
            const PixelRect first = toPixelRect(left, 0, width, 15, dpi);
            const PixelRect second = toPixelRect(left + width, 0, width, 15, dpi);
            ASSERT_EQ(first.x + first.width, second.x) << left << " + " << width;
            ASSERT_NEAR(first.width, width / kTwipsPerPixel * dpi / 96.0, 1.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scalings, PixelEdges,
                         ::testing::Values(EdgeRow{"Normal", 96}, EdgeRow{"OneAndAQuarter", 120},
                                           EdgeRow{"OneAndAHalf", 144}, EdgeRow{"Double", 192}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelEdges, ANegativeSizeIsNoPixels) {
    EXPECT_EQ(toPixelRect(150, 150, -60, -60), (PixelRect{10, 10, 0, 0}));
}

struct FaceRow {
    const char* name;
    Font font;
    int dpi;
    const char* family;
    int pixels;
    friend void PrintTo(const FaceRow& row, std::ostream* os) { *os << row.name; }
};

class Faces : public ::testing::TestWithParam<FaceRow> {};

TEST_P(Faces, DesignFontsAreDrawnInTheEmbeddedFacesAtWholePixels) {
    EXPECT_EQ(drawnFamily(GetParam().font), GetParam().family);
    EXPECT_EQ(fontPixels(GetParam().font, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Faces,
    ::testing::Values(
        FaceRow{"SansAtDesignSize", {"MS Sans Serif", 8.25f, false}, 96, "Liberation Sans", 11},
        FaceRow{"SansBoldTwiceSize", {"MS Sans Serif", 8.25f, true}, 192, "Liberation Sans", 22},
        // 11 design pixels at 1.25 are 13.75: the rounding is of the design's pixels first.
        FaceRow{"SansOneAndAQuarter", {"MS Sans Serif", 8.25f, false}, 120, "Liberation Sans", 14},
        FaceRow{"Serif", {"Georgia", 12.0f, false}, 96, "DejaVu Serif", 16},
        FaceRow{"UnknownKeepsItsName", {"Courier New", 9.75f, false}, 96, "Courier New", 13}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EmbeddedFaces, EachHasARegularAndABoldFile) {
    ASSERT_FALSE(embeddedFaces().empty());
    for (const EmbeddedFace& face : embeddedFaces()) {
        EXPECT_STRNE(face.regularFile, face.boldFile) << face.family;
        EXPECT_EQ(drawnFamily(Font{face.designName}), face.family);
    }
}

TEST(SpaceRuns, OnlyRunsOfTwoOrMoreAreWidenedByATenthOfTheFace) {
    const std::u16string_view caption = u"a  b c   d ";
    EXPECT_EQ(text::spaceRuns(caption), (std::vector<text::Range>{{1, 2}, {6, 3}}));
    std::vector<double> advances(caption.size(), 5.0);
    text::widenSpaceRuns(caption, std::span<double>(advances), 20);
    EXPECT_EQ(advances, (std::vector<double>{5, 7, 7, 5, 5, 5, 7, 7, 7, 5, 5}));
}

struct ParagraphRow {
    const char* name;
    std::u16string_view caption;
    std::vector<std::u16string> paragraphs;
    friend void PrintTo(const ParagraphRow& row, std::ostream* os) { *os << row.name; }
};

class Paragraphs : public ::testing::TestWithParam<ParagraphRow> {};

TEST_P(Paragraphs, BreakAtCarriageReturnLineFeedOrLineFeed) {
    EXPECT_EQ(text::paragraphs(GetParam().caption), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(Captions, Paragraphs,
                         ::testing::Values(ParagraphRow{"Empty", u"", {u""}},
                                           ParagraphRow{"Mixed", u"a\r\nb\nc", {u"a", u"b", u"c"}},
                                           ParagraphRow{"TrailingBreakEndsInAnEmptyOne", u"a\n", {u"a", u""}},
                                           ParagraphRow{"LoneCarriageReturnIsText", u"a\rb", {u"a\rb"}},
                                           ParagraphRow{"BlankLinesStay", u"\r\n\r\nx", {u"", u"", u"x"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct WrapRow {
    const char* name;
    std::u16string_view paragraph;
    double maxWidth;
    std::vector<std::u16string_view> lines;
    friend void PrintTo(const WrapRow& row, std::ostream* os) { *os << row.name; }
};

class Wrap : public ::testing::TestWithParam<WrapRow> {};

// Every character one unit wide.
TEST_P(Wrap, GreedyAtSpacesWithTrailingSpacesHangingPastTheEdge) {
    const std::u16string_view paragraph = GetParam().paragraph;
    const std::vector<double> advances(paragraph.size(), 1.0);
    std::vector<std::u16string_view> lines;
    for (const text::Range& range : text::wrap(paragraph, advances, GetParam().maxWidth))
        lines.push_back(paragraph.substr(range.start, range.length));
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, Wrap,
    ::testing::Values(WrapRow{"Fits", u"aa bb", 5, {u"aa bb"}},
                      WrapRow{"WordCrossingTheEdgeStartsALine", u"aa bb cc", 4, {u"aa ", u"bb ", u"cc"}},
                      WrapRow{"TrailingSpacesHang", u"aaa     b", 4, {u"aaa     ", u"b"}},
                      WrapRow{"AWordWiderThanTheLineKeepsItsOwnLine", u"abcdefg hi", 3, {u"abcdefg ", u"hi"}},
                      WrapRow{"LeadingSpacesStayOnTheFirstLine", u"  ab cd", 4, {u"  ab ", u"cd"}},
                      WrapRow{"EmptyIsOneEmptyLine", u"", 10, {u""}},
                      WrapRow{"ExactlyFullFits", u"ab cd", 5, {u"ab cd"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A pointer sequence on a label: 'L'/'R' a left or right press, 'l'/'r' their release on the label, 'o' a
// left release outside it, 'd' the second press of a double-click.
struct ClickRow {
    const char* name;
    std::string_view events;
    int clicks;
    friend void PrintTo(const ClickRow& row, std::ostream* os) { *os << row.name; }
};

class ReleaseClicks : public ::testing::TestWithParam<ClickRow> {};

TEST_P(ReleaseClicks, OnlyALeftPressReleasedOnTheControlClicks) {
    ReleaseClick click;
    int clicks = 0;
    for (char event : GetParam().events) {
        switch (event) {
        case 'L':
            click.pressed(LeftButton);
            break;
        case 'R':
            click.pressed(RightButton);
            break;
        case 'd':
            click.cancel();
            break;
        default:
            clicks += click.released(event == 'r' ? RightButton : LeftButton, event != 'o') ? 1 : 0;
            break;
        }
    }
    EXPECT_EQ(clicks, GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ReleaseClicks,
    ::testing::Values(ClickRow{"PressRelease", "Ll", 1}, ClickRow{"ReleasedOutside", "Lo", 0},
                      ClickRow{"RightButton", "Rr", 0}, ClickRow{"ReleaseWithoutPress", "l", 0},
                      ClickRow{"OneClickPerPress", "Lll", 1}, ClickRow{"DoubleClickClicksOnce", "LldL", 1},
                      ClickRow{"SecondPressOfADoubleClick", "Lldl", 1},
                      ClickRow{"RightPressDisarms", "LRl", 0},
                      ClickRow{"RightReleaseKeepsTheLeftPress", "Lrl", 1}),
    [](const auto& info) { return std::string(info.param.name); });

class KeyboardForm : public Form {
public:
    KeyboardForm()
        : Form({.name = "keyboard", .width = 3000, .height = 3000}) {
        cancel.onClick = [this] { ++cancelled; };
    }
    int cancelled = 0;
    // Declared out of tab order on purpose: the order comes from the tab indexes.
    TextBox third{*this, {.name = "third", .width = 300, .height = 300, .tabIndex = 2}};
    TextBox first{*this, {.name = "first", .width = 300, .height = 300, .tabIndex = 0}};
    PictureButton hidden{*this,
                         {.name = "hidden", .width = 300, .height = 300, .visible = false, .tabIndex = 1}};
    PictureButton second{*this, {.name = "second", .width = 300, .height = 300, .tabIndex = 1}};
    PictureButton cancel{*this, {.name = "cancel", .width = 300, .height = 300, .cancel = true}};
};

TEST(TabOrder, FollowsTabIndexesKeepingDesignOrderAmongEqualsAndLeavesOutUnreachable) {
    KeyboardForm form;
    EXPECT_EQ(tabOrder(form, false),
              (std::vector<Control*>{&form.first, &form.hidden, &form.second, &form.third}));
    EXPECT_EQ(tabOrder(form, true), (std::vector<Control*>{&form.first, &form.second, &form.third}));
}

struct TabRow {
    const char* name;
    const char* from; // nullptr: nothing has the focus
    bool back;
    const char* to;
    friend void PrintTo(const TabRow& row, std::ostream* os) { *os << row.name; }
};

class TabMoves : public ::testing::TestWithParam<TabRow> {};

TEST_P(TabMoves, CycleThroughTheShownControls) {
    KeyboardForm form;
    Control* from = nullptr;
    for (Control* control : form.controls())
        if (GetParam().from && control->name() == GetParam().from) from = control;
    Control* to = nextInTabOrder(form, from, GetParam().back);
    ASSERT_NE(to, nullptr);
    EXPECT_EQ(to->name(), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Keys, TabMoves,
                         ::testing::Values(TabRow{"FromNothing", nullptr, false, "first"},
                                           TabRow{"BackFromNothing", nullptr, true, "third"},
                                           TabRow{"SkipsTheHidden", "first", false, "second"},
                                           TabRow{"WrapsAtTheEnd", "third", false, "first"},
                                           TabRow{"BackWrapsAtTheStart", "first", true, "third"},
                                           TabRow{"Back", "third", true, "second"},
                                           TabRow{"FromOutsideTheOrder", "cancel", false, "first"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TabOrder, HidingTheFocusedControlMovesTheFocusOnOrBackToTheFirst) {
    KeyboardForm form;
    EXPECT_EQ(focusAfterHiding(form, form.second), &form.third);
    EXPECT_EQ(focusAfterHiding(form, form.third), &form.first);
    EXPECT_EQ(focusAfterHiding(form, form.first), &form.second);
}

TEST(TabOrder, NoReachableControlMeansNowhereToGo) {
    Form empty({.name = "empty", .width = 300, .height = 300});
    EXPECT_EQ(nextInTabOrder(empty, nullptr, false), nullptr);
}

struct EditRow {
    const char* name;
    std::string before;
    std::string after; // as the platform's box holds it after the edit
    std::string kept;
    friend void PrintTo(const EditRow& row, std::ostream* os) { *os << row.name; }
};

class SingleLine : public ::testing::TestWithParam<EditRow> {};

TEST_P(SingleLine, AnInsertedBlockKeepsItsFirstLine) {
    EXPECT_EQ(singleLineEdit(GetParam().before, GetParam().after), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Pastes, SingleLine,
    ::testing::Values(
        EditRow{"Typed", "4", "45", "45"}, EditRow{"TrailingLineFeed", "", "45\n", "45"},
        EditRow{"TrailingCarriageReturnLineFeed", "", "45\r\n", "45"},
        EditRow{"LaterLinesDropped", "1", "145\r\n67\n", "145"},
        EditRow{"IntoTheMiddle", "12", "145\n672", "1452"},
        EditRow{"LeadingBreakInsertsNothing", "12", "12\n45", "12"},
        EditRow{"OverASelection", "1234", "1\n4", "14"},
        EditRow{"WholeCharactersOnly", "a\xC3\xA9", "a\xC3\xA8\n\xC3\xA9", "a\xC3\xA8\xC3\xA9"},
        EditRow{"LongerThanABoxHolds", "", std::string(40000, '7'), std::string(kTextBoxMaxCharacters, '7')},
        EditRow{"LongFirstLine", "", std::string(40000, '7') + "\n8",
                std::string(kTextBoxMaxCharacters, '7')},
        EditRow{"CapAtWholeCharacters", std::string(32766, '7'), std::string(32766, '7') + "\xC3\xA9\xC3\xA9",
                std::string(32766, '7') + "\xC3\xA9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Escape, ClicksTheShownCancelControlOnly) {
    KeyboardForm form;
    form.show();
    EXPECT_TRUE(answerEscape(form));
    EXPECT_EQ(form.cancelled, 1);
    form.cancel.setVisible(false);
    EXPECT_FALSE(answerEscape(form));
    EXPECT_EQ(form.cancelled, 1);
    form.unload();
}

// Where the focus is after each step, and which focus events the steps raised: 'S' show the window, 'T' Tab
// and 't' Shift+Tab, 'P' a press on `second`, 'H' hide the focused control, 'O' move it out of the window,
// 'A' another window takes the focus and this one is activated again, 'M' a modal window over it shows and
// closes.
struct FocusRow {
    const char* name;
    std::string_view steps;
    const char* focused; // nullptr: none
    const char* events;
    friend void PrintTo(const FocusRow& row, std::ostream* os) { *os << row.name; }
};

class FocusForm : public Form {
public:
    FocusForm()
        : Form({.name = "focus", .caption = "Focus", .width = 4500, .height = 3000}) {
        for (Control* control : controls()) {
            control->onGotFocus = [this, control] { events += " +" + control->name(); };
            control->onLostFocus = [this, control] { events += " -" + control->name(); };
        }
    }
    std::string events;
    Label caption{*this,
                  {.name = "caption", .width = 900, .height = 300, .caption = "Amount", .tabIndex = 0}};
    TextBox first{*this, {.name = "first", .top = 300, .width = 900, .height = 300, .tabIndex = 1}};
    PictureButton second{*this, {.name = "second", .top = 900, .width = 900, .height = 300, .tabIndex = 2}};
    TextBox third{*this, {.name = "third", .top = 1500, .width = 900, .height = 300, .tabIndex = 3}};
};

class FocusTracking : public ::testing::TestWithParam<FocusRow> {
protected:
    void TearDown() override {
        other.unload();
        form.unload();
    }
    FocusForm form;
    FocusForm other;
};

TEST_P(FocusTracking, TheFormsTrackerDecidesOnEveryPlatform) {
    namespace t = forms::testing;
    for (char step : GetParam().steps) {
        Control* focused = form.activeControl();
        switch (step) {
        case 'S':
            form.show();
            t::processEvents();
            break;
        case 'T':
            t::pressKey(t::Key::Tab);
            break;
        case 't':
            form.focusTracker().tab(true);
            break;
        case 'P':
            t::click(form.second);
            break;
        case 'H':
            focused->setVisible(false);
            break;
        case 'O':
            focused->setLeft(-8000);
            break;
        case 'A':
            other.show();
            t::focus(other.third);
            t::activate(form);
            t::processEvents();
            break;
        case 'M':
            t::expectModal([this](Form& modal) {
                t::focus(other.third);
                modal.unload();
            });
            other.showModal();
            t::processEvents();
            break;
        }
    }
    EXPECT_EQ(form.activeControl() ? form.activeControl()->name() : "none",
              GetParam().focused ? GetParam().focused : "none");
    EXPECT_EQ(form.events, GetParam().events);
    // The keyboard is where the tracker says: Tab from there goes on in the order. Keys go to the active
    // window, which a window system without one after a modal window (Qt's offscreen) makes it by the user's
    // press.
    if (Control* focused = form.activeControl()) {
        t::activate(form);
        const std::string before = form.events;
        t::pressKey(t::Key::Tab);
        Control* next = nextInTabOrder(form, focused, false);
        EXPECT_EQ(form.activeControl(), next);
        if (next != focused) {
            EXPECT_EQ(form.events, before + " -" + focused->name() + " +" + next->name());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FocusTracking,
    ::testing::Values(
        FocusRow{"ShowingGivesTheFirstARealFocus", "S", "first", " +first"},
        FocusRow{"TabSkipsALabelAndShiftTabGoesBack", "STTt", "second",
                 " +first -first +second -second +third -third +second"},
        FocusRow{"APressTakesIt", "SP", "second", " +first -first +second"},
        FocusRow{"HidingHandsItOn", "STH", "third", " +first -first +second -second +third"},
        FocusRow{"HidingTheLastHandsItToTheFirst", "STTH", "first",
                 " +first -first +second -second +third -third +first"},
        FocusRow{"HidingEveryOneLeavesNone", "SHHH", nullptr, " +first -first +second -second +third -third"},
        FocusRow{"MovingOutOfTheWindowKeepsIt", "STO", "second", " +first -first +second"},
        FocusRow{"ActivationGivesItBackQuietly", "STA", "second", " +first -first +second"},
        FocusRow{"AModalWindowsClosingGivesItBackQuietly", "STM", "second", " +first -first +second"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
