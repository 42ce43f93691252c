#include "core/window_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace rivo {

namespace {

constexpr int kStickDistance = 8;

// One axis of a drag step: sticks to `0` or to `far - length` when the wanted edge is closer
// than kStickDistance to either; both tests look at the wanted edge.
int DragAxis(int position, int length, int delta, int far) {
    if (delta == 0) {
        return position;
    }
    const int wanted = position + delta;
    int result = position;
    if (std::abs(wanted) < kStickDistance) {
        result = 0;
        delta = 0;
    }
    if (std::abs(far - (wanted + length)) < kStickDistance) {
        result = far - length;
        delta = 0;
    }
    return result + delta;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Squared distance between two rectangles; 0 when they touch or overlap.
long long GapSquared(const Rect& a, const Rect& b) {
    const long long dx = std::max({0, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

// `position` moved just enough for `length` to lie within [low, high); the low edge wins when it
// does not fit.
int Into(int position, int length, int low, int high) {
    return std::max(low, std::min(position, high - length));
}

}  // namespace

Point CentredPosition(int cx, int cy, int w, int h) {
    return {cx / 2 - w / 2, cy / 2 - h / 2};
}

Point DragStep(Point window, Point size, Point delta, Point screen) {
    return {DragAxis(window.x, size.x, delta.x, screen.x), DragAxis(window.y, size.y, delta.y, screen.y)};
}

Point PlaceOnMonitors(Rect window, const std::vector<MonitorArea>& monitors) {
    const Point current{window.left, window.top};
    if (monitors.empty()) {
        return current;
    }
    const MonitorArea* nearest = &monitors.front();
    for (const MonitorArea& m : monitors) {
        if (Overlap(window, m.monitor)) {
            return current;
        }
        if (GapSquared(window, m.monitor) < GapSquared(window, nearest->monitor)) {
            nearest = &m;
        }
    }
    const Rect& work = nearest->work;
    return {Into(window.left, window.right - window.left, work.left, work.right),
            Into(window.top, window.bottom - window.top, work.top, work.bottom)};
}

Point MinimisedPosition(const std::vector<MonitorArea>& monitors, Point size) {
    // Far enough that no frame or shadow reaches a monitor, near enough to stay in the 16-bit
    // range of the coordinates some messages carry.
    constexpr int kGap = 100;
    if (monitors.empty())
        return {-32000, -32000};
    int left = monitors.front().monitor.left;
    int top = monitors.front().monitor.top;
    for (const MonitorArea& m : monitors) {
        left = std::min(left, m.monitor.left);
        top = std::min(top, m.monitor.top);
    }
    return {left - size.x - kGap, top};
}

ShowAction WindowModeAction(std::uint8_t formType, bool activated) {
    switch (formType) {
        case 0:
            return activated ? ShowAction::Restore : ShowAction::Minimize;
        case 1:
            return ShowAction::ShowAndPaint;
        case 2:
            return ShowAction::Hide;
        default:
            return ShowAction::None;
    }
}

bool UsesStateColour(std::uint8_t formType) {
    return formType == 1;
}

}  // namespace rivo
