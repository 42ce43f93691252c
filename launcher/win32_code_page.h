// Code page 932 through the system's own tables, so the engine splits and converts text exactly
// as the ANSI functions it must agree with.
#pragma once

#include "core/code_page.h"

namespace rivo {

class Win32CodePage final : public CodePage {
public:
    static constexpr unsigned kCodePage = 932;

    bool IsLeadByte(unsigned char byte) const override;
    // nullopt when a character has no code page 932 form (no best-fit substitutes either).
    std::optional<std::string> FromUtf16(std::u16string_view text) const override;
    // nullopt on a byte sequence that is not code page 932 (a lead byte without its trail).
    std::optional<std::u16string> ToUtf16(std::string_view text) const override;
};

}  // namespace rivo
