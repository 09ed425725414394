#include "windows/alert/FormAlert.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace t = forms::testing;

namespace {

int channel(std::uint32_t argb, int shift) {
    return static_cast<int>(argb >> shift & 0xFF);
}
bool isRed(std::uint32_t argb) {
    return channel(argb, 16) > 180 && channel(argb, 8) < 100 && channel(argb, 0) < 100;
}
bool isDark(std::uint32_t argb) {
    return channel(argb, 16) < 80 && channel(argb, 8) < 80 && channel(argb, 0) < 80;
}

struct SizeCase {
    const char* name;
    int count;
    float windowHeight, labelHeight, okTop, sideHeight, bottomTop;
    friend void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }
};

class AlertSizing : public ::testing::TestWithParam<SizeCase> {};

TEST_P(AlertSizing, LoadSizesTheWindowForTheMessageCount) {
    const SizeCase& c = GetParam();
    FormAlert alert;
    alert.messageCounter = static_cast<std::int16_t>(c.count);
    alert.lbl.setCaption("\r\nTank Capacity Is Required.");
    EXPECT_EQ(alert.width(), 4950.0f);
    EXPECT_EQ(alert.height(), c.windowHeight);
    EXPECT_EQ(alert.lbl.height(), c.labelHeight);
    EXPECT_EQ(alert.cmdOk.top(), c.okTop);
    EXPECT_EQ(alert.imgLeft.height(), c.sideHeight);
    EXPECT_EQ(alert.imgRight.height(), c.sideHeight);
    EXPECT_EQ(alert.imgBL.top(), c.bottomTop);
    EXPECT_EQ(alert.imgBR.top(), c.bottomTop);
    EXPECT_EQ(alert.imgBottom.top(), c.bottomTop);
    alert.unload();
}

INSTANTIATE_TEST_SUITE_P(Counts, AlertSizing,
                         ::testing::Values(SizeCase{"None", 0, 2655, 1215, 1920, 2460, 2520},
                                           SizeCase{"One", 1, 2070, 495, 1200, 1740, 1800},
                                           SizeCase{"Two", 2, 2290, 715, 1420, 1960, 2020},
                                           SizeCase{"Three", 3, 2540, 965, 1670, 2210, 2270},
                                           SizeCase{"Four", 4, 2790, 1215, 1920, 2460, 2520},
                                           SizeCase{"Five", 5, 2655, 1215, 1920, 2460, 2520},
                                           SizeCase{"Negative", -1, 2655, 1215, 1920, 2460, 2520}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormAlert, CounterOutlivesTheWindowAndASecondShowingSizesAfresh) {
    FormAlert alert;
    alert.messageCounter = 4;
    EXPECT_FALSE(alert.isLoaded()); // writing the counter creates no window
    alert.lbl.setCaption("four");
    t::expectModal([](forms::Form&) { t::pressKey(t::Key::Enter); });
    alert.showModal();
    EXPECT_FALSE(alert.isLoaded());
    EXPECT_EQ(alert.messageCounter, 4);

    alert.messageCounter = 1;
    alert.lbl.setCaption("one");
    EXPECT_EQ(alert.height(), 2070.0f);
    EXPECT_EQ(alert.cmdOk.top(), 1200.0f);
    t::expectModal([&](forms::Form&) {
        EXPECT_TRUE(alert.cmdOk.hasFocus());
        t::pressKey(t::Key::Space);
    });
    alert.showModal();
    EXPECT_FALSE(alert.isLoaded());
}

TEST(FormAlert, DrawsTheSkinAroundItsMessages) {
    FormAlert alert;
    alert.messageCounter = 4;
    alert.lbl.setCaption("\r\nTank Capacity Is Required.\r\nMonthly Top-up Is Required.");
    alert.show();
    const t::Pixels shot = t::grab(alert);
    ASSERT_EQ(shot.width, 330);
    ASSERT_EQ(shot.height, 186);
    const std::uint32_t background = 0xFFEAD6C2;
    // Outside each corner's rounding the window's own colour shows.
    EXPECT_EQ(shot.at(0, 0), background);
    EXPECT_EQ(shot.at(329, 0), background);
    EXPECT_EQ(shot.at(0, 177), background);
    EXPECT_EQ(shot.at(329, 177), background);
    EXPECT_NE(shot.at(5, 5), background);
    // Below the bottom border (2520 + 150 twips = row 178) a strip of 120 twips of background remains.
    for (int y = 178; y < 186; ++y)
        EXPECT_EQ(shot.at(165, y), background) << "row " << y;
    EXPECT_NE(shot.at(165, 177), background);
    // The title is red.
    int red = 0;
    for (int y = 16; y < 33; ++y)
        for (int x = 128; x < 217; ++x)
            if (isRed(shot.at(x, y))) ++red;
    EXPECT_GT(red, 20);
    // The messages are drawn in dark text inside the label.
    int dark = 0;
    for (int y = 32; y < 113; ++y)
        for (int x = 72; x < 281; ++x)
            if (isDark(shot.at(x, y))) ++dark;
    EXPECT_GT(dark, 100);
    alert.unload();
}

// Messages too wide for the label wrap; the window grows by the lines they take so that none is cut off.
struct WrapCase {
    const char* name;
    std::vector<std::string> messages;
    friend void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.name; }
};

class AlertWrapping : public ::testing::TestWithParam<WrapCase> {};

TEST_P(AlertWrapping, EveryMessageShowsInFull) {
    const WrapCase& c = GetParam();
    FormAlert alert;
    alert.messageCounter = static_cast<std::int16_t>(c.messages.size());
    std::string text;
    int lines = 0;
    for (const std::string& message : c.messages) {
        text += "\r\n" + message;
        // None of these needs more than two lines; measured apart from the label's own wrapping.
        lines += t::textWidthPixels(alert.lbl, message) <= alert.lbl.width() / forms::kTwipsPerPixel ? 1 : 2;
    }
    alert.lbl.setCaption(text);
    const float heights[] = {2070, 2290, 2540, 2790};
    EXPECT_EQ(alert.height(),
              lines <= 4 ? heights[lines - 1] : 2790 + 250.0f * static_cast<float>(lines - 4));
    alert.show();
    const t::Pixels shot = t::grab(alert);
    ASSERT_EQ(shot.height, static_cast<int>(std::lround(alert.height() / forms::kTwipsPerPixel)));

    // Bands of rows with dark text in the message label: one per line drawn.
    const int left = static_cast<int>(alert.lbl.left() / forms::kTwipsPerPixel);
    const int right = left + static_cast<int>(alert.lbl.width() / forms::kTwipsPerPixel);
    const int top = static_cast<int>(alert.lbl.top() / forms::kTwipsPerPixel);
    const int okTop = static_cast<int>(alert.cmdOk.top() / forms::kTwipsPerPixel);
    int bands = 0;
    int lastDarkRow = -1;
    bool inBand = false;
    for (int y = top; y < okTop; ++y) {
        bool dark = false;
        for (int x = left; x < right && !dark; ++x)
            dark = isDark(shot.at(x, y));
        if (dark && !inBand) ++bands;
        if (dark) lastDarkRow = y;
        inBand = dark;
    }
    EXPECT_EQ(bands, lines);
    EXPECT_LT(lastDarkRow, okTop);
    alert.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Messages, AlertWrapping,
    ::testing::Values(
        WrapCase{"FourShort",
                 {"Tank Capacity Is Required.", "Monthly Top-up Is Required.",
                  "Mileage Attained Is Required.", "Fuel Price Is Required."}},
        WrapCase{"OneLong", {"Please Enter Numbers Only For Mileage Attained."}},
        WrapCase{
            "FourLongest",
            {"Please Enter Numbers Only For Tank Capacity.", "Please Enter Numbers Only For Monthly Top-up.",
             "Please Enter Numbers Only For Mileage Attained.", "Please Enter Numbers Only For Fuel Price."}},
        WrapCase{"FourRanges",
                 {"Tank Capacity Must Be Between 1 And 1500.", "Monthly Top-up Must Be Between 0 And 100.",
                  "Mileage Attained Must Be Between 1 And 3000.",
                  "Fuel Price Must Be Between 0.01 And 20."}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
