#include "core/dpi_scale.h"

#include <cstdint>

namespace rivo {

int ScaleToDpi(int pixelsAt96, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(pixelsAt96) * dpi;
    const std::int64_t half = kLayoutDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kLayoutDpi : (product - half) / kLayoutDpi);
}

bool IsUsableDpi(int dpi) {
    return dpi >= 48 && dpi <= 960;
}

int LayoutDpiFor(const WindowDpiFacts& facts) {
    if (facts.perMonitorAware && IsUsableDpi(facts.windowDpi))
        return facts.windowDpi;
    if (IsUsableDpi(facts.systemDpi))
        return facts.systemDpi;
    return kLayoutDpi;
}

DpiChange DecideDpiChange(int currentDpi, int announcedDpi, Rect current, Rect suggested, bool placesItself) {
    DpiChange change;
    change.dpi = currentDpi;
    change.bounds = current;
    if (!IsUsableDpi(announcedDpi))
        return change;
    change.dpi = announcedDpi;
    change.relayout = announcedDpi != currentDpi;
    change.bounds = suggested;
    if (placesItself) {
        change.bounds = {current.left, current.top, current.left + (suggested.right - suggested.left),
                         current.top + (suggested.bottom - suggested.top)};
    }
    return change;
}

}  // namespace rivo
