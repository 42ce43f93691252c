// A private-profile ("INI") document that reads and writes the way the Windows profile functions
// do, keeping every byte it does not have to change.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/code_page.h"
#include "core/line_text.h"

namespace rivo {

class ProfileDocument {
public:
    // An empty document (a missing file).
    explicit ProfileDocument(const CodePage& codePage);
    // The bytes of a file as read. A UTF-16LE file (FF FE) is read as UTF-16 and written back so.
    static ProfileDocument Parse(std::string_view bytes, const CodePage& codePage);
    // As Parse, or nullopt for a file of more than `maxLines` lines of their own: keys, headers
    // and runs of the other lines between them. Memory grows with their number.
    static std::optional<ProfileDocument> ParseWithin(std::string_view bytes, const CodePage& codePage,
                                                      std::size_t maxLines);

    ~ProfileDocument();
    ProfileDocument(const ProfileDocument& other);
    ProfileDocument& operator=(const ProfileDocument& other);
    ProfileDocument(ProfileDocument&& other) noexcept;
    ProfileDocument& operator=(ProfileDocument&& other) noexcept;

    // The value of `key` in the first section named `section`; nullopt when the key is missing.
    // Names are given in the code page; spaces around them are ignored.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // As Read, with `fallback` (its trailing spaces removed) when the key is missing.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Sets `key` in `section`, adding the key or the section where Windows would. CR, LF and NUL
    // are left out of the names and the value.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, in the file's own encoding.
    std::string Serialize() const;

    // The file's encoding: UTF-16LE (FF FE), or UTF-8 with its mark (EF BB BF), or the code page.
    bool IsUtf16() const { return utf16_ && !utf8File_; }
    bool IsUtf8() const { return utf8File_; }

    struct Line;  // defined in the implementation

private:
    struct Section;

    std::string SerializeLines() const;  // everything but the mark
    // Reads the lines of `bytes` (after any mark) into this empty document; false past `maxLines`.
    bool ParseLines(std::string_view bytes, std::size_t maxLines);
    void AddNewLine(Line line);
    void AddLine(Line line, const profile::LineShape& shape);
    profile::LineShape ShapeLine(Line& line) const;
    void SplitRunAfterEntry(Section& section, std::size_t index) const;
    void InsertKeyLine(Section& section, Line line);
    void ReplaceValue(Line& line, std::string_view value) const;
    void TerminateLastLine();
    void Terminate(Line& line) const;
    void Reparse();
    Line MakeLine(std::string_view content) const;
    std::string Encode(std::string_view text) const;
    std::string_view Crlf() const;
    std::string ArgumentName(std::string_view name) const;
    std::string IndexKey(std::string_view name) const;
    std::string FoldedName(const Line& line, std::size_t begin, std::size_t end) const;
    std::string ValueOf(const Line& line) const;

    const CodePage* codePage_;
    std::array<bool, 256> leadBytes_;  // the code page's lead bytes, asked once
    bool utf16_ = false;               // the lines are UTF-16LE
    bool utf8File_ = false;            // ... converted from a UTF-8 file with its mark, and written back so
    std::string bom_;                  // FF FE, or the UTF-8 mark EF BB BF, kept in front of everything
    std::string tail_;                 // the odd last byte of a UTF-16 file, kept behind everything
    std::vector<Line> preamble_;       // the lines before the first section header: never read
    std::vector<Section> sections_;
    // Folded section name -> the first section of that name, the only one reads and writes use.
    std::unordered_map<std::string, std::size_t> sectionIndex_;
};

}  // namespace rivo
