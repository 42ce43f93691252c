// The fonts of the forms: a face asked for by name, with fallbacks for systems where it is not
// installed, so that Japanese text never ends up in a face without Japanese glyphs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "ui/color.h"

namespace rivo::ui {

// "ＭＳ Ｐゴシック" in code page 932.
std::string StandardFontFace();
// The same family under its English name, the Japanese user-interface face, then the free
// proportional Gothic that stands in for both where neither is installed (Wine).
std::vector<std::string> StandardFontFallbacks();

struct FontSpec {
    std::string face = StandardFontFace();  // code page 932
    int height = 12;                        // character height in pixels at 96 DPI
    BYTE charset = SHIFTJIS_CHARSET;
    Color color = Color::System(COLOR_WINDOWTEXT);
    // Tried in order when `face` is not installed with `charset`; after them the face of
    // DEFAULT_GUI_FONT is used.
    std::vector<std::string> fallbacks = StandardFontFallbacks();
};

// True when a font family named `face` is installed with `charset`.
bool FontFamilyExists(const std::string& face, BYTE charset);

struct ResolvedFont {
    platform::UniqueFont font;
    std::string face;  // the face actually asked of GDI
    BYTE charset = DEFAULT_CHARSET;
};

// Creates the font of `wanted` at `dpi` (height scaled from 96 DPI), falling back as described.
ResolvedFont CreateSpecFont(const FontSpec& wanted, int dpi);

}  // namespace rivo::ui
