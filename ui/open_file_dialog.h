// The system's open-file dialog with the toolkit's defaults: explorer style, no read-only check
// box, resizable; no filter, initial directory, title or default extension.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace rivo::ui {

// The full path of the chosen file (code page 932, no 260-character cut), or nothing when the
// user cancelled. Throws std::runtime_error when the dialog itself fails.
std::optional<std::string> OpenFileDialog(HWND owner);

}  // namespace rivo::ui
