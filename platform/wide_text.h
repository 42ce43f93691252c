// Our code page 932 text for the W functions, and their UTF-16 back as code page 932. The code
// page is fixed: an ANSI call would decode our bytes with the system's code page, which is 1252
// on a Western Windows and 65001 with the UTF-8 setting, and garble every Japanese text and path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rivo::platform {

// A byte sequence code page 932 does not define (a lead byte without its trail) becomes the
// system's replacement character; never fails.
std::wstring Wide(std::string_view text);
// Nullopt for a byte sequence code page 932 does not define.
std::optional<std::wstring> WideExact(std::string_view text);
// A character code page 932 cannot write becomes '?': for texts shown or compared, never for a
// path that is to be stored.
std::string Narrow(std::wstring_view text);
// Nullopt when a character has no code page 932 form.
std::optional<std::string> NarrowExact(std::wstring_view text);

}  // namespace rivo::platform
