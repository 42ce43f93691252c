// Arbitrary bytes as a settings file: parsing never crashes, keeps every byte, and writes derived
// from the input read back as written whenever their names can be read at all.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/posix_code_page.h"
#include "core/profile_document.h"

namespace {

using rivo::ProfileDocument;

const rivo::PosixCp932CodePage& CodePage() {
    static const rivo::PosixCp932CodePage codePage;
    return codePage;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "profile fuzzer: %s\n", what);
    std::abort();
}

// The characters of 8-bit text: a lead byte and the byte after it are one character.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            (i + 1 < text.size() && rivo::IsCp932LeadByte(static_cast<unsigned char>(text[i]))) ? 2 : 1;
        chars.push_back(text.substr(i, length));
        i += length;
    }
    return chars;
}

bool IsLoneLead(const std::string& c) {
    return c.size() == 1 && rivo::IsCp932LeadByte(static_cast<unsigned char>(c[0]));
}
bool IsBlank(const std::string& c) {
    return c == " " || c == "\t" || c == "\v";
}

std::string Join(const std::vector<std::string>& chars, std::size_t begin, std::size_t end) {
    std::string out;
    for (std::size_t i = begin; i < end; ++i)
        out += chars[i];
    return out;
}

// What Write does to every name and value before anything else.
std::string Cleaned(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r' && c != '\n' && c != '\0')
            out.push_back(c);
    }
    return out;
}

std::string ArgumentName(const std::string& raw) {
    const std::vector<std::string> chars = Characters(Cleaned(raw));
    std::size_t begin = 0, end = chars.size();
    while (begin < end && chars[begin] == " ")
        ++begin;
    while (end > begin && chars[end - 1] == " ")
        --end;
    return Join(chars, begin, end);
}

std::string Folded(const std::string& name) {
    std::string out;
    for (const std::string& c : Characters(name)) {
        if (c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z') {
            out.push_back(static_cast<char>(c[0] - 'A' + 'a'));
        } else {
            out += c;
        }
    }
    return out;
}

bool RoundTrips(const std::string& text) {
    const std::optional<std::u16string> wide = CodePage().ToUtf16(text);
    return wide && CodePage().FromUtf16(*wide) == text;
}

// A name that a reader finds again under the same argument: nothing the line scanner would take
// for structure, no blanks at its ends that the file side trims but the argument side keeps.
bool ReadableName(const std::string& name, bool isKey, bool unicode) {
    const std::vector<std::string> chars = Characters(name);
    if (!chars.empty()) {
        if (IsBlank(chars.front()) || IsBlank(chars.back()) || IsLoneLead(chars.back()))
            return false;
        if (isKey && (chars.front() == ";" || chars.front() == "["))
            return false;
    }
    for (const std::string& c : chars) {
        if (c == (isKey ? "=" : "]"))
            return false;
    }
    return !unicode || RoundTrips(name);
}

// A key line that a reader takes for a section header ("[x=1"): it can start a section that hides
// a later one of the same name, so nothing written anywhere is sure to read back any more.
bool MakesHeader(const std::string& key) {
    for (const std::string& c : Characters(key)) {
        if (!IsBlank(c))
            return c == "[";
    }
    return false;
}

// The value a reader gets back for a written value: blanks trimmed, or the whole value where it has
// quotes of its own.
std::string ReadBack(const std::string& value) {
    const std::vector<std::string> chars = Characters(value);
    std::size_t begin = 0, end = chars.size();
    while (begin < end && IsBlank(chars[begin]))
        ++begin;
    while (end > begin && IsBlank(chars[end - 1]))
        --end;
    // A pair of quotes the reader would take off: the writer puts the value inside one more, and
    // the value reads back whole, blanks and quotes included.
    if (end - begin >= 2 && (chars[begin] == "\"" || chars[begin] == "'") && chars[end - 1] == chars[begin])
        return value;
    return Join(chars, begin, end);
}

const char* const kNames[] = {"Rivo",     "rivo",     "Key1",     "KEY1",     "0",    "65",  "",   " ",
                              "s",        "S",        ";c",       "[x",       "a=b",  "a]b", "\t", "\x95\x5C",
                              "\x83\x5C", "\x83\x5D", "\x83\x41", "\x83\x61", "\x83", "\xFF"};

std::string PickName(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        return input.ConsumeRandomLengthString(12);
    return kNames[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileDocument doc = ProfileDocument::Parse(bytes, CodePage());
    if (doc.Serialize() != bytes)
        Fail("Parse(x).Serialize() != x");
    for (const char* section : kNames) {
        for (const char* key : {"Key1", "0", "", "\x83\x5C", "[x"}) {
            const std::optional<std::string> value = doc.Read(section, key);
            if (doc.ReadString(section, key, "fallback") != value.value_or("fallback"))
                Fail("ReadString != Read");
        }
    }

    FuzzedDataProvider input(data, size);
    const bool utf16 = doc.IsUtf16();
    // UTF-16 files and UTF-8 files with a mark hold Unicode: text that code page 932 cannot carry
    // there and back cannot be written into them faithfully.
    const bool unicode = utf16 || doc.IsUtf8();
    const bool utf8 = doc.IsUtf8();
    std::map<std::pair<std::string, std::string>, std::string> expected;
    std::vector<std::pair<std::string, std::string>> written;
    bool headerWritten = false;
    const int writes = input.ConsumeIntegralInRange(1, 6);
    for (int i = 0; i < writes; ++i) {
        const std::string section = PickName(input);
        const std::string key = PickName(input);
        const std::string value = input.ConsumeRandomLengthString(40);

        // The document in memory must behave exactly as its bytes do.
        ProfileDocument reread = ProfileDocument::Parse(doc.Serialize(), CodePage());
        // An entry written with the value it reads keeps its line, whatever that holds.
        const std::optional<std::string> before = doc.Read(section, key);
        doc.Write(section, key, value);
        reread.Write(section, key, value);
        if (doc.Serialize() != reread.Serialize())
            Fail("a write differs from the same write on the re-read file");
        written.emplace_back(section, key);

        const std::string s = ArgumentName(section), k = ArgumentName(key), v = Cleaned(value);
        headerWritten = headerWritten || MakesHeader(k);
        const auto id = std::make_pair(Folded(s), Folded(k));
        if (before && *before == value) {
            expected[id] = *before;
        } else if (ReadableName(s, false, unicode) && ReadableName(k, true, unicode) &&
                   (!unicode || RoundTrips(v))) {
            expected[id] = ReadBack(v);
        } else {
            expected.erase(id);  // a write that may not land where a reader looks
        }
    }

    const std::string out = doc.Serialize();
    const ProfileDocument reread = ProfileDocument::Parse(out, CodePage());
    if (reread.Serialize() != out)
        Fail("the written file does not serialise to itself");
    if (reread.IsUtf16() != utf16 || reread.IsUtf8() != utf8)
        Fail("the file changed its encoding");
    for (const auto& [section, key] : written) {
        if (doc.Read(section, key) != reread.Read(section, key))
            Fail("memory and file read differently");
        const auto id = std::make_pair(Folded(ArgumentName(section)), Folded(ArgumentName(key)));
        const auto found = expected.find(id);
        if (headerWritten || found == expected.end())
            continue;
        const std::optional<std::string> value = reread.Read(section, key);
        if (!value || *value != found->second)
            Fail("a written value does not read back");
    }
    return 0;
}
