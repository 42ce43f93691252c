// Letting the few messages the launcher needs from other programs through the filter that keeps
// a lower-integrity process from sending to an elevated one.
#pragma once

#include <windows.h>

#include <vector>

namespace rivo {

// ChangeWindowMessageFilterEx's signature; the function exists from Windows 7 on and is looked
// up at run time.
using MessageFilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);

// ChangeWindowMessageFilterEx of user32, or null where the system has none.
MessageFilterFunction SystemMessageFilter() noexcept;

// Allows, for `window`, the messages of a file dropped from Explorer (WM_DROPFILES and the two
// that carry its data, WM_COPYDATA and WM_COPYGLOBALDATA) and the taskbar's `taskbarCreated`:
// an elevated launcher would otherwise get no drops from a normal Explorer and would never put
// its icon back after Explorer restarts. Harmless when the launcher is not elevated. Returns the
// messages that the filter accepted (none without a filter function).
std::vector<UINT> AllowMessagesFromLowerIntegrity(HWND window, UINT taskbarCreated,
                                                  MessageFilterFunction filter);

}  // namespace rivo
