// Window placement arithmetic: centring dialogs, sticking the dragged launcher to screen edges.
#pragma once

#include <cstdint>
#include <vector>

namespace rivo {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Top-left of a window of outer size w x h centred on a full-screen client area cx x cy; each
// halving truncates toward zero.
Point CentredPosition(int cx, int cy, int w, int h);

// One drag step of the launcher window. `window` is its current top-left, `size` its outer size,
// `delta` how far the pointer moved from where the button was pressed, `screen` the right and
// bottom edges to stick to. Returns the new top-left.
Point DragStep(Point window, Point size, Point delta, Point screen);

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

// One display: its whole area and its work area (without the taskbar), in screen coordinates.
struct MonitorArea {
    Rect monitor;
    Rect work;
};

// The top-left for a window at `window` (outer bounds) with these monitors: where it is while it
// overlaps any monitor at all, even partly off the screen; on no monitor (one that was removed,
// or a resolution that shrank since the position was saved), moved into the work area of the
// nearest monitor. No monitors: where it is.
Point PlaceOnMonitors(Rect window, const std::vector<MonitorArea>& monitors);

// Where the minimised launcher window goes: off every monitor. Windows parks a minimised window
// that has no taskbar button as a small title bar at the bottom-left of the primary work area,
// and the launcher's is topmost: it would stay above every other program. The top-left returned
// puts a minimised window of `size` left of the leftmost monitor, at the height of the topmost,
// with a gap; without monitors, where Windows hides minimised windows itself (-32000).
Point MinimisedPosition(const std::vector<MonitorArea>& monitors, Point size);

// What the launcher window does when it is activated or deactivated in a window mode.
enum class ShowAction { None, Restore, Minimize, ShowAndPaint, Hide };

ShowAction WindowModeAction(std::uint8_t formType, bool activated);

// Whether the window is painted red (foreground) or black (not) instead of its own background.
bool UsesStateColour(std::uint8_t formType);

}  // namespace rivo
