#include "launcher/monitor_areas.h"

#include <windows.h>

namespace rivo {

namespace {

Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    try {
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
            {ToRect(info.rcMonitor), ToRect(info.rcWork)});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> MonitorAreas() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace rivo
