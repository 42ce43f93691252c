// Path scanning that respects double-byte characters: a trail byte 0x5C is never a backslash.
#pragma once

#include <string>
#include <string_view>

#include "core/code_page.h"

namespace rivo {

using LeadByteTest = bool (*)(unsigned char);

// The folder part of a path without its trailing backslash, except at a root such as "C:\".
// A bare file name gives the empty string.
std::string FolderOfPath(std::string_view path, LeadByteTest isLeadByte = IsCp932LeadByte);

// The extension including its dot, or empty when the last '.', '\' or ':' is not a dot.
std::string ExtensionOfPath(std::string_view path, LeadByteTest isLeadByte = IsCp932LeadByte);

}  // namespace rivo
