#include "core/dpi_scale.h"

#include <gtest/gtest.h>

namespace rivo {
namespace {

TEST(ScaleToDpi, RoundsHalvesAwayFromZeroLikeMulDiv) {
    struct Case {
        int pixels, dpi, expected;
    };
    const Case cases[] = {
        {104, 96, 104},  {104, 144, 156}, {53, 144, 80},  // 79.5: the launcher window's height
        {205, 144, 308}, {233, 120, 291},                 // 291.25
        {389, 192, 778}, {12, 144, 18},   {15, 168, 26},  // 26.25
        {-7, 144, -11},                                   // -10.5, away from zero
        {0, 144, 0},     {1, 48, 1},      {1, 47, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
    }
}

TEST(LayoutDpiFor, PerMonitorWindowsFollowTheirMonitorOthersTheSystem) {
    struct Case {
        const char* what;
        WindowDpiFacts facts;
        int expected;
    };
    const Case cases[] = {
        {"per monitor, on a 100 % monitor of a 150 % system", {true, 96, 144}, 96},
        {"per monitor, on a 150 % monitor of a 100 % system", {true, 144, 96}, 144},
        {"not per monitor: Windows scales it from the system DPI", {false, 96, 144}, 144},
        {"no GetDpiForWindow (older Windows)", {true, 0, 120}, 120},
        {"a window DPI that cannot be", {true, 5000, 144}, 144},
        {"nothing usable", {true, 0, 0}, 96},
        {"a system DPI that cannot be", {false, 144, -1}, 96},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LayoutDpiFor(c.facts), c.expected) << c.what;
    }
}

TEST(DecideDpiChange, TakesTheSuggestedRectangleAndRelaysOutOnANewDpi) {
    const Rect current{100, 200, 100 + 239, 200 + 231};
    const Rect suggested{90, 190, 90 + 358, 190 + 346};

    const DpiChange moved = DecideDpiChange(96, 144, current, suggested, false);
    EXPECT_EQ(moved.dpi, 144);
    EXPECT_TRUE(moved.relayout);
    EXPECT_EQ(moved.bounds, suggested) << "a dialog dragged by its caption stays under the pointer";

    const DpiChange back = DecideDpiChange(144, 96, suggested, current, false);
    EXPECT_EQ(back.dpi, 96);
    EXPECT_TRUE(back.relayout);
    EXPECT_EQ(back.bounds, current);

    const DpiChange same = DecideDpiChange(144, 144, current, suggested, false);
    EXPECT_FALSE(same.relayout);
    EXPECT_EQ(same.bounds, suggested);
}

TEST(DecideDpiChange, TheLauncherWindowKeepsItsPositionAndTakesTheSize) {
    // Its top-left is the position of the settings file (or of its own drag step, in physical
    // pixels); only its size follows the monitor.
    const Rect current{1270, 500, 1270 + 104, 500 + 53};
    const Rect suggested{1250, 480, 1250 + 156, 480 + 80};
    const DpiChange change = DecideDpiChange(96, 144, current, suggested, true);
    EXPECT_EQ(change.dpi, 144);
    EXPECT_TRUE(change.relayout);
    EXPECT_EQ(change.bounds, (Rect{1270, 500, 1270 + 156, 500 + 80}));
}

TEST(DecideDpiChange, AnUnusableDpiChangesNothing) {
    const Rect current{0, 0, 104, 53};
    for (int announced : {0, -96, 20000}) {
        const DpiChange change = DecideDpiChange(120, announced, current, {5, 5, 500, 500}, false);
        EXPECT_EQ(change.dpi, 120) << announced;
        EXPECT_FALSE(change.relayout) << announced;
        EXPECT_EQ(change.bounds, current) << announced;
    }
}

}  // namespace
}  // namespace rivo
