// Path scanning that respects code page 932's double-byte characters: a trail byte 0x5C is never
// a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"

namespace rivo {

// The folder part of a path without its trailing backslash, except at a root such as "C:\".
// A bare file name gives the empty string.
std::string FolderOfPath(std::string_view path);
// The same for a path Windows names in UTF-16.
std::u16string FolderOfPath(std::u16string_view path);

// `directory` and `file` joined by one backslash: none added after a directory that already ends
// in one (a drive root), but one after a trail byte 0x5C ("C:\予定表").
std::string JoinPath(std::string_view directory, std::string_view file);

// The extension including its dot, or empty when the last '.', '\' or ':' is not a dot.
std::string ExtensionOfPath(std::string_view path);

// The path to register for a file the shell names in UTF-16: the path itself when the code page
// can write it, else its short (8.3) form when that can be written (`shortPath` is empty where the
// volume has none); nullopt when neither can, so that a path with '?' in place of a character
// (which could never start) is never stored.
std::optional<std::string> RegistrablePath(std::u16string_view path, std::u16string_view shortPath,
                                           const CodePage& codePage);

}  // namespace rivo
