// The 8-bit code page the launcher talks in (932): lead bytes and conversion to and from UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rivo {

// Conversion only: which bytes lead a double-byte character is fixed (IsCp932LeadByte), so every
// scan splits text the same way whatever converts it.
class CodePage {
public:
    virtual ~CodePage() = default;
    // nullopt when the text cannot be converted.
    virtual std::optional<std::string> FromUtf16(std::u16string_view text) const = 0;
    virtual std::optional<std::u16string> ToUtf16(std::string_view text) const = 0;
};

// Lead bytes of code page 932 (Shift-JIS): 0x81-0x9F and 0xE0-0xFC. The one lead-byte test of
// every double-byte scan: never the system's code page, in which 表's trail byte 0x5C would be
// taken for a backslash.
bool IsCp932LeadByte(unsigned char byte);

}  // namespace rivo
