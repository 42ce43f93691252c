// Code page 932 through the system's own tables (platform/wide_text.h), for the settings engine:
// it converts exactly as the profile functions it must agree with do on a Japanese system.
#pragma once

#include <optional>
#include <string>

#include "core/code_page.h"

namespace rivo::platform {

class Win32CodePage final : public CodePage {
public:
    // nullopt when a character has no code page 932 form (no best-fit substitutes either).
    std::optional<std::string> FromUtf16(std::u16string_view text) const override;
    // nullopt on a byte sequence that is not code page 932 (a lead byte without its trail).
    std::optional<std::u16string> ToUtf16(std::string_view text) const override;
};

// The path to register for a file the shell or the open-file dialog named in UTF-16: the path
// itself, or its short (8.3) form when code page 932 cannot write the name; nullopt when neither
// can be written.
std::optional<std::string> RegistrableFilePath(const std::wstring& path);

}  // namespace rivo::platform
