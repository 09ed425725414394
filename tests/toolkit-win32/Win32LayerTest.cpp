// What the Win32 platform layer draws, how it stacks, sizes and closes its windows, and how its controls take
// presses and show text, beyond what the shared tests observe.

#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/Metrics.h"
#include "toolkit/PackedSkin.h"
#include "toolkit/PictureButton.h"
#include "toolkit/TestDriver.h"
#include "toolkit/TextBox.h"
#include "toolkit/Timer.h"
#include "toolkit/win32/Win32Control.h"
#include "toolkit/win32/Win32Resample.h"
#include "toolkit/win32/Win32Resources.h"
#include "toolkit/win32/Win32Skin.h"
#include "toolkit/win32/Win32Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <vector>

using namespace forms;
namespace t = forms::testing;

namespace {

const Font kSmall{"MS Sans Serif", 8.25f, false};

HWND windowOf(const Control& control) {
    return static_cast<win32::Win32Control*>(control.native())->hwnd();
}

HWND windowOf(const Form& form) {
    return static_cast<win32::Win32Window*>(form.native())->hwnd();
}

SIZE sizeOf(HWND hwnd) {
    RECT area{};
    GetWindowRect(hwnd, &area);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

int lineHeight(const Font& face) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, win32::font(face, win32::systemDpi()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return metrics.tmHeight;
}

bool isInk(std::uint32_t argb) {
    return (argb >> 16 & 0xFF) < 128 && (argb >> 8 & 0xFF) < 128 && (argb & 0xFF) < 128;
}

bool anyInk(const t::Pixels& shot, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (isInk(shot.at(x, y))) return true;
    return false;
}

class LabelForm : public Form {
public:
    LabelForm(std::string caption, Twips width, Twips height)
        : Form({.name = "labels", .width = 6000, .height = 4500, .backColor = kWhite})
        , label(*this, {.name = "text",
                        .left = 150,
                        .top = 150,
                        .width = width,
                        .height = height,
                        .caption = std::move(caption),
                        .font = kSmall,
                        .foreColor = rgb(0, 0, 0)}) {}
    Label label;
};

struct LayoutRow {
    const char* name;
    const char* caption;
    Twips width;
    int lines;               // the label's height, in lines of its face
    std::vector<bool> inked; // per line band, then the band just below the label
    int lineCount;           // as laid out, whether or not cut off below
    friend void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }
};

class LabelLayout : public ::testing::TestWithParam<LayoutRow> {};

constexpr const char* kMessage = "Please Enter Numbers Only For Mileage Attained.";

TEST_P(LabelLayout, BreaksWrapsAndCutsOffByLines) {
    const LayoutRow& row = GetParam();
    const int line = lineHeight(kSmall);
    LabelForm form(row.caption, row.width, static_cast<Twips>(row.lines * line) * kTwipsPerPixel);
    form.show();
    const t::Pixels shot = t::grab(form);
    const int left = 10;
    const int top = 10;
    const int right = left + static_cast<int>(row.width / kTwipsPerPixel) + 20;
    for (std::size_t band = 0; band < row.inked.size(); ++band) {
        const int bandTop = top + static_cast<int>(band) * line;
        EXPECT_EQ(anyInk(shot, left, bandTop, right, bandTop + line), row.inked[band]) << "band " << band;
    }
    EXPECT_EQ(form.label.lineCount(), row.lineCount);
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Captions, LabelLayout,
    ::testing::Values(
        LayoutRow{"OneLine", "Tank", 3000, 3, {true, false, false, false}, 1},
        LayoutRow{"BreakAtCrLf", "\r\nTank", 3000, 3, {false, true, false, false}, 2},
        LayoutRow{"BreakAtLf", "Tank\nTop", 3000, 3, {true, true, false, false}, 2},
        LayoutRow{"WrapAtWords", "Tank Tank Tank", 600, 3, {true, true, true, false}, 3},
        LayoutRow{"WrapAndBreak", "Tank Tank\r\nTop", 600, 4, {true, true, true, false, false}, 3},
        LayoutRow{"TrailingSpacesHang", "Tank          ", 600, 2, {true, false, false}, 1},
        LayoutRow{"LongWordStaysWhole", "Tankcapacitycapacity", 300, 2, {true, false, false}, 1},
        LayoutRow{"WrappedMessage", kMessage, 1800, 4, {true, true, true, false, false}, 3},
        LayoutRow{"WrappedMessageCutOffBelow", kMessage, 1800, 1, {true, false}, 3},
        LayoutRow{"CutOffBelow", "A\r\nB\r\nC\r\nD", 3000, 2, {true, true, false}, 4}),
    [](const auto& info) { return std::string(info.param.name); });

// A window whose height a stepped timer changes, as the calculator's animations do.
class SizedForm : public Form {
public:
    explicit SizedForm(std::string caption = "Sized")
        : Form({.name = "sized", .caption = std::move(caption), .width = 4500, .height = 3000}) {
        tick.onTimer = [this] {
            setHeight(nextHeight);
            heightInTick = sizeOf(windowOf(*this)).cy;
        };
    }
    Timer tick{*this, {.name = "tick", .interval = 15, .enabled = true}};
    Twips nextHeight = 3000;
    std::optional<int> heightInTick;
};

TEST(Win32Size, TheWindowSystemIsToldOneFixedSize) {
    SizedForm form;
    form.show();
    MINMAXINFO limits{};
    SendMessageW(windowOf(form), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    for (POINT size : {limits.ptMinTrackSize, limits.ptMaxTrackSize, limits.ptMaxSize}) {
        EXPECT_EQ(size.x, 300);
        EXPECT_EQ(size.y, 200);
    }
    const LONG_PTR style = GetWindowLongPtrW(windowOf(form), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    form.setHeight(4500);
    SendMessageW(windowOf(form), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMaxTrackSize.y, 300);
    EXPECT_EQ(limits.ptMinTrackSize.y, 300);
    form.unload();
}

struct ResizeRow {
    const char* name;
    std::function<void(HWND)> attempt;
    friend void PrintTo(const ResizeRow& row, std::ostream* os) { *os << row.name; }
};

class Win32Resize : public ::testing::TestWithParam<ResizeRow> {};

TEST_P(Win32Resize, OnlyTheProgramChangesTheSize) {
    SizedForm form;
    form.show();
    const HWND hwnd = windowOf(form);
    GetParam().attempt(hwnd);
    t::processEvents();
    EXPECT_EQ(sizeOf(hwnd).cx, 300);
    EXPECT_EQ(sizeOf(hwnd).cy, 200);
    EXPECT_FALSE(IsZoomed(hwnd));
    form.setHeight(4500);
    EXPECT_EQ(sizeOf(hwnd).cy, 300);
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, Win32Resize,
    ::testing::Values(
        ResizeRow{"MaximiseCommand", [](HWND w) { SendMessageW(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }},
        ResizeRow{"SizeCommand", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_SIZE, 0); }},
        ResizeRow{"ShowMaximised", [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }},
        ResizeRow{"SizedFromOutside",
                  [](HWND w) { SetWindowPos(w, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Size, AShownWindowShrinksOnlyAfterItsFrame) {
    SizedForm form;
    form.show();
    const HWND hwnd = windowOf(form);
    form.nextHeight = 2250;
    ASSERT_EQ(t::stepTimers(form), 1);
    EXPECT_EQ(form.heightInTick, 200); // still the old height while the tick changes the window
    EXPECT_EQ(sizeOf(hwnd).cy, 150);   // its frame is out: the window has shrunk
    form.nextHeight = 3750;
    t::stepTimers(form);
    EXPECT_EQ(form.heightInTick, 250); // growing never waits
    form.unload();
}

TEST(Win32Size, AShrinkWithNoFrameToFollowComesByItself) {
    SizedForm form;
    form.show();
    const HWND hwnd = windowOf(form);
    form.setHeight(1500);
    EXPECT_EQ(sizeOf(hwnd).cy, 200);
    t::processEvents();
    EXPECT_EQ(sizeOf(hwnd).cy, 100);
    form.unload();
}

TEST(Win32Size, AHiddenWindowShrinksAtOnce) {
    SizedForm form;
    form.load();
    form.setHeight(1500);
    EXPECT_EQ(sizeOf(windowOf(form)).cy, 100);
    form.unload();
}

struct IconicRow {
    const char* name;
    std::function<void(SizedForm&)> change;
    int restoredHeight;
    friend void PrintTo(const IconicRow& row, std::ostream* os) { *os << row.name; }
};

class Win32Minimised : public ::testing::TestWithParam<IconicRow> {};

TEST_P(Win32Minimised, StaysMinimisedAndRestoresToTheLatestState) {
    SizedForm form;
    form.show();
    const HWND hwnd = windowOf(form);
    form.setWindowState(WindowState::Minimized);
    t::processEvents();
    ASSERT_TRUE(IsIconic(hwnd));
    RECT iconic{};
    GetWindowRect(hwnd, &iconic);
    GetParam().change(form);
    t::processEvents();
    EXPECT_TRUE(IsIconic(hwnd));
    RECT after{};
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&iconic, &after)) << "the minimised window was moved or sized";
    EXPECT_EQ(form.windowState(), WindowState::Minimized);
    form.setWindowState(WindowState::Normal);
    t::processEvents();
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(sizeOf(hwnd).cy, GetParam().restoredHeight);
    RECT area{};
    GetWindowRect(hwnd, &area);
    EXPECT_EQ(area.left, toPixels(form.left(), win32::systemDpi()));
    EXPECT_EQ(area.top, toPixels(form.top(), win32::systemDpi()));
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(Changes, Win32Minimised,
                         ::testing::Values(IconicRow{"Grows", [](SizedForm& f) { f.setHeight(4500); }, 300},
                                           IconicRow{"Shrinks", [](SizedForm& f) { f.setHeight(1500); }, 100},
                                           IconicRow{"FramesOfAnAnimation",
                                                     [](SizedForm& f) {
                                                         for (Twips h : {3300.0f, 3600.0f, 3450.0f}) {
                                                             f.nextHeight = h;
                                                             t::stepTimers(f);
                                                         }
                                                     },
                                                     230},
                                           IconicRow{"Moves", [](SizedForm& f) { f.move(1500, 1200); }, 200}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Close, TheWindowSystemsCloseUnloadsTheFormItAsks) {
    SizedForm first("First");
    SizedForm second("Second");
    first.show();
    second.show();
    SendMessageW(windowOf(first), WM_CLOSE, 0, 0);
    EXPECT_FALSE(first.isLoaded());
    EXPECT_TRUE(second.isLoaded());
    second.unload();
}

TEST(Win32Close, AModalWindowClosedByTheWindowSystemReturnsAndItsOwnerStays) {
    SizedForm owner("Owner");
    SizedForm alert("");
    owner.show();
    bool ownerStayed = false;
    t::expectModal([&](Form& shown) {
        EXPECT_EQ(t::windowTitle(shown), "Owner"); // listed by its owner's caption
        SendMessageW(windowOf(owner), WM_CLOSE, 0, 0);
        ownerStayed = owner.isLoaded();
        PostMessageW(windowOf(shown), WM_CLOSE, 0, 0);
    });
    alert.showModal();
    EXPECT_TRUE(ownerStayed);
    EXPECT_FALSE(alert.isLoaded());
    EXPECT_TRUE(owner.isLoaded());
    // Closed, it can be shown modally again.
    t::expectModal([](Form& shown) { PostMessageW(windowOf(shown), WM_CLOSE, 0, 0); });
    alert.showModal();
    EXPECT_FALSE(alert.isLoaded());
    owner.unload();
}

TEST(Win32CloseDeathTest, ClosingTheLastWindowEndsTheProgramWithStatusZero) {
    EXPECT_EXIT(
        {
            SizedForm only("Only");
            only.show();
            SendMessageW(windowOf(only), WM_CLOSE, 0, 0);
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

class PressForm : public Form {
public:
    PressForm()
        : Form({.name = "presses", .width = 4500, .height = 3000, .backColor = kWhite}) {
        for (Control* control : controls())
            control->onClick = [this, control] { ++clicks[control->kind()]; };
    }
    Label label{*this,
                {.name = "label", .left = 150, .top = 150, .width = 1500, .height = 300, .caption = "Link"}};
    Image image{*this,
                {.name = "image",
                 .left = 150,
                 .top = 600,
                 .width = 600,
                 .height = 300,
                 .picture = Picture("title-strip")}};
    PictureButton button{*this,
                         {.name = "button",
                          .left = 150,
                          .top = 1200,
                          .width = 1215,
                          .height = 495,
                          .picture = Picture("face-ok-normal"),
                          .tabIndex = 0}};
    std::map<ControlKind, int> clicks;
};

struct DoubleRow {
    const char* name;
    Control& (*control)(PressForm&);
    int clicks;
    friend void PrintTo(const DoubleRow& row, std::ostream* os) { *os << row.name; }
};

class Win32DoubleClick : public ::testing::TestWithParam<DoubleRow> {};

TEST_P(Win32DoubleClick, TheSecondPressClicksOnlyWhereTheToolkitSaysSo) {
    PressForm form;
    form.show();
    Control& control = GetParam().control(form);
    const HWND hwnd = windowOf(control);
    // The system tells a double-click apart only for a window class that asks for it.
    EXPECT_TRUE(GetClassLongPtrW(hwnd, GCL_STYLE) & CS_DBLCLKS);
    t::doubleClick(control);
    t::processEvents();
    EXPECT_EQ(form.clicks[control.kind()], GetParam().clicks);
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Win32DoubleClick,
    ::testing::Values(DoubleRow{"Label", [](PressForm& f) -> Control& { return f.label; }, 1},
                      DoubleRow{"Image", [](PressForm& f) -> Control& { return f.image; }, 1},
                      DoubleRow{"Button", [](PressForm& f) -> Control& { return f.button; }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// The calculator's boxes: 74 pixels wide in a 13.5-point face.
class BoxForm : public Form {
public:
    BoxForm()
        : Form({.name = "boxes", .width = 3000, .height = 1500, .backColor = kWhite}) {}
    TextBox box{*this,
                {.name = "box",
                 .left = 300,
                 .top = 300,
                 .width = 1110,
                 .height = 465,
                 .font = Font{"MS Sans Serif", 13.5f, false},
                 .tabIndex = 0}};
};

// COM (and with it the codecs, the accessibility library and the shell) starts when something first needs it,
// not with the program or a window whose controls a screen reader may name.
TEST(Win32OnDemand, ShowingANamedWindowStartsNoCom) {
    class NamedForm : public Form {
    public:
        NamedForm()
            : Form({.name = "named", .width = 3000, .height = 1500, .accessibleName = "Named"}) {}
        TextBox box{*this,
                    {.name = "box",
                     .left = 300,
                     .top = 300,
                     .width = 615,
                     .height = 465,
                     .tabIndex = 0,
                     .accessibleName = "Amount:"}};
    } form;
    form.show();
    t::processEvents();
    const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(started, S_OK) << "COM had been started on this thread";
    if (SUCCEEDED(started)) CoUninitialize();
    form.unload();
}

// A box that scrolled its text puts the first character left of its client area.
void expectWhole(HWND box, std::size_t length) {
    RECT client{};
    GetClientRect(box, &client);
    const auto x = [box](std::size_t at) {
        return static_cast<short>(LOWORD(SendMessageW(box, EM_POSFROMCHAR, at, 0)));
    };
    EXPECT_GE(x(0), 0) << "scrolled by " << -x(0);
    EXPECT_LE(x(length), client.right);
}

class Win32TextBox : public ::testing::TestWithParam<const char*> {};

TEST_P(Win32TextBox, AFigureThatFitsShowsFromItsStart) {
    BoxForm form;
    form.show();
    const HWND hwnd = windowOf(form.box);
    // The toolkit's inset on either side, at the 96 dpi the tests run at.
    EXPECT_EQ(SendMessageW(hwnd, EM_GETMARGINS, 0, 0), MAKELONG(kTextBoxInset, kTextBoxInset));
    const std::string figure = GetParam();
    RECT client{};
    GetClientRect(hwnd, &client);
    ASSERT_LE(t::textWidthPixels(form.box, figure), client.right) << "the figure fits the box";
    t::focus(form.box);
    t::typeText(figure); // the caret ends after the last character
    expectWhole(hwnd, figure.size());
    form.box.setText("");
    form.box.setText(figure);
    expectWhole(hwnd, figure.size());
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(Figures, Win32TextBox, ::testing::Values("47.5", "4", "845", "2.88", "550", "1.95"),
                         [](const auto& info) {
                             std::string name = "Figure";
                             for (char c : std::string(info.param))
                                 name += c == '.' ? '_' : c;
                             return name;
                         });

class OverlapForm : public Form {
public:
    OverlapForm()
        : Form({.name = "overlap", .width = 4500, .height = 3000, .backColor = rgb(0xEA, 0xD6, 0xC2)}) {}
    // Declared first, yet a windowed control lies above the label that follows it.
    TextBox box{
        *this,
        {.name = "box", .left = 300, .top = 1500, .width = 1500, .height = 465, .backColor = rgb(0, 255, 0)}};
    Image strip{*this,
                {.name = "strip",
                 .left = 0,
                 .top = 0,
                 .width = 4500,
                 .height = 375,
                 .picture = Picture("title-strip"),
                 .stretch = true}};
    Label onStrip{*this,
                  {.name = "onStrip",
                   .left = 150,
                   .top = 60,
                   .width = 2700,
                   .height = 255,
                   .font = kSmall,
                   .visible = false}};
    Label cover{*this,
                {.name = "cover",
                 .left = 300,
                 .top = 1500,
                 .width = 1500,
                 .height = 465,
                 .caption = "WWWWWWWWWWWW",
                 .font = kSmall,
                 .foreColor = rgb(0, 0, 0),
                 .visible = false}};
};

TEST(Win32Stacking, ATransparentLabelShowsThePictureBeneathIt) {
    OverlapForm form;
    form.show();
    const t::Pixels without = t::grab(form);
    form.onStrip.setVisible(true); // its window is made only now, above the strip all the same
    POINT inside{20, 8};
    EXPECT_EQ(ChildWindowFromPointEx(windowOf(form), inside, CWP_SKIPINVISIBLE), windowOf(form.onStrip));
    const t::Pixels with = t::grab(form);
    int differing = 0;
    for (int y = 4; y < 21; ++y)
        for (int x = 10; x < 190; ++x)
            differing += without.at(x, y) != with.at(x, y);
    EXPECT_EQ(differing, 0);
    form.onStrip.setCaption("KELVARA");
    const t::Pixels written = t::grab(form);
    for (int y = 4; y < 21; ++y)
        for (int x = 10; x < 190; ++x)
            differing += without.at(x, y) != written.at(x, y);
    EXPECT_GT(differing, 10);
    form.unload();
}

TEST(Win32Stacking, WindowedControlsLieAboveLabelsDeclaredAfterThem) {
    OverlapForm form;
    form.show();
    form.cover.setVisible(true); // its window is made only now, beneath the box all the same
    const t::Pixels shot = t::grab(form);
    EXPECT_EQ(shot.at(60, 115), 0xFF00FF00u); // inside the box, where the label's letters would be
    auto* window = static_cast<win32::Win32Window*>(form.native());
    POINT inside{60, 115};
    EXPECT_EQ(ChildWindowFromPointEx(window->hwnd(), inside, CWP_SKIPINVISIBLE), windowOf(form.box));
    form.unload();
}

class ButtonForm : public Form {
public:
    ButtonForm()
        : Form({.name = "buttons", .width = 3000, .height = 1500, .backColor = kWhite}) {}
    PictureButton ok{*this,
                     {.name = "ok",
                      .left = 300,
                      .top = 300,
                      .width = 1215,
                      .height = 495,
                      .backColor = kWhite,
                      .picture = Picture("face-ok-normal"),
                      .downPicture = Picture("face-ok-muted"),
                      .tabIndex = 0}};
};

struct FaceRow {
    const char* name;
    bool held;
    const char* face;
    friend void PrintTo(const FaceRow& row, std::ostream* os) { *os << row.name; }
};

class ButtonFace : public ::testing::TestWithParam<FaceRow> {};

TEST_P(ButtonFace, ShowsItsSecondPictureOnlyWhilePressed) {
    ButtonForm form;
    form.show();
    if (GetParam().held) t::pointerDown(form.ok, LeftButton, 0, 600, 240);
    const t::Pixels shot = t::grab(form);
    const win32::Bitmap& face = win32::picture(Picture(GetParam().face));
    // 81 x 33 pixels around a 79 x 31 face: one pixel of the button's colour on each side.
    int compared = 0;
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            const std::uint32_t pixel = face.pixels[static_cast<std::size_t>(y * face.width + x)];
            if (pixel >> 24 != 0xFF) continue;
            ASSERT_EQ(shot.at(20 + 1 + x, 20 + 1 + y), pixel) << x << ", " << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, face.width * face.height / 2);
    if (GetParam().held) t::pointerUp(form.ok, LeftButton, 0, 600, 240);
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(States, ButtonFace,
                         ::testing::Values(FaceRow{"Released", false, "face-ok-normal"},
                                           FaceRow{"Held", true, "face-ok-muted"}),
                         [](const auto& info) { return std::string(info.param.name); });

// From 1.5 times the design's density up, pictures with a twice-size drawing come in that drawing, and are
// drawn at the same size on screen as the single-size one would be.
struct DensityRow {
    const char* name;
    UINT dpi;
    const char* picture;
    int designWidth;
    int scale;
    friend void PrintTo(const DensityRow& row, std::ostream* os) { *os << row.name; }
};

class PictureDensity : public ::testing::TestWithParam<DensityRow> {};

TEST_P(PictureDensity, TwiceSizeDrawingFromOneAndAHalfTimes) {
    const DensityRow& row = GetParam();
    const win32::Bitmap& image = win32::picture(Picture(row.picture), row.dpi);
    EXPECT_EQ(image.scale, row.scale);
    EXPECT_EQ(image.width, row.designWidth * row.scale);
    EXPECT_EQ(win32::naturalPixels(image.width, row.dpi, image.scale),
              static_cast<int>(std::lround(row.designWidth * row.dpi / 96.0)));
}

INSTANTIATE_TEST_SUITE_P(Scales, PictureDensity,
                         ::testing::Values(DensityRow{"Face96", 96, "face-ok-normal", 79, 1},
                                           DensityRow{"Face120", 120, "face-ok-normal", 79, 1},
                                           DensityRow{"Face144", 144, "face-ok-normal", 79, 2},
                                           DensityRow{"Face192", 192, "face-ok-normal", 79, 2},
                                           DensityRow{"Corner192", 192, "corner-top-left", 10, 2},
                                           DensityRow{"TitleStrip96", 96, "title-strip", 902, 1},
                                           DensityRow{"TitleStrip192", 192, "title-strip", 902, 2},
                                           DensityRow{"PointerHasNoTwin", 192, "hand-pointer", 301, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Pointer, TheHandsHotSpotIsItsFingerTipAtTheSystemsPointerSize) {
    const HCURSOR hand = win32::cursor(Picture("hand-pointer"), win32::systemDpi());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    const int box = GetSystemMetrics(SM_CXCURSOR);
    EXPECT_EQ(colour.bmWidth, box);
    EXPECT_EQ(colour.bmHeight, box);
    // The picture is 301 x 375 with its hot spot at (123, 7), scaled to fit the box.
    const double scale = std::min(box / 301.0, box / 375.0);
    EXPECT_NEAR(info.xHotspot, 123 * scale, 1.0);
    EXPECT_NEAR(info.yHotspot, 7 * scale, 1.0);
    EXPECT_FALSE(info.fIcon);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// The pictures the build packs are the PNGs as the system's codecs decode them and as this layer scales them,
// which is what the windows showed when they decoded and scaled them at start-up.
TEST(Win32PackedPictures, EachIsThePngDecodedAndScaled) {
#ifndef KELVARA_PACKED_SKIN
    GTEST_SKIP() << "a native Windows build packs no pictures";
#endif
    const auto blob = std::as_bytes(win32::resourceBytes("skin-pixels"));
    const std::vector<std::string> keys = packed::keys(blob);
    ASSERT_GE(keys.size(), 10u);
    const std::regex stretched("^(.+)@(\\d+)x(\\d+)$");
    const std::regex pointer("^(.+):pointer(\\d+)$");
    for (const std::string& key : keys) {
        std::smatch m;
        const bool isStretched = std::regex_match(key, m, stretched) || std::regex_match(key, m, pointer);
        const std::string name = isStretched ? m[1].str() : key;
        std::ifstream file(KELVARA_SKIN_DIR "/" + name + ".png", std::ios::binary);
        const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(file), {}};
        const win32::Bitmap decoded = win32::decodePng(png);
        ASSERT_FALSE(decoded.pixels.empty()) << key;
        win32::Bitmap expected = decoded;
        POINT hot{};
        const win32::Bitmap* found = win32::packedPicture(key, &hot);
        ASSERT_NE(found, nullptr) << key;
        if (key.find(":pointer") != std::string::npos) {
            const auto fit = win32::fitPointer(
                decoded.width, decoded.height, std::atof(win32::pngText(png, "HotSpotX").c_str()),
                std::atof(win32::pngText(png, "HotSpotY").c_str()), std::stoi(m[2]));
            expected = win32::scaled(decoded, fit.width, fit.height);
            EXPECT_EQ(hot.x, fit.hotX) << key;
            EXPECT_EQ(hot.y, fit.hotY) << key;
        } else if (isStretched) {
            expected = win32::scaled(decoded, std::stoi(m[2]), std::stoi(m[3]));
        }
        ASSERT_EQ(found->width, expected.width) << key;
        ASSERT_EQ(found->height, expected.height) << key;
        int differing = 0;
        std::size_t first = 0;
        for (std::size_t i = 0; i < expected.pixels.size(); ++i)
            if (found->pixels[i] != expected.pixels[i] && differing++ == 0) first = i;
        EXPECT_EQ(differing, 0) << key << ": first at " << first << ", " << std::hex << found->pixels[first]
                                << " instead of " << expected.pixels[first];
    }
}

} // namespace
