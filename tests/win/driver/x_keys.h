// Keys pressed on the X server that Wine runs on, as a person at the keyboard presses them: they
// reach Wine's desktop window as X events, and Wine turns them into the keys of the foreground
// window, past every low-level hook, as on Windows. Under Windows there is no X server.
#pragma once

#include <string>

namespace rivo::test {

// Whether xdotool can be run from here (under Wine, with a display).
bool XKeysAvailable();
// Runs "xdotool <arguments>" (e.g. "key Escape", "keydown Shift_L keyup Shift_L") and waits for it
// to end; whether it ran and succeeded. The keys are in the X server's queue then, not yet
// handled by Wine: wait for what they do.
bool PressXKeys(const std::string& arguments);

}  // namespace rivo::test
