// The text of a window (a form's caption, a control's text): set from our code page 932 text and
// read back as it, through the W functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace rivo::platform {

// Whole, however long; empty for a window without text or no window at all. A character code
// page 932 cannot write (pasted into an edit) reads as '?'; WideWindowText has it as it is.
std::string WindowText(HWND window);
std::wstring WideWindowText(HWND window);
void SetText(HWND window, std::string_view text);

}  // namespace rivo::platform
