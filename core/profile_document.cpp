#include "core/profile_document.h"

#include <utility>

#include "core/line_text.h"
#include "core/lossy_conversion.h"

namespace rivo {

using profile::LineKind;
using profile::LineShape;
using profile::LineText;
using profile::Span;

namespace {

constexpr std::string_view kUtf16Bom{"\xFF\xFE", 2};
constexpr std::string_view kUtf8Bom{"\xEF\xBB\xBF", 3};
constexpr std::string_view kCrLf8{"\r\n", 2};
constexpr std::string_view kCrLf16{"\r\0\n\0", 4};

// CR, LF or NUL in a written name or value would start new lines, and so new entries, on the
// next read (or cut the text where the system functions see a terminator): they are left out.
std::string WithoutLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n' && c != '\0')
            out.push_back(c);
    }
    return out;
}

// What follows the '=' of a written line, in the code page. A value the reader would take one
// pair of quotes off ("C:\x.exe" "two words") is written inside one more pair, so that Windows'
// reader and ours give it back as it was written.
std::string WrittenValue(std::string_view value, const profile::LeadBytes& leads) {
    std::string text = WithoutLineBreaks(value);
    const LineText line(text, leads);
    const profile::Span trimmed = profile::Trim(line, {0, line.size()});
    const profile::Span read = profile::ValueSpan(line, 0);
    if (read.begin != trimmed.begin || read.end != trimmed.end)
        return '"' + text + '"';
    return text;
}

// Where the terminator at the end of `raw` starts: CRLF, LF or CR, in UTF-16 units when `utf16`.
std::size_t TerminatorStart(std::string_view raw, bool utf16) {
    const std::string_view crlf = utf16 ? kCrLf16 : kCrLf8;
    if (raw.size() >= crlf.size() && raw.substr(raw.size() - crlf.size()) == crlf)
        return raw.size() - crlf.size();
    const std::size_t unit = utf16 ? 2 : 1;
    return raw.size() >= unit ? raw.size() - unit : raw.size();
}

LineText TextOf(std::string_view content, bool utf16, const profile::LeadBytes& leads) {
    return utf16 ? LineText(content) : LineText(content, leads);
}

}  // namespace

struct ProfileDocument::Line {
    // The bytes as in the file, terminators included: one key or header line, or a run of lines
    // that are neither (blank lines, comments, text without '='). A run is one object, so that a
    // file of a million line breaks costs its bytes and not a million lines, and a key added above
    // them moves one object.
    std::string raw;
    std::size_t contentEnd = 0;  // where the terminator of the (last) line starts
    std::size_t valueBegin = 0;  // Key lines: just after the '='
    // A run holding text lines (entries of its section): just after the last of them, terminator
    // included; 0 when it holds none. A new key of the section goes there, above the blank lines
    // and comments that end the run.
    std::size_t entryEnd = 0;
    LineKind kind = LineKind::Blank;  // a run that holds a text line is Text

    bool Terminated() const { return contentEnd < raw.size(); }
    std::string_view Content() const { return std::string_view(raw).substr(0, contentEnd); }
};

struct ProfileDocument::Section {
    Line header;
    std::vector<Line> body;
    // New keys go right after this line of the body (-1: right under the header), so comments
    // and blank lines that end the section stay below them.
    std::ptrdiff_t lastEntry = -1;
    bool indexed = false;  // the first section of its name
    // Folded key name -> the first key line of that name in `body`; only for indexed sections.
    std::unordered_map<std::string, std::size_t> keys;
};

namespace {

using Line = ProfileDocument::Line;

// Adds the stretch of empty lines at `pos` to the run that began at `runBegin`, in one step;
// returns where the stretch ends.
std::size_t AddBlankStretch(Line& run, std::string_view bytes, std::size_t runBegin, std::size_t pos) {
    std::size_t end = pos;
    while (end < bytes.size() && (bytes[end] == '\r' || bytes[end] == '\n'))
        ++end;
    if (pos == runBegin)
        run.kind = LineKind::Blank;
    const bool crlfLast = end - pos >= 2 && bytes[end - 2] == '\r' && bytes[end - 1] == '\n';
    run.contentEnd = end - (crlfLast ? 2 : 1) - runBegin;
    return end;
}

// Adds a line that is neither a header nor a key of a section to the run that began at `runBegin`.
void AddUnreadLine(Line& run, LineKind shapeKind, bool first, std::size_t runBegin,
                   const profile::LineBreak& lineBreak) {
    // A key line before the first header is as unread as a text line there.
    const LineKind kind = shapeKind == LineKind::Key ? LineKind::Text : shapeKind;
    if (first)
        run.kind = kind;
    run.contentEnd = lineBreak.contentEnd - runBegin;
    if (kind == LineKind::Text) {
        run.kind = LineKind::Text;
        run.entryEnd = lineBreak.next - runBegin;
    }
}

}  // namespace

ProfileDocument::ProfileDocument(const CodePage& codePage)
    : codePage_(&codePage), leadBytes_(profile::Cp932LeadBytes()) {}
ProfileDocument::~ProfileDocument() = default;
ProfileDocument::ProfileDocument(const ProfileDocument& other) = default;
ProfileDocument& ProfileDocument::operator=(const ProfileDocument& other) = default;
ProfileDocument::ProfileDocument(ProfileDocument&& other) noexcept = default;
ProfileDocument& ProfileDocument::operator=(ProfileDocument&& other) noexcept = default;

ProfileDocument ProfileDocument::Parse(std::string_view bytes, const CodePage& codePage) {
    return *ParseWithin(bytes, codePage, static_cast<std::size_t>(-1));
}

std::optional<ProfileDocument> ProfileDocument::ParseWithin(std::string_view bytes, const CodePage& codePage,
                                                            std::size_t maxLines) {
    ProfileDocument doc(codePage);
    if (bytes.substr(0, kUtf16Bom.size()) == kUtf16Bom) {
        doc.utf16_ = true;
        doc.bom_ = kUtf16Bom;
        bytes.remove_prefix(kUtf16Bom.size());
        if (bytes.size() % 2 != 0) {
            doc.tail_ = bytes.substr(bytes.size() - 1);
            bytes.remove_suffix(1);
        }
    } else if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        // Windows takes the mark for part of the first line and so misses a header there; an
        // editor that adds it must not make the whole file unreadable. Its text is UTF-8: read
        // as code page bytes, a Japanese path would come back garbled and be saved so. It is
        // kept as UTF-16 inside and written back as UTF-8, with its mark.
        if (std::optional<std::string> wide = Utf8ToUtf16Le(bytes.substr(kUtf8Bom.size()))) {
            std::optional<ProfileDocument> unicode =
                ParseWithin(std::string(kUtf16Bom) + *wide, codePage, maxLines);
            if (unicode) {
                unicode->bom_ = kUtf8Bom;
                unicode->utf8File_ = true;
            }
            return unicode;
        }
        // Not well-formed UTF-8 after all: its bytes are kept as they are.
        doc.bom_ = kUtf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    if (!doc.ParseLines(bytes, maxLines))
        return std::nullopt;
    return doc;
}

bool ProfileDocument::ParseLines(std::string_view bytes, std::size_t maxLines) {
    // Every object costs memory whatever it holds: their number is what a limit must bound.
    std::size_t lines = 0;
    // The lines that are not keys or headers since the last one that was: one run.
    std::size_t runBegin = 0;
    Line run;
    const auto endRun = [&](std::size_t end) {
        if (end == runBegin)
            return;
        run.raw.assign(bytes.substr(runBegin, end - runBegin));
        AddLine(std::move(run), LineShape{});
        run = Line();
        ++lines;
    };
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (!utf16_ && (bytes[pos] == '\r' || bytes[pos] == '\n')) {
            pos = AddBlankStretch(run, bytes, runBegin, pos);
            continue;
        }
        const profile::LineBreak lineBreak = profile::FindLineBreak(bytes, pos, utf16_);
        const std::string_view content = bytes.substr(pos, lineBreak.contentEnd - pos);
        const LineShape shape = profile::Classify(TextOf(content, utf16_, leadBytes_));
        // Before the first header nothing is read: every line there belongs to the run.
        const bool ownLine =
            shape.kind == LineKind::Section || (shape.kind == LineKind::Key && !sections_.empty());
        if (!ownLine) {
            AddUnreadLine(run, shape.kind, pos == runBegin, runBegin, lineBreak);
            pos = lineBreak.next;
            continue;
        }
        endRun(pos);
        if (++lines > maxLines)
            return false;
        Line line;
        line.raw.assign(bytes.substr(pos, lineBreak.next - pos));
        line.contentEnd = lineBreak.contentEnd - pos;
        line.kind = shape.kind;
        line.valueBegin = shape.valueBegin;
        AddLine(std::move(line), shape);
        pos = lineBreak.next;
        runBegin = pos;
    }
    endRun(pos);
    return lines <= maxLines;
}

std::optional<std::string> ProfileDocument::Read(std::string_view section, std::string_view key) const {
    const auto found = sectionIndex_.find(IndexKey(ArgumentName(section)));
    if (found == sectionIndex_.end())
        return std::nullopt;
    const Section& s = sections_[found->second];
    const auto line = s.keys.find(IndexKey(ArgumentName(key)));
    if (line == s.keys.end())
        return std::nullopt;
    return ValueOf(s.body[line->second]);
}

std::string ProfileDocument::ReadString(std::string_view section, std::string_view key,
                                        std::string_view fallback) const {
    if (std::optional<std::string> value = Read(section, key))
        return *std::move(value);
    // The system functions drop a default's trailing spaces (spaces only, not tabs).
    const LineText text(fallback, leadBytes_);
    const Span kept = profile::Trim(text, {0, text.size()}, true);
    if (kept.begin == kept.end)
        return {};
    return std::string(fallback.substr(0, kept.end));
}

void ProfileDocument::Write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = ArgumentName(section);
    const std::string keyName = ArgumentName(key);
    const std::string text = WrittenValue(value, leadBytes_);
    const auto keyLine = [&] {
        std::string line;
        line.reserve(keyName.size() + 1 + text.size());
        return line.append(keyName).append("=").append(text);
    };

    const auto found = sectionIndex_.find(IndexKey(sectionName));
    if (found == sectionIndex_.end()) {
        TerminateLastLine();
        AddNewLine(MakeLine("[" + sectionName + "]"));
        AddNewLine(MakeLine(keyLine()));
        return;
    }
    Section& s = sections_[found->second];
    const auto line = s.keys.find(IndexKey(keyName));
    if (line != s.keys.end()) {
        Line& existing = s.body[line->second];
        // A save writes every entry again, mostly with the value it read. Compared as values, a
        // line that reads the same stays byte for byte, whatever it holds: a NUL, quotes, blanks
        // around the value, a character the code page cannot write.
        if (ValueOf(existing) == value)
            return;
        ReplaceValue(existing, text);
        return;
    }
    InsertKeyLine(s, MakeLine(keyLine()));
}

std::string ProfileDocument::Serialize() const {
    if (utf8File_) {
        std::string wide = SerializeLines();
        // Every line came from UTF-8 or from the code page, so the conversion back is exact.
        return bom_ + Utf16LeToUtf8(wide).value_or(std::string());
    }
    return bom_ + SerializeLines();
}

std::string ProfileDocument::SerializeLines() const {
    std::size_t size = tail_.size();
    for (const Line& line : preamble_)
        size += line.raw.size();
    for (const Section& s : sections_) {
        size += s.header.raw.size();
        for (const Line& line : s.body)
            size += line.raw.size();
    }
    std::string out;
    out.reserve(size);
    for (const Line& line : preamble_)
        out += line.raw;
    for (const Section& s : sections_) {
        out += s.header.raw;
        for (const Line& line : s.body)
            out += line.raw;
    }
    out += tail_;
    return out;
}

// A new line at the end of the file, filed as a reader of the file's bytes sees it.
void ProfileDocument::AddNewLine(Line line) {
    const LineShape shape = ShapeLine(line);
    AddLine(std::move(line), shape);
}

// Files a line, or a run of lines, at the end of the document.
void ProfileDocument::AddLine(Line line, const LineShape& shape) {
    if (line.kind == LineKind::Section) {
        Section s;
        s.indexed =
            sectionIndex_.emplace(FoldedName(line, shape.name.begin, shape.name.end), sections_.size())
                .second;
        s.header = std::move(line);
        sections_.push_back(std::move(s));
        return;
    }
    if (sections_.empty()) {
        preamble_.push_back(std::move(line));
        return;
    }
    Section& s = sections_.back();
    const std::size_t index = s.body.size();
    if (profile::IsEntry(line.kind))
        s.lastEntry = static_cast<std::ptrdiff_t>(index);
    if (line.kind == LineKind::Key && s.indexed) {
        s.keys.emplace(FoldedName(line, shape.name.begin, shape.name.end), index);
    }
    s.body.push_back(std::move(line));
}

// Sets the kind of one line (not a run) and where its value starts.
LineShape ProfileDocument::ShapeLine(Line& line) const {
    const LineShape shape = profile::Classify(TextOf(line.Content(), utf16_, leadBytes_));
    line.kind = shape.kind;
    line.valueBegin = shape.valueBegin;
    line.entryEnd = shape.kind == LineKind::Text ? line.raw.size() : 0;
    return shape;
}

// The run at `index` ends where its last text line ends: the blank lines and comments after it
// become a run of their own, so that a new key can go between them.
void ProfileDocument::SplitRunAfterEntry(Section& s, std::size_t index) const {
    Line& run = s.body[index];
    if (run.kind != LineKind::Text || run.entryEnd >= run.raw.size())
        return;
    Line tail;
    tail.raw.assign(run.raw, run.entryEnd, std::string::npos);
    tail.contentEnd = run.contentEnd - run.entryEnd;
    tail.kind = LineKind::Blank;
    run.raw.resize(run.entryEnd);
    run.raw.shrink_to_fit();
    run.contentEnd = TerminatorStart(run.raw, utf16_);
    s.body.insert(s.body.begin() + static_cast<std::ptrdiff_t>(index + 1), std::move(tail));
}

void ProfileDocument::InsertKeyLine(Section& s, Line line) {
    if (s.lastEntry >= 0)
        SplitRunAfterEntry(s, static_cast<std::size_t>(s.lastEntry));
    const std::size_t index = static_cast<std::size_t>(s.lastEntry + 1);
    Terminate(index == 0 ? s.header : s.body[index - 1]);

    const LineShape shape = ShapeLine(line);
    if (shape.kind == LineKind::Section) {
        // A key name that starts with '[' makes a header: the lines below it now belong to another
        // section. Rare enough to rebuild the document from its bytes.
        s.body.insert(s.body.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
        Reparse();
        return;
    }
    // Every key line is at or above lastEntry, so no indexed line moves (nor does the split above
    // move one).
    std::string folded;
    if (shape.kind == LineKind::Key)
        folded = FoldedName(line, shape.name.begin, shape.name.end);
    s.body.insert(s.body.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
    if (profile::IsEntry(shape.kind))
        s.lastEntry = static_cast<std::ptrdiff_t>(index);
    if (shape.kind == LineKind::Key && s.indexed)
        s.keys.emplace(std::move(folded), index);
}

// Keeps the line up to and including its '=' (indentation, the name's spelling, spaces before
// the '=') and its line break; only the value changes.
void ProfileDocument::ReplaceValue(Line& line, std::string_view value) const {
    const std::string encoded = Encode(value);
    const std::string_view current = line.Content().substr(line.valueBegin);
    if (line.Terminated() && current == encoded)
        return;
    std::string raw;
    raw.reserve(line.valueBegin + encoded.size() + 4);
    raw.append(line.raw, 0, line.valueBegin);
    raw += encoded;
    if (line.Terminated()) {
        raw.append(line.raw, line.contentEnd, std::string::npos);
    } else {
        raw += Crlf();
    }
    line.contentEnd = line.valueBegin + encoded.size();
    line.raw = std::move(raw);
}

// New lines go at the end: a last line without a line break gets CRLF first.
void ProfileDocument::TerminateLastLine() {
    Line* last = nullptr;
    if (!sections_.empty()) {
        Section& s = sections_.back();
        last = s.body.empty() ? &s.header : &s.body.back();
    } else if (!preamble_.empty()) {
        last = &preamble_.back();
    }
    if (last != nullptr)
        Terminate(*last);
}

// A line (or run) that ends the file without a line break gets CRLF. When that line is the text
// line a run ends with, its entry now ends after the break: a key added later goes below it.
void ProfileDocument::Terminate(Line& line) const {
    if (line.Terminated())
        return;
    const bool endsWithEntry = line.entryEnd != 0 && line.entryEnd == line.raw.size();
    line.raw += Crlf();
    if (endsWithEntry)
        line.entryEnd = line.raw.size();
}

void ProfileDocument::Reparse() {
    *this = Parse(Serialize(), *codePage_);
}

ProfileDocument::Line ProfileDocument::MakeLine(std::string_view content) const {
    Line line;
    line.raw = Encode(content);
    line.contentEnd = line.raw.size();
    line.raw += Crlf();
    return line;
}

std::string ProfileDocument::Encode(std::string_view text) const {
    return utf16_ ? CodePageToUtf16Le(text, *codePage_) : std::string(text);
}

std::string_view ProfileDocument::Crlf() const {
    return utf16_ ? kCrLf16 : kCrLf8;
}

// A name as given to Read or Write: CR, LF and NUL left out (as Write leaves them out of what it
// writes), spaces around it ignored. Tabs are not: the system functions do not find "\tkey".
std::string ProfileDocument::ArgumentName(std::string_view name) const {
    std::string clean;
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        clean = WithoutLineBreaks(name);
        name = clean;
    }
    const LineText text(name, leadBytes_);
    const Span span = profile::Trim(text, {0, text.size()}, true);
    return std::string(name.substr(span.begin, span.end - span.begin));
}

// A name from ArgumentName as the index knows it: folded, in the file's encoding.
std::string ProfileDocument::IndexKey(std::string_view name) const {
    std::string key;
    key.reserve(name.size());
    if (!utf16_) {
        profile::AppendFolded(LineText(name, leadBytes_), {0, name.size()}, key);
        return key;
    }
    const std::string wide = CodePageToUtf16Le(name, *codePage_);
    const LineText wideText(wide);
    profile::AppendFolded(wideText, {0, wideText.size()}, key);
    return key;
}

std::string ProfileDocument::FoldedName(const Line& line, std::size_t begin, std::size_t end) const {
    const LineText text = TextOf(line.Content(), utf16_, leadBytes_);
    std::string key;
    key.reserve(end - begin);
    profile::AppendFolded(text, {begin, end}, key);
    return key;
}

std::string ProfileDocument::ValueOf(const Line& line) const {
    const LineText text = TextOf(line.Content(), utf16_, leadBytes_);
    const Span value = profile::ValueSpan(text, line.valueBegin);
    const std::string_view bytes = line.Content().substr(value.begin, value.end - value.begin);
    return utf16_ ? Utf16LeToCodePage(bytes, *codePage_) : std::string(bytes);
}

}  // namespace rivo
