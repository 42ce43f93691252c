// The system's open-file dialog with the toolkit's defaults: explorer style, no read-only check
// box, resizable; no filter, initial directory, title or default extension.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace rivo::ui {

// The full path of the chosen file in UTF-16 (a name the code page cannot write comes back
// whole, for the caller to decide on; no 260-character cut), or nothing when the user cancelled.
// Throws std::runtime_error when the dialog itself fails.
std::optional<std::wstring> OpenFileDialog(HWND owner);

}  // namespace rivo::ui
