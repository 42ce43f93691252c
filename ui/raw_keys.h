// A window that reads raw keys: the launcher window and the registration dialog's key field.
#pragma once

#include <windows.h>

namespace rivo::ui {

// Takes the window's input context away: with one, a Japanese IME that is on would turn every
// key into VK_PROCESSKEY (and every slot of the launcher into slot 229).
void TakeRawKeys(HWND window) noexcept;

}  // namespace rivo::ui
