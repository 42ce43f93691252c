// Bringing a window of ours to the foreground: the steps of core's activation order
// (core/activation_order.h), carried out. Every path that needs the foreground goes through it:
// the call-up (rivo.dll), the dialog after a drop, the options dialog, the tray menu (rivo.exe).
// Both modules compile this file; it throws nothing and needs only user32.
#pragma once

#include <windows.h>

#include <atomic>

#include "core/activation_order.h"

namespace rivo::platform {

// Marks the keys the library injects itself, so that its own hook leaves them out of the chord.
inline constexpr ULONG_PTR kOwnInputSignature = 0x5249564Fu;  // "RIVO"
// The key injected to unlock the foreground: an unassigned virtual-key code that no program
// binds, unlike Alt, which opens menus and changes the meaning of the next key.
inline constexpr WORD kUnlockKey = 0xE8;

// The window that should take the foreground for `target`: the target itself, or, while a
// modal dialog or message box disables it, that dialog or box, whichever window owns it.
HWND ForegroundTargetFor(HWND target) noexcept;

// Carries out the activation order for `target` on the calling thread from step `from` on, and
// returns where it ended: Done, GiveUp, or Retry once the unlock key is on its way; the caller
// then asks again (from Retry) when the key has passed. `unlockPending` is set before the key is
// injected, so that a hook seeing it pass at once finds it set, and cleared when it could not be.
ActivationStep SeekForeground(HWND target, ActivationStep from, std::atomic<bool>& unlockPending) noexcept;

// The whole order for a window of this thread that needs the foreground now (a dialog, the
// owner of a menu about to open): the retry comes once the system has taken the unlock key, a
// few milliseconds at most. Whether `target` is the foreground window afterwards.
bool BringToForeground(HWND target) noexcept;

}  // namespace rivo::platform
