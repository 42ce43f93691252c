// The DPI a window is laid out for, asked of the system. The per-monitor functions exist only
// from Windows 10 1607 on, so they are looked up at run time: older Windows (and a process that
// is not per-monitor aware) get the system DPI.
#pragma once

#include <windows.h>

namespace rivo::ui {

// LayoutDpiFor (core/dpi_scale.h) of `window`, with `systemDpi` as the system's DPI.
int LayoutDpiOfWindow(HWND window, int systemDpi) noexcept;

}  // namespace rivo::ui
