// Window placement arithmetic: centring dialogs, sticking the dragged launcher to screen edges.
#pragma once

#include <cstdint>

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

// What the launcher window does when it is activated or deactivated in a window mode.
enum class ShowAction { None, Restore, Minimize, ShowAndPaint, Hide };

ShowAction WindowModeAction(std::uint8_t formType, bool activated);

// Whether the window is painted red (foreground) or black (not) instead of its own background.
bool UsesStateColour(std::uint8_t formType);

}  // namespace rivo
