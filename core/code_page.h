// The 8-bit code page the launcher talks in (932): lead bytes and conversion to and from UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rivo {

class CodePage {
public:
    virtual ~CodePage() = default;
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // nullopt when the text cannot be converted.
    virtual std::optional<std::string> FromUtf16(std::u16string_view text) const = 0;
    virtual std::optional<std::u16string> ToUtf16(std::string_view text) const = 0;
};

// Lead bytes of code page 932 (Shift-JIS): 0x81-0x9F and 0xE0-0xFC.
bool IsCp932LeadByte(unsigned char byte);

}  // namespace rivo
