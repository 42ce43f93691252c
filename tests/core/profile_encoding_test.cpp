// Double-byte names and values, UTF-16 and UTF-8 files, and byte-for-byte identity of odd files.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/profile_document.h"
#include "tests/core/profile_test_support.h"

namespace rivo {
namespace {

using namespace std::string_literals;
using testing_support::Cp932;
using testing_support::Utf16File;
using testing_support::Visible;

// Code page 932 bytes whose trail byte looks like ASCII.
const std::string kHyou = "\x95\x5C";  // 表: trail byte is '\'
const std::string kSo = "\x83\x5C";    // ソ: trail byte is '\'
const std::string kZo = "\x83\x5D";    // ゾ: trail byte is ']'
const std::string kA = "\x83\x41";     // ア: trail byte is 'A'
const std::string kDi = "\x83\x61";    // ヂ: trail byte is 'a'

struct ShiftJisCase {
    std::string name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

void PrintTo(const ShiftJisCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileShiftJis : public ::testing::TestWithParam<ShiftJisCase> {};

TEST_P(ProfileShiftJis, TrailBytesAreNeverAsciiCharacters) {
    const ShiftJisCase& c = GetParam();
    const ProfileDocument doc = ProfileDocument::Parse(c.file, Cp932());
    const std::optional<std::string> value = doc.Read(c.section, c.key);
    ASSERT_EQ(value.has_value(), c.expected.has_value()) << Visible(c.file);
    if (value) {
        EXPECT_EQ(Visible(*value), Visible(*c.expected));
    }
}

const std::vector<ShiftJisCase> kShiftJis = {
    {"NamesAndValueWithBackslashTrail", "[" + kHyou + "]\r\n" + kSo + "=" + kZo + "\r\n", kHyou, kSo, kZo},
    {"BracketTrailDoesNotEndTheHeader", "[" + kZo + "]\r\nk=v\r\n", kZo, "k", "v"},
    {"BracketTrailIsNotTheWholeName", "[" + kZo + "]\r\nk=v\r\n", "\x83", "k", std::nullopt},
    {"BracketTrailBeforeTheRealBracket", "[a" + kZo + "b]x\r\nk=v\r\n", "a" + kZo + "b", "k", "v"},
    {"TrailAIsNotFoldedToA", "[s]\r\n" + kA + "=a\r\n", "s", kDi, std::nullopt},
    {"TrailaIsNotFoldedToA", "[s]\r\n" + kDi + "=d\r\n", "s", kA, std::nullopt},
    {"SimilarNamesStayApart", "[s]\r\n" + kDi + "=d\r\n" + kA + "=a\r\n", "s", kA, "a"},
    {"SectionTrailNotFolded", "[" + kA + "]\r\nk=a\r\n", kDi, "k", std::nullopt},
    {"AsciiAroundDoubleByteFolds", "[s]\r\nKey" + kA + "X=v\r\n", "s", "kEY" + kA + "x", "v"},
    {"QuotesAroundDoubleByte", "[s]\r\nk=\"" + kSo + "\"\r\n", "s", "k", kSo},
    {"LoneLeadByteEndsTheFile", "[s]\r\nk=v\r\nz=\x83", "s", "z", "\x83"},
    {"LeadByteBeforeLineBreak", "[s]\r\nk=\x83\r\nz=1\r\n", "s", "z", "1"},
};

INSTANTIATE_TEST_SUITE_P(Cp932, ProfileShiftJis, ::testing::ValuesIn(kShiftJis),
                         [](const ::testing::TestParamInfo<ShiftJisCase>& p) { return p.param.name; });

TEST(ProfileShiftJisWriting, NamesAndValuesSurviveByteForByte) {
    ProfileDocument doc(Cp932());
    doc.Write(kHyou, kSo, kZo);
    doc.Write(kZo, kA, kHyou + "\\" + kSo);
    EXPECT_EQ(Visible(doc.Serialize()), Visible("[" + kHyou + "]\r\n" + kSo + "=" + kZo + "\r\n[" + kZo +
                                                "]\r\n" + kA + "=" + kHyou + "\\" + kSo + "\r\n"));
    doc.Write(kHyou, kSo, kA);  // in place
    doc.Write(kZo, kDi, "d");   // ヂ is not ア: a new key
    const ProfileDocument reread = ProfileDocument::Parse(doc.Serialize(), Cp932());
    EXPECT_EQ(reread.ReadString(kHyou, kSo, ""), kA);
    EXPECT_EQ(reread.ReadString(kZo, kA, ""), kHyou + "\\" + kSo);
    EXPECT_EQ(reread.ReadString(kZo, kDi, ""), "d");
}

TEST(ProfileUtf16, ReadsAndWritesBackAsUtf16) {
    const std::string file = Utf16File(u"; 設定\r\n[Rivo]\r\n表=ソ\r\n  Key1 = 16\r\n\r\n[他]\r\nx=1");
    ProfileDocument doc = ProfileDocument::Parse(file, Cp932());
    ASSERT_TRUE(doc.IsUtf16());
    EXPECT_EQ(doc.Serialize(), file);
    EXPECT_EQ(doc.ReadString("rivo", kHyou, ""), kSo);
    EXPECT_EQ(doc.ReadString("RIVO", "key1", ""), "16");
    EXPECT_FALSE(doc.Read("Rivo", "x").has_value());

    doc.Write("Rivo", "Key1", "17");
    doc.Write("Rivo", "新", kZo);
    doc.Write("他", "x", "ア");
    doc.Write("New", "k", "v");
    EXPECT_EQ(Visible(doc.Serialize()),
              Visible(Utf16File(u"; 設定\r\n[Rivo]\r\n表=ソ\r\n  Key1 =17\r\n新=ゾ\r\n\r\n[他]\r\nx=ア\r\n"
                                u"[New]\r\nk=v\r\n")));
    const ProfileDocument reread = ProfileDocument::Parse(doc.Serialize(), Cp932());
    EXPECT_EQ(reread.ReadString("Rivo", "新", ""), kZo);
    EXPECT_EQ(reread.ReadString("他", "x", ""), "\x83\x41");
}

TEST(ProfileUtf16, EmptyUnicodeFileStaysUnicode) {
    ProfileDocument doc = ProfileDocument::Parse("\xFF\xFE", Cp932());
    ASSERT_TRUE(doc.IsUtf16());
    doc.Write("S", "k", "v");
    EXPECT_EQ(Visible(doc.Serialize()), Visible(Utf16File(u"[S]\r\nk=v\r\n")));
}

TEST(ProfileUtf16, LineEndingsAndAsciiOnlyFolding) {
    const ProfileDocument doc =
        ProfileDocument::Parse(Utf16File(u"[s]\na=1\rb=2\r\nＡ=wide\r\nÉ=e"), Cp932());
    EXPECT_EQ(doc.ReadString("s", "A", ""), "1");
    EXPECT_EQ(doc.ReadString("s", "B", ""), "2");
    // Only A-Z fold: full-width Ａ (0x82 0x60) is not ａ (0x82 0x81).
    EXPECT_EQ(doc.ReadString("s", "\x82\x60", ""), "wide");
    EXPECT_FALSE(doc.Read("s", "\x82\x81").has_value());
}

TEST(ProfileUtf16, BrokenUnitsReadAsQuestionMarksAndSurviveWrites) {
    // An unpaired surrogate in a value, and an odd last byte.
    std::string file = Utf16File(u"[s]\r\nk=a") + "\x00\xD8"s + Utf16File(u"b\r\nz=1\r\n", false) + "\x41"s;
    ProfileDocument doc = ProfileDocument::Parse(file, Cp932());
    ASSERT_TRUE(doc.IsUtf16());
    EXPECT_EQ(Visible(doc.Serialize()), Visible(file));
    EXPECT_EQ(doc.ReadString("s", "k", ""), "a?b");
    doc.Write("s", "z", "2");
    doc.Write("t", "n", "3");
    const std::string expected =
        Utf16File(u"[s]\r\nk=a") + "\x00\xD8"s + Utf16File(u"b\r\nz=2\r\n[t]\r\nn=3\r\n", false) + "\x41"s;
    EXPECT_EQ(Visible(doc.Serialize()), Visible(expected));
}

TEST(ProfileUtf8Mark, IsSkippedOnReadingAndKeptOnWriting) {
    ProfileDocument doc = ProfileDocument::Parse("\xEF\xBB\xBF[Rivo]\r\nKey1=16\r\n", Cp932());
    EXPECT_FALSE(doc.IsUtf16());
    EXPECT_EQ(doc.ReadString("Rivo", "Key1", ""), "16");
    doc.Write("Rivo", "Key2", "17");
    EXPECT_EQ(Visible(doc.Serialize()), Visible("\xEF\xBB\xBF[Rivo]\r\nKey1=16\r\nKey2=17\r\n"));

    ProfileDocument markOnly = ProfileDocument::Parse("\xEF\xBB\xBF", Cp932());
    markOnly.Write("S", "k", "v");
    EXPECT_EQ(Visible(markOnly.Serialize()), Visible("\xEF\xBB\xBF[S]\r\nk=v\r\n"));
}

TEST(ProfileUtf8Mark, MarksAUtf8FileThatIsReadAndWrittenBackAsUtf8) {
    // C:\予定表\a.exe in UTF-8; the launcher reads and writes code page 932.
    const std::string utf8Path = "C:\\\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8\\a.exe";
    const std::string cp932Path = "C:\\\x97\x5C\x92\xE8\x95\x5C\\a.exe";
    const std::string file = "\xEF\xBB\xBF; \xE3\x83\xA1\xE3\x83\xA2\r\n[Rivo]\r\n65=" + utf8Path + "\r\n";
    ProfileDocument doc = ProfileDocument::Parse(file, Cp932());
    EXPECT_TRUE(doc.IsUtf8());
    EXPECT_FALSE(doc.IsUtf16());
    EXPECT_EQ(Visible(doc.Serialize()), Visible(file)) << "unchanged, it is the same bytes";
    EXPECT_EQ(Visible(doc.ReadString("Rivo", "65", "")), Visible(cp932Path));
    doc.Write("Rivo", "66", cp932Path);
    doc.Write("Rivo", "65", "x.exe");
    EXPECT_EQ(
        Visible(doc.Serialize()),
        Visible("\xEF\xBB\xBF; \xE3\x83\xA1\xE3\x83\xA2\r\n[Rivo]\r\n65=x.exe\r\n66=" + utf8Path + "\r\n"));

    // Bytes that are not UTF-8 after the mark are kept as they are, and read as the code page.
    const std::string notUtf8 = "\xEF\xBB\xBF[Rivo]\r\n65=" + cp932Path + "\r\n";
    ProfileDocument bytes = ProfileDocument::Parse(notUtf8, Cp932());
    EXPECT_FALSE(bytes.IsUtf8());
    EXPECT_EQ(Visible(bytes.ReadString("Rivo", "65", "")), Visible(cp932Path));
    EXPECT_EQ(Visible(bytes.Serialize()), Visible(notUtf8));
}

TEST(ProfileOddMarks, AreOrdinaryBytes) {
    // A big-endian mark is not recognised: the first line is not a header.
    const ProfileDocument bigEndian = ProfileDocument::Parse("\xFE\xFF[s]\r\nk=v\r\n", Cp932());
    EXPECT_FALSE(bigEndian.IsUtf16());
    EXPECT_FALSE(bigEndian.Read("s", "k").has_value());
    // Half a UTF-8 mark neither.
    const ProfileDocument half = ProfileDocument::Parse("\xEF\xBB[s]\r\nk=v\r\n", Cp932());
    EXPECT_FALSE(half.Read("s", "k").has_value());
}

class ProfileIdentity : public ::testing::TestWithParam<std::string> {};

TEST_P(ProfileIdentity, SerialisesToTheBytesItWasParsedFrom) {
    const std::string& bytes = GetParam();
    EXPECT_EQ(Visible(ProfileDocument::Parse(bytes, Cp932()).Serialize()), Visible(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    OddFiles, ProfileIdentity,
    ::testing::Values(""s, "\r"s, "\n\n"s, "\r\r\n"s, "\n\r"s, "["s, "[]"s, "]"s, "="s, ";"s, "\0\0"s,
                      "a\0b\r\n[s\0]\r\nk\0=\0v\0"s, "[s]\r\nk=\x83"s, "\x83"s, "[\x83"s, "\xFF"s,
                      "\xFF\xFE"s, "\xFF\xFE\x00"s, "\xFF\xFE[\0"s, "\xFF\xFE\x00\xD8"s, "\xFF\xFE\r"s,
                      "\xFF\xFE\r\0\n"s, "\xFF\xFE\xFF\xFE"s, "\xEF\xBB"s, "\xEF\xBB\xBF"s,
                      "\xEF\xBB\xBF\xEF\xBB\xBF[s]"s, "\xFE\xFF\0[\0s\0]"s,
                      "  [ s ] x \r\n \t k = \"v\" \r\n"s,
                      "[s]\r\n" + std::string(200000, 'x') + "=" + std::string(100000, 'y'),
                      std::string(100000, '['), std::string(50000, '\n'), std::string(30000, '='),
                      "[a]\n[A]\r[a]\r\n[b]\n;c\n\nk=v\r\nk=w"s));

// A save writes every entry with the value it read: whatever a line holds that the value does not
// show (a NUL, quotes, blanks, a character code page 932 cannot write), it keeps its bytes.
struct UntouchedCase {
    std::string name;
    std::string file;
    std::string readAs;  // what entry 65 reads as, in code page 932
};

void PrintTo(const UntouchedCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileUntouched : public ::testing::TestWithParam<UntouchedCase> {};

TEST_P(ProfileUntouched, EntriesWrittenWithTheValueTheyReadKeepTheirBytes) {
    const UntouchedCase& c = GetParam();
    ProfileDocument doc = ProfileDocument::Parse(c.file, Cp932());
    EXPECT_EQ(Visible(doc.ReadString("Rivo", "65", "<missing>")), Visible(c.readAs));
    for (const char* key : {"65", "305", "365", "Key1"}) {
        if (const std::optional<std::string> value = doc.Read("Rivo", key))
            doc.Write("Rivo", key, *value);
    }
    EXPECT_EQ(Visible(doc.Serialize()), Visible(c.file));
    // A value that does change is still written.
    doc.Write("Rivo", "65", "b.exe");
    EXPECT_EQ(doc.ReadString("Rivo", "65", ""), "b.exe");
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileUntouched,
    ::testing::Values(
        UntouchedCase{"Nul", "[Rivo]\r\n65=C:\\a.exe\0junk\r\n365=C:\\\r\nKey1=16\r\n"s, "C:\\a.exe\0junk"s},
        UntouchedCase{"QuotesAndBlanks", "[Rivo]\r\n65 = \"C:\\a b.exe\" \t\r\n365='C:\\'\r\nKey1= 16\r\n",
                      "C:\\a b.exe"},
        UntouchedCase{"LastLineWithoutBreak", "[Rivo]\r\n365=\r\nKey1=16\r\n65=a.exe", "a.exe"},
        // C:\Users\José: é has no code page 932 form and reads as '?'.
        UntouchedCase{"Utf8WithMark",
                      "\xEF\xBB\xBF[Rivo]\r\n305=C:\\Users\\Jos\xC3\xA9\r\n65=Jos\xC3\xA9.exe\r\n",
                      "Jos?.exe"},
        UntouchedCase{"Utf16", Utf16File(u"[Rivo]\r\n65=Jos\u00E9.exe\r\n365=\u8868\r\n"), "Jos?.exe"}),
    [](const ::testing::TestParamInfo<UntouchedCase>& p) { return p.param.name; });

TEST(ProfileIdentity, LauncherFileSurvivesALoadAndASaveOfTheSameValues) {
    std::string file = "; hand-written note\r\n[Rivo]\r\n";
    for (int k = 0; k < 256; ++k) {
        file += std::to_string(k) + "=" + (k == 65 ? "C:\\Program Files\\" + kHyou + "\\a.exe" : "") + "\r\n";
        file += std::to_string(k + 300) + "=\r\n";
        file += std::to_string(k + 600) + "=" + (k == 16 ? "1" : "0") + "\r\n";
    }
    file +=
        "Top=-5\r\nLeft=0\r\nKey1=16\r\nKey2=17\r\nSetKey=45\r\nEndKey=46\r\nFormType=0\r\n[Other]\r\nx="
        "1\r\n";
    ProfileDocument doc = ProfileDocument::Parse(file, Cp932());
    for (int k = 0; k < 256; ++k) {
        for (int offset : {0, 300, 600}) {
            const std::string key = std::to_string(k + offset);
            doc.Write("Rivo", key, doc.ReadString("Rivo", key, "<missing>"));
        }
    }
    for (const char* key : {"Top", "Left", "Key1", "Key2", "SetKey", "EndKey", "FormType"}) {
        doc.Write("Rivo", key, doc.ReadString("Rivo", key, "<missing>"));
    }
    EXPECT_EQ(doc.Serialize(), file);
}

}  // namespace
}  // namespace rivo
