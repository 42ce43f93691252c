// What a window's layout shows, read as the layout tests compare it with their tables: a control's
// rectangle in its parent, its font, the width and face its text takes in a font.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace rivo::test {

// The control's rectangle in its parent's client coordinates.
RECT BoundsInParent(HWND control);
// The font a window draws its text in (WM_GETFONT).
HFONT FontOf(HWND window);
// The height a font was asked for (negative: character height in pixels).
LONG FontHeight(HFONT font);
// The face GDI gives for `font`, and its text metrics, on the screen.
std::string FaceSelected(HFONT font);
TEXTMETRICW MetricsOf(HFONT font);
// The width and height `text` (code page 932) takes in `font` on one line, or the window's own
// text when none is given.
SIZE TextExtent(HFONT font, std::string_view text);
SIZE TextExtentOfWindow(HWND window, HFONT font);

}  // namespace rivo::test
