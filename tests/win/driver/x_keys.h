// Keys pressed on the X server that Wine runs on, as a person at the keyboard presses them: they
// reach one of Wine's windows as X events, and Wine turns them into Windows keys, past every
// low-level hook, as on Windows. Under Windows there is no X server.
#pragma once

#include <windows.h>

#include <string>

namespace rivo::test {

// Whether xdotool can be run from here (under Wine, with a display).
bool XKeysAvailable();
// Runs "xdotool <arguments>" (e.g. "key Escape", "keydown Shift_L keyup Shift_L") and waits for it
// to end; whether it ran and succeeded. The keys are in the X server's queue then, not yet
// handled by Wine: wait for what they do.
// With `through`, that window's X window takes the X focus first, as a window manager gives it to
// the window in front. Wine hands an X key to the thread of the window it came through, past
// every low-level hook; with no window manager it moves the X focus only for windows without a
// frame, so a message box or dialog in front would never get its keys.
bool PressXKeys(const std::string& arguments, HWND through = nullptr);

}  // namespace rivo::test
