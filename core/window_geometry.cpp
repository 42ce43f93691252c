#include "core/window_geometry.h"

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

}  // namespace

Point CentredPosition(int cx, int cy, int w, int h) {
    return {cx / 2 - w / 2, cy / 2 - h / 2};
}

Point DragStep(Point window, Point size, Point delta, Point screen) {
    return {DragAxis(window.x, size.x, delta.x, screen.x), DragAxis(window.y, size.y, delta.y, screen.y)};
}

ShowAction WindowModeAction(std::uint8_t formType, bool activated) {
    switch (formType) {
        case 0: return activated ? ShowAction::Restore : ShowAction::Minimize;
        case 1: return ShowAction::ShowAndPaint;
        case 2: return ShowAction::Hide;
        default: return ShowAction::None;
    }
}

bool UsesStateColour(std::uint8_t formType) {
    return formType == 1;
}

}  // namespace rivo
