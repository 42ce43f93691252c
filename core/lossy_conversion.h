// Conversions between the 8-bit code page and UTF-16LE file bytes that never fail: a character
// the code page cannot convert (an unpaired surrogate, a lone lead byte) becomes '?', as the
// system's own conversion substitutes its default character.
#pragma once

#include <string>
#include <string_view>

#include "core/code_page.h"

namespace rivo {

std::string Utf16LeToCodePage(std::string_view utf16le, const CodePage& codePage);
std::string CodePageToUtf16Le(std::string_view text, const CodePage& codePage);

}  // namespace rivo
