// Our profile engine side by side with kernel32's GetPrivateProfileStringA and
// WritePrivateProfileStringA on every corpus file. Where Wine 8 is known to differ from Windows the
// Windows rule is asserted on our engine instead, and the assertion names the Wine difference.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile_document.h"
#include "core/profile_file.h"
#include "platform/win32_code_page.h"
#include "platform/win32_file_store.h"
#include "tests/win/driver/scratch_dir.h"
#include "tests/win/kernel32_profile.h"
#include "tests/win/profile_corpus_cases.h"

namespace rivo::test {
namespace {

const platform::Win32CodePage& CodePage932() {
    static const platform::Win32CodePage codePage;
    return codePage;
}

std::string CorpusPath(const std::string& file) {
    return SourcePath("tests/win/corpus/" + file);
}

std::string Describe(const std::optional<std::string>& value) {
    return value ? "\"" + Printable(*value) + "\"" : std::string("(missing)");
}

// ASCII letters folded one way, double-byte characters left whole: the trail byte of ア (0x41)
// must not become the trail byte of ヂ (0x61).
std::string WithAsciiCase(std::string_view name, bool upper) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (IsCp932LeadByte(c)) {
            ++i;
        } else if (upper && c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        } else if (!upper && c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// How a name is matched by Windows: spaces around it ignored, ASCII case ignored. Used only to
// find which probes a WindowsRead entry covers.
std::string MatchForm(std::string_view name) {
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return WithAsciiCase(name, false);
}

const WindowsRead* FindWindowsRead(const CorpusCase& c, const Probe& probe) {
    for (const WindowsRead& w : c.windowsReads) {
        if (MatchForm(w.section) == MatchForm(probe.section) &&
            (!w.key || MatchForm(*w.key) == MatchForm(probe.key))) {
            return &w;
        }
    }
    return nullptr;
}

// The names kernel32 lists, the case's own probes, and the variants every name must survive:
// other case, padded with spaces, missing, commented out.
std::vector<Probe> ProbesFor(const CorpusCase& c, const Kernel32Profile& kernel32) {
    std::vector<Probe> base = c.extraProbes;
    for (const std::string& section : kernel32.SectionNames()) {
        for (const std::string& key : kernel32.KeyNames(section)) {
            base.push_back({section, key});
        }
        base.push_back({section, "NoSuchKey"});
    }
    std::set<std::pair<std::string, std::string>> seen;
    std::vector<Probe> probes;
    auto add = [&](std::string section, std::string key) {
        // kernel32 gives an empty key name no meaning of its own (it returns nothing at all).
        if (key.empty())
            return;
        if (seen.emplace(section, key).second)
            probes.push_back({std::move(section), std::move(key)});
    };
    for (const Probe& p : base) {
        add(p.section, p.key);
        add(WithAsciiCase(p.section, true), WithAsciiCase(p.key, false));
        add(WithAsciiCase(p.section, false), WithAsciiCase(p.key, true));
        add("  " + p.section + " ", " " + p.key + "  ");
        add(p.section, p.key + "_missing");
        add(p.section + "_missing", p.key);
        add(p.section, ";" + p.key);
    }
    return probes;
}

class ProfileCorpus : public ::testing::TestWithParam<CorpusCase> {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "the side-by-side tests need the Japanese ANSI code page";
        const std::optional<std::string> bytes = ReadBytes(CorpusPath(GetParam().file));
        ASSERT_TRUE(bytes) << "cannot read corpus file " << CorpusPath(GetParam().file);
        original_ = *bytes;
    }

    // A fresh copy of `bytes` in the scratch directory, aged so Wine's cache holds it, and flushed
    // out of that cache so kernel32 parses it anew.
    std::string PlaceCopy(std::string_view suffix, std::string_view bytes) const {
        const std::string path = scratch_.File(GetParam().file + std::string(suffix));
        EXPECT_TRUE(WriteBytes(path, bytes)) << path;
        EXPECT_TRUE(AgeFile(path)) << path;
        Kernel32Profile(path).Flush();
        return path;
    }

    ScratchDir scratch_{"profile"};
    std::string original_;
};

TEST_P(ProfileCorpus, ReadsAgreeWithKernel32OrTheWindowsRule) {
    const CorpusCase& c = GetParam();
    const Kernel32Profile kernel32(PlaceCopy(".read.ini", original_));
    const ProfileDocument doc = ProfileDocument::Parse(original_, CodePage932());
    const std::vector<Probe> probes = ProbesFor(c, kernel32);
    ASSERT_FALSE(probes.empty());

    int compared = 0;
    int found = 0;
    std::set<const WindowsRead*> rulesUsed;
    for (const Probe& probe : probes) {
        const std::string where = "[" + Printable(probe.section) + "] " + Printable(probe.key);
        const std::optional<std::string> ours = doc.Read(probe.section, probe.key);
        if (ours)
            ++found;
        if (const WindowsRead* rule = FindWindowsRead(c, probe)) {
            rulesUsed.insert(rule);
            EXPECT_EQ(Describe(ours), Describe(rule->value))
                << where << ": the Windows rule (not compared: " << rule->wineDifference << ")";
            continue;
        }
        ++compared;
        EXPECT_EQ(Describe(ours), Describe(kernel32.Read(probe.section, probe.key))) << where;
        if (!ours) {
            // A missing key gives the default with its trailing spaces dropped.
            EXPECT_EQ(Printable(doc.ReadString(probe.section, probe.key, "  fallback  ")),
                      Printable(kernel32.ReadOr(probe.section, probe.key, "  fallback  ")))
                << where;
        }
    }
    EXPECT_GT(compared, 0) << "no probe was compared with kernel32";
    EXPECT_EQ(rulesUsed.size(), c.windowsReads.size()) << "a Windows rule of the table matches no probe";
    std::printf("[   INFO   ] %s: %d reads compared with kernel32, %d on the Windows rule\n", c.file.c_str(),
                compared, static_cast<int>(probes.size()) - compared);
    if (!original_.empty()) {
        EXPECT_GT(found, 0) << "no probe found a value: the enumeration is broken";
    }
}

TEST_P(ProfileCorpus, ParsingAndSerializingKeepsEveryByte) {
    const ProfileDocument doc = ProfileDocument::Parse(original_, CodePage932());
    EXPECT_EQ(Printable(doc.Serialize()), Printable(original_));
}

struct WriteStep {
    std::string section;
    std::string key;
    std::string value;
};

// Existing key, new key, new section, empty value, value with inner spaces, a Japanese value with the trail
// bytes 0x5C and 0x5D, and a second write of a key added before.
std::vector<WriteStep> WriteSequence(const CorpusCase& c) {
    return {{c.writeSection, c.existingKey, "changed value"},
            {c.writeSection, "AddedKey", "added"},
            {"AddedSection", "Fresh", "1"},
            {c.writeSection, "EmptyOne", ""},
            {c.writeSection, "Spaced", "a  b  c"},
            {c.writeSection, "Japanese", "表ソゾ"},
            {c.writeSection, "AddedKey", "again"}};
}

// What reads must give after the sequence.
std::vector<WriteStep> WrittenValues(const CorpusCase& c) {
    std::vector<WriteStep> steps = WriteSequence(c);
    steps.erase(steps.begin() + 1);  // AddedKey was written twice; the second value counts
    return steps;
}

std::string ApplySequence(const CorpusCase& c, std::string_view bytes) {
    ProfileDocument doc = ProfileDocument::Parse(bytes, CodePage932());
    for (const WriteStep& step : WriteSequence(c)) {
        doc.Write(step.section, step.key, step.value);
    }
    return doc.Serialize();
}

struct FileLine {
    std::string content;
    std::string terminator;
};

std::vector<FileLine> SplitLines(std::string_view bytes) {
    std::vector<FileLine> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back({std::string(bytes.substr(pos)), ""});
            break;
        }
        const std::size_t length =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines.push_back({std::string(bytes.substr(pos, end - pos)), std::string(bytes.substr(end, length))});
        pos = end + length;
    }
    return lines;
}

// The Windows placement rules on our bytes, for files where Wine rebuilds the file: the replaced
// value stays on its line (indentation and name up to '=' kept), new keys go in order right after
// the last key line of the section, the new section goes at the end with no blank line before it,
// added lines end in CRLF, and every other byte stays as it was.
::testing::AssertionResult FollowsWindowsWriteRules(const CorpusCase& c, std::string_view original,
                                                    std::string_view output) {
    const std::vector<FileLine> lines = SplitLines(original);
    std::size_t existing = lines.size();
    for (std::size_t i = 0; i < lines.size() && existing == lines.size(); ++i) {
        if (lines[i].content == c.existingLine)
            existing = i;
    }
    std::size_t anchor = lines.size();
    for (std::size_t i = existing; i < lines.size() && anchor == lines.size(); ++i) {
        if (lines[i].content == c.anchorLine)
            anchor = i;
    }
    if (existing == lines.size() || anchor == lines.size()) {
        return ::testing::AssertionFailure() << "the case's existing or anchor line is not in the file";
    }
    auto join = [&lines](std::size_t from, std::size_t to) {
        std::string text;
        for (std::size_t i = from; i < to; ++i)
            text += lines[i].content + lines[i].terminator;
        return text;
    };

    std::size_t pos = 0;
    auto expect = [&](const std::string& part, const char* what) -> ::testing::AssertionResult {
        if (output.substr(pos, part.size()) != part) {
            return ::testing::AssertionFailure()
                   << what << " differs at byte " << pos << ":\n  expected " << Printable(part)
                   << "\n  actual   " << Printable(output.substr(pos, part.size() + 20));
        }
        pos += part.size();
        return ::testing::AssertionSuccess();
    };

    if (auto r = expect(join(0, existing), "the text before the replaced line"); !r)
        return r;

    const std::string& oldLine = lines[existing].content;
    const std::string keep = oldLine.substr(0, oldLine.find('=') + 1);
    const std::size_t lineEnd = output.find_first_of("\r\n", pos);
    const std::string_view newLine = output.substr(pos, lineEnd - pos);
    std::string_view newValue = newLine.substr(std::min(keep.size(), newLine.size()));
    while (!newValue.empty() && (newValue.front() == ' ' || newValue.front() == '\t'))
        newValue.remove_prefix(1);
    while (!newValue.empty() && (newValue.back() == ' ' || newValue.back() == '\t'))
        newValue.remove_suffix(1);
    if (newLine.substr(0, keep.size()) != keep || newValue != "changed value") {
        return ::testing::AssertionFailure() << "the replaced line is " << Printable(newLine) << ", expected "
                                             << Printable(keep) << " followed by the new value";
    }
    pos += newLine.size();
    const std::string& oldEnd = lines[existing].terminator;
    if (!oldEnd.empty() && output.substr(pos, oldEnd.size()) == oldEnd) {
        pos += oldEnd.size();
    } else if (auto r = expect("\r\n", "the replaced line's break"); !r) {
        return r;
    }

    std::string middle = join(existing + 1, anchor + 1);
    if (anchor > existing && lines[anchor].terminator.empty())
        middle += "\r\n";
    if (auto r = expect(middle, "the lines down to the last key line"); !r)
        return r;
    // A file with the UTF-8 mark is read and written as UTF-8 (Windows would write code page 932
    // bytes into it): Japanese paths in it survive.
    const std::string japanese =
        original.substr(0, 3) == "\xEF\xBB\xBF" ? "\xE8\xA1\xA8\xE3\x82\xBD\xE3\x82\xBE" : "表ソゾ";
    if (auto r = expect("AddedKey=again\r\nEmptyOne=\r\nSpaced=a  b  c\r\nJapanese=" + japanese + "\r\n",
                        "the new keys");
        !r)
        return r;
    std::string rest = join(anchor + 1, lines.size());
    if (!rest.empty() && lines.back().terminator.empty())
        rest += "\r\n";
    if (auto r = expect(rest, "the rest of the file"); !r)
        return r;
    if (auto r = expect("[AddedSection]\r\nFresh=1\r\n", "the new section"); !r)
        return r;
    if (pos != output.size()) {
        return ::testing::AssertionFailure() << "extra bytes at the end: " << Printable(output.substr(pos));
    }
    return ::testing::AssertionSuccess();
}

TEST_P(ProfileCorpus, WritesLandWhereWindowsPutsThem) {
    const CorpusCase& c = GetParam();
    const std::string ours = ApplySequence(c, original_);

    if (c.wineWriteDifference.empty()) {
        const Kernel32Profile kernel32(PlaceCopy(".write.ini", original_));
        for (const WriteStep& step : WriteSequence(c)) {
            ASSERT_TRUE(kernel32.Write(step.section, step.key, step.value)) << Printable(step.key);
        }
        kernel32.Flush();
        const std::optional<std::string> theirs = ReadBytes(scratch_.File(c.file + ".write.ini"));
        ASSERT_TRUE(theirs);
        EXPECT_EQ(Printable(ours), Printable(*theirs));
    } else {
        EXPECT_TRUE(FollowsWindowsWriteRules(c, original_, ours))
            << "Windows rule (bytes not compared: " << c.wineWriteDifference << ")";
    }

    const ProfileDocument reread = ProfileDocument::Parse(ours, CodePage932());
    for (const WriteStep& step : WrittenValues(c)) {
        EXPECT_EQ(Describe(reread.Read(step.section, step.key)), Describe(step.value))
            << "our engine reading back [" << Printable(step.section) << "] " << Printable(step.key);
    }

    const bool windowsReadsWriteSection = std::none_of(
        c.windowsReads.begin(), c.windowsReads.end(),
        [&c](const WindowsRead& w) { return MatchForm(w.section) == MatchForm(c.writeSection); });
    if (c.kernel32ReadsBack && windowsReadsWriteSection) {
        const Kernel32Profile kernel32(PlaceCopy(".ours.ini", ours));
        for (const WriteStep& step : WrittenValues(c)) {
            EXPECT_EQ(Describe(kernel32.Read(step.section, step.key)), Describe(step.value))
                << "kernel32 reading our file back: [" << Printable(step.section) << "] "
                << Printable(step.key);
        }
    }
}

TEST_P(ProfileCorpus, SaveProfileReplacesTheFileWithTheDocument) {
    const CorpusCase& c = GetParam();
    platform::Win32FileStore files;
    const std::string path = scratch_.File(c.file);
    ASSERT_TRUE(WriteBytes(path, original_));

    LoadedProfile loaded = LoadProfile(files, CodePage932(), path);
    ASSERT_EQ(loaded.status, ReadResult::Status::Ok) << loaded.error;
    for (const WriteStep& step : WriteSequence(c)) {
        loaded.document.Write(step.section, step.key, step.value);
    }
    const IoResult saved = SaveProfile(files, path, loaded.document);
    ASSERT_TRUE(saved.ok) << saved.error;

    const std::optional<std::string> onDisk = ReadBytes(path);
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(Printable(*onDisk), Printable(ApplySequence(c, original_)));
    EXPECT_FALSE(FileExists(path + ".tmp")) << "the temporary file was left behind";
}

std::string CaseName(const ::testing::TestParamInfo<CorpusCase>& info) {
    std::string name = info.param.file.substr(0, info.param.file.find('.'));
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ProfileCorpus, ::testing::ValuesIn(CorpusCases()), CaseName);

TEST(ProfileCorpusTable, CoversEveryCorpusFile) {
    std::vector<std::string> onDisk = ListFiles(SourcePath("tests/win/corpus"), "*.ini");
    std::vector<std::string> listed;
    for (const CorpusCase& c : CorpusCases())
        listed.push_back(c.file);
    std::sort(onDisk.begin(), onDisk.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(onDisk, listed);
    EXPECT_GE(listed.size(), 30u);
}

// Windows write rules that kernel32 under Wine cannot show, each asserted on our bytes.
struct WriteRuleCase {
    const char* name;
    std::string before;
    WriteStep write;
    std::string after;
    const char* why;
};

class WindowsWriteRules : public ::testing::TestWithParam<WriteRuleCase> {};

TEST_P(WindowsWriteRules, OnOurBytes) {
    const WriteRuleCase& c = GetParam();
    ProfileDocument doc = ProfileDocument::Parse(c.before, CodePage932());
    doc.Write(c.write.section, c.write.key, c.write.value);
    EXPECT_EQ(Printable(doc.Serialize()), Printable(c.after)) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, WindowsWriteRules,
    ::testing::Values(
        WriteRuleCase{"LeadingSpacesKept",
                      "[S]\r\nk=v\r\n",
                      {"S", "k", "  lead"},
                      "[S]\r\nk=  lead\r\n",
                      "Wine strips leading whitespace from a written value"},
        WriteRuleCase{"NewLeadingSpacesKept",
                      "[S]\r\nk=v\r\n",
                      {"S", "n", " x "},
                      "[S]\r\nk=v\r\nn= x \r\n",
                      "Wine strips leading whitespace from a written value"},
        // Wine parses the file again for every write, trimming values, and so drops the trailing
        // spaces of every value written before.
        WriteRuleCase{"TrailingSpacesKept",
                      "[S]\r\nk=v\r\n",
                      {"S", "k", "x  "},
                      "[S]\r\nk=x  \r\n",
                      "Wine rebuilds the file from values it trimmed"},
        WriteRuleCase{"BlankLineKeptBelowNewKey",
                      "[S]\r\nk=v\r\n\r\n[T]\r\n",
                      {"S", "n", "1"},
                      "[S]\r\nk=v\r\nn=1\r\n\r\n[T]\r\n",
                      "Wine drops blank lines"},
        WriteRuleCase{"CommentBelowLastKeyStays",
                      "[S]\r\nk=v\r\n;c\r\n",
                      {"S", "n", "1"},
                      "[S]\r\nk=v\r\nn=1\r\n;c\r\n",
                      "Wine appends a new key after the comments of its section"},
        WriteRuleCase{
            "LfLinesKept", "[S]\nk=v\n", {"S", "k", "w"}, "[S]\nk=w\n", "Wine rewrites every line end"},
        WriteRuleCase{"PreambleKeptNotRead",
                      "x=1\r\n",
                      {"S", "x", "2"},
                      "x=1\r\n[S]\r\nx=2\r\n",
                      "Wine treats text before the first header as a section named \"\""},
        WriteRuleCase{"LineBreaksNeverWritten",
                      "[S]\r\n",
                      {"S", "k", "a\r\nb=c\rd\ne"},
                      "[S]\r\nk=ab=cde\r\n",
                      "a value holding CR or LF would turn into new entries on the next read"},
        WriteRuleCase{"Utf8MarkKept",
                      "\xEF\xBB\xBF[S]\r\nk=v\r\n",
                      {"S", "k", "w"},
                      "\xEF\xBB\xBF[S]\r\nk=w\r\n",
                      "Windows does not recognise the mark; we read past it and keep it"}),
    [](const ::testing::TestParamInfo<WriteRuleCase>& param) { return std::string(param.param.name); });

// Values with quotes of their own, as our engine writes them, read back whole through kernel32:
// Windows' reader takes one outer pair of quotes off a value, so they are written inside one more.
TEST(QuotedValues, ReadBackWholeThroughKernel32) {
    ASSERT_EQ(GetACP(), 932u) << "the side-by-side tests need the Japanese ANSI code page";
    const std::vector<std::string> values = {"\"C:\\Tools\\x.exe\" \"two words\"",
                                             "\"q\"",
                                             " 'single' ",
                                             "\"C:\\x.exe\" -a",
                                             "\"",
                                             "\"\x95\x5C\""};
    ProfileDocument doc = ProfileDocument::Parse("", CodePage932());
    for (std::size_t i = 0; i < values.size(); ++i)
        doc.Write("Rivo", std::to_string(i), values[i]);
    ScratchDir scratch("quoted");
    const std::string path = scratch.File("Rivo.ini");
    ASSERT_TRUE(WriteBytes(path, doc.Serialize()));
    ASSERT_TRUE(AgeFile(path));
    const Kernel32Profile kernel32(path);
    kernel32.Flush();
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(Describe(kernel32.Read("Rivo", std::to_string(i))), Describe(values[i]))
            << Printable(values[i]);
        EXPECT_EQ(Describe(doc.Read("Rivo", std::to_string(i))), Describe(values[i])) << Printable(values[i]);
    }
}

}  // namespace
}  // namespace rivo::test
