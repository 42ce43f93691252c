// One line of a private-profile file as the Windows profile reader sees it: its kind, its name,
// where its value starts, and the value as read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/code_page.h"

namespace rivo::profile {

enum class LineKind : std::uint8_t {
    Blank,    // nothing but blanks
    Comment,  // the first non-blank is ';': never readable by name
    Section,  // the first non-blank is '['
    Key,      // has '=': a name and a value
    Text,     // anything else: an entry of its section that has no value
};

// The lead bytes of a code page, asked once: the scanner needs the answer for every byte.
using LeadBytes = std::array<bool, 256>;
LeadBytes Cp932LeadBytes();

inline bool IsEntry(LineKind kind) {
    return kind == LineKind::Key || kind == LineKind::Text;
}

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct LineShape {
    LineKind kind = LineKind::Blank;
    Span name;                   // Section and Key lines: the name without the blanks around it
    std::size_t valueBegin = 0;  // Key lines: just after the '='
};

// The content of one line (its terminator excluded) in the file's encoding. Positions are byte
// offsets. A character is one byte, or a lead byte with the byte after it, or one UTF-16 unit:
// scanning for '[', ']', '=' and ';' steps over whole characters, so the trail byte of ゾ
// (0x83 0x5D) is never taken for a ']'.
class LineText {
public:
    // 8-bit text in the code page whose lead bytes are `leads`.
    LineText(std::string_view bytes, const LeadBytes& leads) : bytes_(bytes), leads_(&leads) {}
    // UTF-16LE text; an odd last byte is ignored.
    explicit LineText(std::string_view utf16le)
        : bytes_(utf16le.substr(0, utf16le.size() & ~std::size_t{1})) {}

    std::size_t size() const { return bytes_.size(); }
    std::string_view bytes() const { return bytes_; }
    // The code unit at `pos`: a byte, or a UTF-16 unit.
    unsigned At(std::size_t pos) const {
        const unsigned low = static_cast<unsigned char>(bytes_[pos]);
        return leads_ ? low : low | (static_cast<unsigned>(static_cast<unsigned char>(bytes_[pos + 1])) << 8);
    }
    // The start of the character after the one at `pos`. A lead byte as the last byte stands alone.
    std::size_t Next(std::size_t pos) const {
        if (!leads_)
            return pos + 2;
        return (pos + 1 < bytes_.size() && (*leads_)[static_cast<unsigned char>(bytes_[pos])]) ? pos + 2
                                                                                               : pos + 1;
    }
    // True when the character at `pos` is a single code unit (not a double-byte pair).
    bool IsSingle(std::size_t pos) const { return !leads_ || Next(pos) == pos + 1; }

private:
    std::string_view bytes_;
    const LeadBytes* leads_ = nullptr;  // null for UTF-16
};

LineShape Classify(const LineText& text);

// `span` without the blanks around it: space, tab and vertical tab, or spaces only.
Span Trim(const LineText& text, Span span, bool spacesOnly = false);

// A value as read: the text from `valueBegin` to the end of the line, trimmed, with one outer
// pair of matching quotes ("..." or '...') removed.
Span ValueSpan(const LineText& text, std::size_t valueBegin);

// Appends the text of `span` with the ASCII letters A-Z in lower case, so that two names are the
// same name exactly when their folded forms are equal. Double-byte characters are copied as they
// are: ア (0x83 0x41) and ヂ (0x83 0x61) stay different.
void AppendFolded(const LineText& text, Span span, std::string& out);

struct LineBreak {
    std::size_t contentEnd;  // where the line's terminator starts
    std::size_t next;        // where the next line starts
};

// The end of the line starting at `pos`: CRLF, LF or CR, or the end of the bytes.
LineBreak FindLineBreak(std::string_view bytes, std::size_t pos, bool utf16);

}  // namespace rivo::profile
