#include "core/lossy_conversion.h"

#include <optional>

namespace rivo {

namespace {

std::u16string UnitsOf(std::string_view utf16le) {
    std::u16string units(utf16le.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                         (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
    }
    return units;
}

void AppendLe(std::u16string_view units, std::string& out) {
    for (char16_t unit : units) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
}

// ASCII is the same in both and needs no converter: most of a settings file is ASCII.
bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsAscii(std::u16string_view units) {
    for (char16_t unit : units) {
        if (unit >= 0x80)
            return false;
    }
    return true;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf16LeToCodePage(std::string_view utf16le, const CodePage& codePage) {
    const std::u16string units = UnitsOf(utf16le);
    if (IsAscii(units))
        return std::string(units.begin(), units.end());
    if (std::optional<std::string> whole = codePage.FromUtf16(units))
        return *std::move(whole);
    std::string out;
    const std::u16string_view view(units);
    for (std::size_t i = 0; i < view.size();) {
        const std::size_t length =
            (IsHighSurrogate(view[i]) && i + 1 < view.size() && IsLowSurrogate(view[i + 1])) ? 2 : 1;
        if (std::optional<std::string> one = codePage.FromUtf16(view.substr(i, length))) {
            out += *one;
        } else {
            out.push_back('?');
        }
        i += length;
    }
    return out;
}

std::string CodePageToUtf16Le(std::string_view text, const CodePage& codePage) {
    std::string out;
    out.reserve(text.size() * 2);
    if (IsAscii(text)) {
        for (char c : text) {
            out.push_back(c);
            out.push_back('\0');
        }
        return out;
    }
    if (std::optional<std::u16string> whole = codePage.ToUtf16(text)) {
        AppendLe(*whole, out);
        return out;
    }
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            (i + 1 < text.size() && codePage.IsLeadByte(static_cast<unsigned char>(text[i]))) ? 2 : 1;
        if (std::optional<std::u16string> one = codePage.ToUtf16(text.substr(i, length))) {
            AppendLe(*one, out);
        } else {
            AppendLe(u"?", out);
        }
        i += length;
    }
    return out;
}

}  // namespace rivo
