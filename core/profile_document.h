// A private-profile ("INI") document that reads and writes the way the Windows profile functions
// do, keeping every byte it does not have to change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page.h"

namespace rivo {

class ProfileDocument {
public:
    // An empty document (a missing file).
    explicit ProfileDocument(const CodePage& codePage);
    // The bytes of a file as read. A UTF-16LE file (FF FE) is read as UTF-16 and written back so.
    static ProfileDocument Parse(std::string_view bytes, const CodePage& codePage);

    // The value of `key` in the first section named `section`; nullopt when the key is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Sets `key` in `section`, adding the key or the section where Windows would.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, in the file's own encoding.
    std::string Serialize() const;

    bool IsUtf16() const { return utf16_; }

    struct Line;  // defined in the implementation

private:
    const CodePage* codePage_;
    bool utf16_ = false;
    std::vector<Line*> placeholder_;  // replaced by the implementation
};

}  // namespace rivo
