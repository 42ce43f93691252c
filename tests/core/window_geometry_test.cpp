#include "core/window_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rivo {
namespace {

TEST(CentredPosition, HalvingsTruncateTowardZero) {
    EXPECT_EQ(CentredPosition(1280, 1000, 239, 231), (Point{640 - 119, 500 - 115}));
    EXPECT_EQ(CentredPosition(101, 51, 10, 11), (Point{50 - 5, 25 - 5}));
    // A window larger than the screen: -1/2 truncates to 0, not -1.
    EXPECT_EQ(CentredPosition(100, 100, 201, 203), (Point{50 - 100, 50 - 101}));
}

struct Drag {
    const char* what;
    Point window, delta, expected;
};

class DragSticking : public ::testing::TestWithParam<Drag> {};

// Screen edges at 1280 x 1000, window 104 x 53.
TEST_P(DragSticking, SticksWithin7PixelsOfTheWantedEdge) {
    const Drag& d = GetParam();
    EXPECT_EQ(DragStep(d.window, {104, 53}, d.delta, {1280, 1000}), d.expected) << d.what;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DragSticking,
    ::testing::Values(Drag{"left, 7 inside", {100, 300}, {-93, 0}, {0, 300}},
                      Drag{"left, 8 inside", {100, 300}, {-92, 0}, {8, 300}},
                      Drag{"left, 7 outside", {100, 300}, {-107, 0}, {0, 300}},
                      Drag{"left, 8 outside", {100, 300}, {-108, 0}, {-8, 300}},
                      Drag{"top, 7", {300, 100}, {0, -93}, {300, 0}},
                      Drag{"top, 8", {300, 100}, {0, -92}, {300, 8}},
                      Drag{"top, 7 outside", {300, 100}, {0, -107}, {300, 0}},
                      Drag{"right, 7 inside", {1000, 300}, {169, 0}, {1176, 300}},
                      Drag{"right, 8 inside", {1000, 300}, {168, 0}, {1168, 300}},
                      Drag{"right, 7 outside", {1000, 300}, {183, 0}, {1176, 300}},
                      Drag{"right, 8 outside", {1000, 300}, {184, 0}, {1184, 300}},
                      Drag{"bottom, 7", {300, 800}, {0, 140}, {300, 947}},
                      Drag{"bottom, 8", {300, 800}, {0, 139}, {300, 939}},
                      Drag{"bottom, 8 outside", {300, 800}, {0, 155}, {300, 955}},
                      Drag{"both axes at once", {100, 100}, {-95, -96}, {0, 0}},
                      Drag{"free move", {500, 500}, {10, -20}, {510, 480}},
                      Drag{"no move on an axis keeps it even near an edge", {3, 500}, {0, 5}, {3, 505}}));

TEST(DragSticking, BothEdgesAreTestedFromTheWantedPosition) {
    // A screen barely wider than the window: the wanted edge is near both sides, the right wins.
    EXPECT_EQ(DragStep({5, 0}, {104, 53}, {-2, 0}, {110, 1000}), (Point{6, 0}));
}

struct Placement {
    const char* what;
    Point saved;
    Point expected;
};

class SavedPosition : public ::testing::TestWithParam<Placement> {};

// Two monitors side by side: 1280 x 1024 with a 40-pixel taskbar at the bottom, and at its right
// 1024 x 768 with the taskbar at its top. The window is 104 x 53.
TEST_P(SavedPosition, StaysWhileOnAMonitorElseComesOntoTheNearestWorkArea) {
    const Placement& p = GetParam();
    const std::vector<MonitorArea> monitors = {
        {{0, 0, 1280, 1024}, {0, 0, 1280, 984}},
        {{1280, 0, 2304, 768}, {1280, 30, 2304, 768}},
    };
    const Rect window{p.saved.x, p.saved.y, p.saved.x + 104, p.saved.y + 53};
    EXPECT_EQ(PlaceOnMonitors(window, monitors), p.expected) << p.what;
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, SavedPosition,
    ::testing::Values(Placement{"inside the first", {100, 200}, {100, 200}},
                      Placement{"partly above the first, kept", {10, -5}, {10, -5}},
                      Placement{"partly left of the first, kept", {-100, 300}, {-100, 300}},
                      Placement{"on the taskbar of the first, kept", {600, 1000}, {600, 1000}},
                      Placement{"across both, kept", {1250, 100}, {1250, 100}},
                      Placement{"below the second", {2000, 900}, {2000, 715}},
                      Placement{"far left", {-3000, 500}, {0, 500}},
                      Placement{"far above the second", {1500, -2000}, {1500, 30}},
                      Placement{"far right and below", {9000, 9000}, {2200, 715}},
                      Placement{"right of a removed third monitor", {2400, 100}, {2200, 100}}),
    [](const auto& paramInfo) { return "Case" + std::to_string(paramInfo.index); });

TEST(SavedPosition, WithoutMonitorsNothingMoves) {
    EXPECT_EQ(PlaceOnMonitors({-5000, -5000, -4896, -4947}, {}), (Point{-5000, -5000}));
}

// The minimised window, 160 x 28, overlaps no monitor, whatever the layout.
TEST(MinimisedPosition, OffEveryMonitor) {
    const Point size{160, 28};
    const struct {
        const char* what;
        std::vector<MonitorArea> monitors;
    } layouts[] = {
        {"one", {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}}}},
        {"a second at the right",
         {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}}, {{1280, 0, 2304, 768}, {1280, 0, 2304, 768}}}},
        {"a second at the left",
         {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}}, {{-1920, 0, 0, 1080}, {-1920, 0, 0, 1040}}}},
        {"a second above and left",
         {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}}, {{-800, -600, 0, 0}, {-800, -600, 0, 0}}}},
        {"a tall one at the left reaching below",
         {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}}, {{-1080, -500, 0, 1420}, {-1080, -500, 0, 1420}}}},
    };
    for (const auto& layout : layouts) {
        const Point at = MinimisedPosition(layout.monitors, size);
        const Rect minimised{at.x, at.y, at.x + size.x, at.y + size.y};
        for (const MonitorArea& m : layout.monitors) {
            const bool overlaps = minimised.left < m.monitor.right && m.monitor.left < minimised.right &&
                                  minimised.top < m.monitor.bottom && m.monitor.top < minimised.bottom;
            EXPECT_FALSE(overlaps) << layout.what;
        }
        EXPECT_GT(at.x, -32768) << layout.what << ": beyond the 16-bit range";
    }
    EXPECT_EQ(MinimisedPosition({}, size), (Point{-32000, -32000}));
}

TEST(WindowMode, ActionsPerModeAndActivation) {
    EXPECT_EQ(WindowModeAction(0, true), ShowAction::Restore);
    EXPECT_EQ(WindowModeAction(0, false), ShowAction::Minimize);
    EXPECT_EQ(WindowModeAction(1, true), ShowAction::ShowAndPaint);
    EXPECT_EQ(WindowModeAction(1, false), ShowAction::ShowAndPaint);
    EXPECT_EQ(WindowModeAction(2, true), ShowAction::Hide);
    EXPECT_EQ(WindowModeAction(2, false), ShowAction::Hide);
    for (int mode = 3; mode < 256; ++mode) {
        EXPECT_EQ(WindowModeAction(static_cast<std::uint8_t>(mode), true), ShowAction::None);
        EXPECT_EQ(WindowModeAction(static_cast<std::uint8_t>(mode), false), ShowAction::None);
    }
    EXPECT_TRUE(UsesStateColour(1));
    EXPECT_FALSE(UsesStateColour(0));
    EXPECT_FALSE(UsesStateColour(7));
}

}  // namespace
}  // namespace rivo
