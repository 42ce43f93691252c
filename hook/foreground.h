// Bringing a window of ours to the foreground from a keyboard hook.
#pragma once

#include <windows.h>

namespace rivo {

// Marks the keys the library injects itself, so that its own hook leaves them out of the chord.
inline constexpr ULONG_PTR kOwnInputSignature = 0x5249564Fu;  // "RIVO"
// The key injected to unlock the foreground: an unassigned virtual-key code that no program
// binds, unlike Alt, which opens menus and changes the meaning of the next key.
inline constexpr WORD kUnlockKey = 0xE8;

// The window that should take the foreground for `target`: the target itself, or, while a
// modal dialog or message box disables it, that dialog or box, whichever window owns it.
HWND CallUpTarget(HWND target) noexcept;

// The steps of core's activation order (core/activation_order.h), each true when `target` is the
// foreground window afterwards.
bool AskForeground(HWND target) noexcept;
bool AttachAndAskForeground(HWND target) noexcept;
// Whether the foreground window belongs to another thread that answers: one to attach to.
bool CanAttachToForeground() noexcept;

// Injects kUnlockKey down and up marked with kOwnInputSignature; true when both were queued.
bool SendUnlockKey() noexcept;

}  // namespace rivo
