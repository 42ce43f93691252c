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
            (i + 1 < text.size() && IsCp932LeadByte(static_cast<unsigned char>(text[i]))) ? 2 : 1;
        if (std::optional<std::u16string> one = codePage.ToUtf16(text.substr(i, length))) {
            AppendLe(*one, out);
        } else {
            AppendLe(u"?", out);
        }
        i += length;
    }
    return out;
}

std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
            least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + length > utf8.size())
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        if (code >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    std::string out;
    out.reserve(units.size() * 2);
    AppendLe(units, out);
    return out;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view utf16le) {
    if (utf16le.size() % 2 != 0)
        return std::nullopt;
    const std::u16string units = UnitsOf(utf16le);
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            code = 0x10000 + ((static_cast<char32_t>(units[i] - 0xD800) << 10) | (units[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(units[i]) || IsLowSurrogate(units[i])) {
            return std::nullopt;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

}  // namespace rivo
