// Helpers shared by the profile engine's tests.
#pragma once

#include <string>
#include <string_view>

#include "core/posix_code_page.h"

namespace rivo::testing_support {

inline const PosixCp932CodePage& Cp932() {
    static const PosixCp932CodePage codePage;
    return codePage;
}

// The bytes of a UTF-16LE file holding `text`: the mark FF FE, then the units low byte first.
inline std::string Utf16File(std::u16string_view text, bool withMark = true) {
    std::string bytes = withMark ? std::string("\xFF\xFE") : std::string();
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// Makes control characters and bytes above 0x7E visible in failure messages.
inline std::string Visible(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\r') {
            out += "\\r";
        } else if (b == '\n') {
            out += "\\n";
        } else if (b >= 0x20 && b < 0x7F && b != '\\') {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
    }
    return out;
}

}  // namespace rivo::testing_support
