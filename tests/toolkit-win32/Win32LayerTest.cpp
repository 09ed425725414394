// What the Win32 platform layer draws and how it stacks its windows, beyond what the shared tests observe.

#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/PictureButton.h"
#include "toolkit/TestDriver.h"
#include "toolkit/TextBox.h"
#include "toolkit/win32/Win32Control.h"
#include "toolkit/win32/Win32Skin.h"
#include "toolkit/win32/Win32Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace forms;
namespace t = forms::testing;

namespace {

const Font kSmall{"MS Sans Serif", 8.25f, false};

HWND windowOf(const Control& control) {
    return static_cast<win32::Win32Control*>(control.native())->hwnd();
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
    friend void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }
};

class LabelLayout : public ::testing::TestWithParam<LayoutRow> {};

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
    form.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Captions, LabelLayout,
    ::testing::Values(LayoutRow{"OneLine", "Tank", 3000, 3, {true, false, false, false}},
                      LayoutRow{"BreakAtCrLf", "\r\nTank", 3000, 3, {false, true, false, false}},
                      LayoutRow{"BreakAtLf", "Tank\nTop", 3000, 3, {true, true, false, false}},
                      LayoutRow{"WrapAtWords", "Tank Tank Tank", 600, 3, {true, true, true, false}},
                      LayoutRow{"CutOffBelow", "A\r\nB\r\nC\r\nD", 3000, 2, {true, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

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
                  {.name = "onStrip", .left = 150, .top = 60, .width = 2700, .height = 255, .font = kSmall}};
    Label cover{*this,
                {.name = "cover",
                 .left = 300,
                 .top = 1500,
                 .width = 1500,
                 .height = 465,
                 .caption = "WWWWWWWWWWWW",
                 .font = kSmall,
                 .foreColor = rgb(0, 0, 0)}};
};

TEST(Win32Stacking, ATransparentLabelShowsThePictureBeneathIt) {
    OverlapForm form;
    form.show();
    form.onStrip.setVisible(false);
    const t::Pixels without = t::grab(form);
    form.onStrip.setVisible(true);
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

// Edges come from rounding each edge, so controls that abut in twips abut on screen at any scaling.
struct EdgeRow {
    const char* name;
    UINT dpi;
    friend void PrintTo(const EdgeRow& row, std::ostream* os) { *os << row.name; }
};

class PixelEdges : public ::testing::TestWithParam<EdgeRow> {};

TEST_P(PixelEdges, AbuttingControlsNeitherGapNorOverlap) {
    const UINT dpi = GetParam().dpi;
    for (Twips left = -8000; left <= 8000; left += 97) {
        for (Twips width : {15.0f, 100.0f, 505.0f, 4330.0f}) {
            const RECT first = win32::toPixelRect(left, 0, width, 15, dpi);
            const RECT second = win32::toPixelRect(left + width, 0, width, 15, dpi);
            ASSERT_EQ(first.right, second.left) << left << " + " << width;
            ASSERT_NEAR(first.right - first.left, width / kTwipsPerPixel * dpi / 96.0, 1.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scalings, PixelEdges,
                         ::testing::Values(EdgeRow{"Normal", 96}, EdgeRow{"OneAndAQuarter", 120},
                                           EdgeRow{"OneAndAHalf", 144}, EdgeRow{"Double", 192}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
