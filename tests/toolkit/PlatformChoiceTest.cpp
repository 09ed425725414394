#include "toolkit/qt/PlatformChoice.h"

#include <gtest/gtest.h>

#include <array>

using forms::qt::chooseQtPlatform;
using forms::qt::StartEnvironment;

namespace {

struct ChoiceRow {
    const char* name;
    StartEnvironment environment;
    const char* platform;
};

class PlatformChoice : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(PlatformChoice, PicksThePathOnPurpose) {
    EXPECT_EQ(chooseQtPlatform(GetParam().environment), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlatformChoice,
    ::testing::Values(
        ChoiceRow{"WaylandWithXWayland",
                  {.x11Display = ":1", .waylandDisplay = "wayland-0", .sessionType = "wayland"},
                  "xcb;wayland"},
        ChoiceRow{
            "WaylandWithoutXWayland", {.waylandDisplay = "wayland-0", .sessionType = "wayland"}, "wayland"},
        ChoiceRow{"WaylandSocketOnly", {.waylandDisplay = "wayland-1"}, "wayland"},
        ChoiceRow{"BothDisplaysOutsideASession", {.x11Display = ":1", .waylandDisplay = "w"}, "xcb;wayland"},
        ChoiceRow{"WaylandSessionOnDefaultSocket", {.sessionType = "wayland"}, "wayland"},
        ChoiceRow{"X11Session", {.x11Display = ":0", .sessionType = "x11"}, "xcb"},
        ChoiceRow{
            "UserAsksForWayland", {.qtPlatform = "wayland", .x11Display = ":1", .waylandDisplay = "w"}, ""},
        ChoiceRow{"UserAsksForOffscreen", {.qtPlatform = "offscreen", .x11Display = ":1"}, ""},
        ChoiceRow{"UserNamesOneOnTheCommandLine",
                  {.x11Display = ":1", .waylandDisplay = "w", .platformArgument = true},
                  ""},
        ChoiceRow{"NoDisplayAtAll", {}, ""},
        ChoiceRow{"GoneXServerBesideWayland",
                  {.x11Display = ":9", .waylandDisplay = "w", .x11Reachable = false},
                  "wayland"},
        ChoiceRow{"GoneXServerAlone", {.x11Display = ":9", .x11Reachable = false}, ""},
        ChoiceRow{"GoneWaylandBesideX",
                  {.x11Display = ":1", .waylandDisplay = "w", .waylandReachable = false},
                  "xcb"}),
    [](const auto& info) { return std::string(info.param.name); });

// A display is missing only where no server answers and the user named no platform.
TEST_P(PlatformChoice, SaysNoDisplayOnlyWhereNothingCanBeChosen) {
    const StartEnvironment& environment = GetParam().environment;
    const bool usable = !chooseQtPlatform(environment).empty() || !environment.qtPlatform.empty() ||
                        environment.platformArgument;
    EXPECT_EQ(forms::qt::noDisplay(environment).empty(), usable);
}

TEST(PlatformChoiceArguments, NamesTheVariablesTried) {
    EXPECT_EQ(forms::qt::noDisplay({.x11Display = ":9", .x11Reachable = false}),
              "no display could be opened; tried DISPLAY=:9 and WAYLAND_DISPLAY (not set)");
}

TEST(PlatformChoiceArguments, SeesAPlatformNamedOnTheCommandLine) {
    std::array<char*, 3> plain{const_cast<char*>("kelvara-calculator"), const_cast<char*>("-reverse"),
                               nullptr};
    EXPECT_FALSE(forms::qt::startEnvironment(2, plain.data()).platformArgument);
    for (const char* option : {"-platform", "--platform"}) {
        std::array<char*, 4> named{const_cast<char*>("kelvara-calculator"), const_cast<char*>(option),
                                   const_cast<char*>("wayland"), nullptr};
        EXPECT_TRUE(forms::qt::startEnvironment(3, named.data()).platformArgument) << option;
    }
}

} // namespace
