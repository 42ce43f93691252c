#include "core/line_text.h"

#include <algorithm>

namespace rivo::profile {

namespace {

bool IsBlank(unsigned unit, bool spacesOnly) {
    return unit == ' ' || (!spacesOnly && (unit == '\t' || unit == '\v'));
}

}  // namespace

LeadBytes Cp932LeadBytes() {
    LeadBytes leads{};
    for (unsigned byte = 0; byte < leads.size(); ++byte)
        leads[byte] = IsCp932LeadByte(static_cast<unsigned char>(byte));
    return leads;
}

LineShape Classify(const LineText& text) {
    LineShape shape;
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size && IsBlank(text.At(pos), false))
        pos = text.Next(pos);
    if (pos == size)
        return shape;

    const unsigned first = text.At(pos);
    if (first == '[') {
        // The name ends at the first ']' or, when there is none, at the end of the line.
        const std::size_t begin = text.Next(pos);
        std::size_t end = begin;
        while (end < size && text.At(end) != ']')
            end = text.Next(end);
        shape.kind = LineKind::Section;
        shape.name = Trim(text, {begin, end});
        return shape;
    }
    if (first == ';') {
        shape.kind = LineKind::Comment;
        return shape;
    }
    std::size_t equals = pos;
    while (equals < size && text.At(equals) != '=')
        equals = text.Next(equals);
    if (equals == size) {
        shape.kind = LineKind::Text;
        return shape;
    }
    shape.kind = LineKind::Key;
    shape.name = Trim(text, {pos, equals});
    shape.valueBegin = text.Next(equals);
    return shape;
}

Span Trim(const LineText& text, Span span, bool spacesOnly) {
    std::size_t begin = span.begin;
    while (begin < span.end && IsBlank(text.At(begin), spacesOnly))
        begin = text.Next(begin);
    // Walk forward: only a whole character can be a blank, never the trail byte of a pair.
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < span.end;) {
        const std::size_t next = std::min(text.Next(pos), span.end);
        if (!IsBlank(text.At(pos), spacesOnly))
            end = next;
        pos = next;
    }
    return {begin, end};
}

Span ValueSpan(const LineText& text, std::size_t valueBegin) {
    const Span value = Trim(text, {std::min(valueBegin, text.size()), text.size()});
    if (value.begin == value.end)
        return value;
    const unsigned quote = text.At(value.begin);
    if (quote != '"' && quote != '\'')
        return value;
    std::size_t last = value.begin;
    for (std::size_t pos = value.begin; pos < value.end; pos = text.Next(pos))
        last = pos;
    if (last == value.begin || text.At(last) != quote || !text.IsSingle(last))
        return value;
    return {text.Next(value.begin), last};
}

void AppendFolded(const LineText& text, Span span, std::string& out) {
    const std::string_view bytes = text.bytes();
    for (std::size_t pos = span.begin; pos < span.end;) {
        const std::size_t next = std::min(text.Next(pos), span.end);
        const unsigned unit = text.At(pos);
        if (text.IsSingle(pos) && unit >= 'A' && unit <= 'Z') {
            out.push_back(static_cast<char>(unit - 'A' + 'a'));
            if (next - pos == 2)
                out.push_back('\0');  // the high byte of a UTF-16 letter
        } else {
            out.append(bytes.substr(pos, next - pos));
        }
        pos = next;
    }
}

LineBreak FindLineBreak(std::string_view bytes, std::size_t pos, bool utf16) {
    const std::size_t step = utf16 ? 2 : 1;
    const auto unitAt = [&](std::size_t i) -> unsigned {
        const unsigned low = static_cast<unsigned char>(bytes[i]);
        return utf16 ? low | (static_cast<unsigned char>(bytes[i + 1]) << 8) : low;
    };
    const std::size_t size = utf16 ? bytes.size() & ~std::size_t{1} : bytes.size();
    for (std::size_t i = pos; i < size; i += step) {
        const unsigned unit = unitAt(i);
        if (unit == '\n')
            return {i, i + step};
        if (unit == '\r') {
            if (i + step < size && unitAt(i + step) == '\n')
                return {i, i + 2 * step};
            return {i, i + step};
        }
    }
    return {size, size};
}

}  // namespace rivo::profile
