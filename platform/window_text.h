// The text of a window (a form's caption, a control's text) as code page 932 bytes.
#pragma once

#include <windows.h>

#include <string>

namespace rivo::platform {

// Whole, however long; empty for a window without text or no window at all.
std::string WindowText(HWND window);

}  // namespace rivo::platform
