// Conversions between the 8-bit code page and UTF-16LE file bytes that never fail: a character
// the code page cannot convert (an unpaired surrogate, a lone lead byte) becomes '?', as the
// system's own conversion substitutes its default character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"

namespace rivo {

std::string Utf16LeToCodePage(std::string_view utf16le, const CodePage& codePage);
std::string CodePageToUtf16Le(std::string_view text, const CodePage& codePage);

// Exact conversions between UTF-8 and UTF-16LE bytes: nullopt for input that is not well formed
// (an invalid or overlong sequence, a surrogate, an unpaired surrogate unit), never a '?'.
std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8);
std::optional<std::string> Utf16LeToUtf8(std::string_view utf16le);

}  // namespace rivo
