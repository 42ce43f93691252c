// Which DPI a window lays itself out for, and what it does when Windows moves it to a monitor of
// another DPI. Layouts are written in pixels at 96 DPI and scaled to that DPI.
#pragma once

#include "core/window_geometry.h"

namespace rivo {

inline constexpr int kLayoutDpi = 96;

// Pixels of a 96-DPI layout at `dpi`, rounded half away from zero (as MulDiv rounds).
int ScaleToDpi(int pixelsAt96, int dpi);

// A DPI that a window can be laid out for: what Windows reports from a sane configuration, from
// 50 % to 1000 %. Anything else (a hand-edited registry, a failed call giving 0) is not used.
bool IsUsableDpi(int dpi);

// What the system says about one window.
struct WindowDpiFacts {
    // The window is per-monitor DPI aware: Windows does not stretch it, it scales itself to the
    // DPI of its monitor. False on systems without per-monitor awareness and for processes
    // without the manifest (tests), which Windows scales from the system DPI.
    bool perMonitorAware = false;
    int windowDpi = 0;  // the window's own DPI (GetDpiForWindow), 0 where there is none
    int systemDpi = 0;  // the system DPI (LOGPIXELSY of the screen)
};

// The DPI the window lays its layout out for: its monitor's when it is per-monitor aware, else
// the system's, and 96 when neither is usable.
int LayoutDpiFor(const WindowDpiFacts& facts);

// The window's answer to WM_DPICHANGED.
struct DpiChange {
    int dpi = kLayoutDpi;   // the DPI to lay out for from now on
    bool relayout = false;  // sizes, positions of the controls and the font change
    Rect bounds;            // the window's new outer rectangle
};

// `announcedDpi` is the message's DPI, `suggested` its rectangle, `current` the window's
// rectangle now. A window that places itself (the launcher window: its position is the one
// stored in the settings file and the one its own drag arithmetic computed) keeps its top-left
// and takes only the suggested size; any other window takes the suggested rectangle as it is,
// which keeps it under the pointer while the user drags it by its caption. An unusable DPI
// changes nothing.
DpiChange DecideDpiChange(int currentDpi, int announcedDpi, Rect current, Rect suggested, bool placesItself);

}  // namespace rivo
