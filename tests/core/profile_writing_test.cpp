// Writing rules of the profile engine: where a write lands and which bytes it leaves alone.
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
using testing_support::Visible;

struct WriteCase {
    std::string name;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
    std::string readBack;  // what reading the key gives afterwards
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<WriteCase>& info) {
    return info.param.name;
}

class ProfileWriting : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriting, LandsWhereWindowsPutsIt) {
    const WriteCase& c = GetParam();
    ProfileDocument doc = ProfileDocument::Parse(c.before, Cp932());
    doc.Write(c.section, c.key, c.value);
    EXPECT_EQ(Visible(doc.Serialize()), Visible(c.after));
    EXPECT_EQ(Visible(doc.ReadString(c.section, c.key, "<missing>")), Visible(c.readBack));
    // The document in memory reads as its own bytes do.
    const ProfileDocument reread = ProfileDocument::Parse(doc.Serialize(), Cp932());
    EXPECT_EQ(Visible(reread.ReadString(c.section, c.key, "<missing>")), Visible(c.readBack));
}

const std::vector<WriteCase> kInPlace = {
    {"ReplacesTheValue", "[s]\r\na=1\r\nb=2\r\n", "s", "a", "9", "[s]\r\na=9\r\nb=2\r\n", "9"},
    {"KeepsIndentationAndSpacesBeforeEquals", "[s]\r\n  Key = old\r\n", "s", "key", "new",
     "[s]\r\n  Key =new\r\n", "new"},
    {"KeepsTheSpellingOfNames", "[Rivo]\r\nKEY1=1\r\n", "rivo", "key1", "2", "[Rivo]\r\nKEY1=2\r\n", "2"},
    {"KeepsCommentsAndUnknownEntries", ";top\r\n[s]\r\n; about a\r\na=1\r\n\r\nother=x\r\n[t]\r\nz=0\r\n",
     "s", "a", "2", ";top\r\n[s]\r\n; about a\r\na=2\r\n\r\nother=x\r\n[t]\r\nz=0\r\n", "2"},
    {"KeepsTheLineBreakOfTheLine", "[s]\nk=1\nz=0\n", "s", "k", "2", "[s]\nk=2\nz=0\n", "2"},
    {"LastLineWithoutBreakGetsCrLf", "[s]\r\nk=1", "s", "k", "2", "[s]\r\nk=2\r\n", "2"},
    {"UpdatesTheFirstOccurrence", "[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "s", "k", "9",
     "[s]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n", "9"},
    {"ValueToEmpty", "[s]\r\nk=abc\r\n", "s", "k", "", "[s]\r\nk=\r\n", ""},
    {"EmptyToValue", "[s]\r\nk=\r\n", "s", "k", "x", "[s]\r\nk=x\r\n", "x"},
    {"ValueWithEqualsReplacedWhole", "[s]\r\nk=a=b\r\n", "s", "k", "c", "[s]\r\nk=c\r\n", "c"},
};

const std::vector<WriteCase> kNewKeys = {
    {"AfterTheLastKeyLine", "[s]\r\na=1\r\n; c\r\n\r\n[t]\r\nx=1\r\n", "s", "b", "2",
     "[s]\r\na=1\r\nb=2\r\n; c\r\n\r\n[t]\r\nx=1\r\n", "2"},
    {"AfterAnEntryWithoutEquals", "[s]\r\na=1\r\nname3\r\n;c\r\n", "s", "b", "2",
     "[s]\r\na=1\r\nname3\r\nb=2\r\n;c\r\n", "2"},
    {"UnderTheHeaderOfAnEmptySection", "[s]\r\n\r\n[t]\r\n", "s", "b", "2", "[s]\r\nb=2\r\n\r\n[t]\r\n", "2"},
    {"UnderAHeaderEndingTheFile", "[s]", "s", "b", "2", "[s]\r\nb=2\r\n", "2"},
    {"AfterALastLineWithoutBreak", "[s]\r\na=1", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n", "2"},
    {"WrittenLineEndsInCrLf", "[s]\na=1\n", "s", "b", "2", "[s]\na=1\nb=2\r\n", "2"},
    {"IntoTheFirstOfTwoSections", "[s]\r\na=1\r\n[s]\r\nb=2\r\n", "s", "b", "3",
     "[s]\r\na=1\r\nb=3\r\n[s]\r\nb=2\r\n", "3"},
    {"AfterTheLastTextLineAmongBlankLines", "[s]\r\n\r\nname\r\n\r\nname2\r\n\r\n;c\r\n[t]\r\n", "s", "b",
     "2", "[s]\r\n\r\nname\r\n\r\nname2\r\nb=2\r\n\r\n;c\r\n[t]\r\n", "2"},
    {"CommentedKeyIsNotUpdated", "[s]\r\n;b=1\r\n", "s", "b", "2", "[s]\r\nb=2\r\n;b=1\r\n", "2"},
};

const std::vector<WriteCase> kNewSections = {
    {"AtTheEndWithoutBlankLine", "[s]\r\na=1\r\n", "t", "b", "2", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", "2"},
    {"CrLfAddedWhenTheFileLacksIt", "[s]\r\na=1", "t", "b", "2", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", "2"},
    {"BelowTrailingComments", "[s]\r\na=1\r\n\r\n; end\r\n", "t", "b", "2",
     "[s]\r\na=1\r\n\r\n; end\r\n[t]\r\nb=2\r\n", "2"},
    {"EmptyFile", "", "S", "k", "v", "[S]\r\nk=v\r\n", "v"},
    {"TextOnlyFile", "junk", "S", "k", "v", "junk\r\n[S]\r\nk=v\r\n", "v"},
    {"HeaderKeepsTheGivenCase", "", "RiVo", "Key1", "16", "[RiVo]\r\nKey1=16\r\n", "16"},
    {"NamesLoseSurroundingSpaces", "", "  S  ", "  k ", "v", "[S]\r\nk=v\r\n", "v"},
};

const std::vector<WriteCase> kValues = {
    {"SpacesWrittenAsGiven", "", "s", "k", "  spaced  ", "[s]\r\nk=  spaced  \r\n", "spaced"},
    // A value the reader would take a pair of quotes off is written inside one more pair; a quote
    // at one end only, or inside, is written as it is.
    {"QuotedValueKeepsItsQuotes", "", "s", "k", "\"q\"", "[s]\r\nk=\"\"q\"\"\r\n", "\"q\""},
    {"QuotedCommandWithArguments", "", "s", "k", "\"C:\\x.exe\" \"two words\"",
     "[s]\r\nk=\"\"C:\\x.exe\" \"two words\"\"\r\n", "\"C:\\x.exe\" \"two words\""},
    {"SingleQuotedValueKeepsItsQuotes", "", "s", "k", " 'q' ", "[s]\r\nk=\" 'q' \"\r\n", " 'q' "},
    {"QuotedValueInPlace", "[s]\r\nk=1\r\n", "s", "k", "\"a\"", "[s]\r\nk=\"\"a\"\"\r\n", "\"a\""},
    {"QuoteAtOneEndOnly", "", "s", "k", "\"C:\\x.exe\" -a", "[s]\r\nk=\"C:\\x.exe\" -a\r\n",
     "\"C:\\x.exe\" -a"},
    {"LoneQuote", "", "s", "k", "\"", "[s]\r\nk=\"\r\n", "\""},
    {"DifferentQuotesAtTheEnds", "", "s", "k", "\"a'", "[s]\r\nk=\"a'\r\n", "\"a'"},
    {"EmptyValue", "", "s", "k", "", "[s]\r\nk=\r\n", ""},
    {"SemicolonFirstIsData", "", "s", "k", ";x", "[s]\r\nk=;x\r\n", ";x"},
    {"LineBreaksAndNulRemoved", "", "s", "k", "a\r\nb\0c\rd\n"s, "[s]\r\nk=abcd\r\n", "abcd"},
    {"LineBreaksRemovedInPlace", "[s]\r\nk=1\r\nz=0\r\n", "s", "k", "x\ny", "[s]\r\nk=xy\r\nz=0\r\n", "xy"},
    {"LineBreaksRemovedFromNames", "", "s\r\n", "k\nx", "v", "[s]\r\nkx=v\r\n", "v"},
    {"LongValueWhole", "", "s", "k", std::string(300, 'x'), "[s]\r\nk=" + std::string(300, 'x') + "\r\n",
     std::string(300, 'x')},
};

INSTANTIATE_TEST_SUITE_P(InPlace, ProfileWriting, ::testing::ValuesIn(kInPlace), CaseName);
INSTANTIATE_TEST_SUITE_P(NewKeys, ProfileWriting, ::testing::ValuesIn(kNewKeys), CaseName);
INSTANTIATE_TEST_SUITE_P(NewSections, ProfileWriting, ::testing::ValuesIn(kNewSections), CaseName);
INSTANTIATE_TEST_SUITE_P(Values, ProfileWriting, ::testing::ValuesIn(kValues), CaseName);

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

struct SequenceCase {
    std::string name;
    std::string before;
    std::vector<Entry> writes;
    std::string after;
};

void PrintTo(const SequenceCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileWriteSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(ProfileWriteSequence, EndsAsWindowsWouldLeaveTheFile) {
    const SequenceCase& c = GetParam();
    ProfileDocument doc = ProfileDocument::Parse(c.before, Cp932());
    for (const Entry& e : c.writes)
        doc.Write(e.section, e.key, e.value);
    EXPECT_EQ(Visible(doc.Serialize()), Visible(c.after));
}

const std::vector<SequenceCase> kSequences = {
    {"NewKeysInTheOrderWritten",
     "[s]\r\na=1\r\n; tail\r\n\r\n[t]\r\n",
     {{"s", "z", ""}, {"s", "b", "2"}, {"s", "y", ""}},
     "[s]\r\na=1\r\nz=\r\nb=2\r\ny=\r\n; tail\r\n\r\n[t]\r\n"},
    {"ExistingKeysKeepTheirPlace",
     "[s]\r\nb=value\r\na=value\r\n",
     {{"s", "z", ""}, {"s", "b", ""}, {"s", "y", ""}, {"s", "a", ""}},
     "[s]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
    {"NewSectionsInTheOrderWritten",
     "",
     {{"App1", "key1", "string1"},
      {"App1", "key2", "string2"},
      {"App2", "key3", "string3"},
      {"App1", "key4", "string4"}},
     "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey4=string4\r\n[App2]\r\nkey3=string3\r\n"},
    {"KeyAfterATextLineThatEndedTheFile",
     "[s]\r\nname",
     {{"t", "k", "v"}, {"s", "b", "2"}},
     "[s]\r\nname\r\nb=2\r\n[t]\r\nk=v\r\n"},
    {"RewritingTheSameKeyKeepsOneLine",
     "",
     {{"s", "k", "1"}, {"S", "K", "2"}, {" s ", " k ", "3"}},
     "[s]\r\nk=3\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Writes, ProfileWriteSequence, ::testing::ValuesIn(kSequences),
                         [](const ::testing::TestParamInfo<SequenceCase>& p) { return p.param.name; });

// Names a reader would not find as written (a key that opens a header, a comment, a key with '=',
// a section with ']') must still leave a document that behaves exactly as its own bytes do.
TEST(ProfileWriteOddNames, DocumentStaysTheSameAsItsBytes) {
    const std::vector<Entry> writes = {
        {"s", "[x", "1"},  {"s", "c", "2"},    {"t", "b", "5"},     {"s", "\t[y", "3"},
        {"s", ";c", "4"},  {"s", "d", "6"},    {"s", "a=b", "7"},   {"s", "a", "8"},
        {"a]b", "k", "9"}, {"a]b", "k", "10"}, {"s", "\x83", "11"}, {"\x83", "k", "12"},
        {"s", "\t", "13"}, {"", "", "14"},     {"x=1", "q", "15"},  {"s", "e", "16"},
    };
    ProfileDocument doc = ProfileDocument::Parse("[s]\r\na=1\r\n;end\r\n[t]\r\nb=1\r\n", Cp932());
    for (const Entry& e : writes) {
        ProfileDocument reread = ProfileDocument::Parse(doc.Serialize(), Cp932());
        doc.Write(e.section, e.key, e.value);
        reread.Write(e.section, e.key, e.value);
        ASSERT_EQ(Visible(doc.Serialize()), Visible(reread.Serialize()))
            << "after writing " << Visible(e.key);
        for (const Entry& probe : writes) {
            EXPECT_EQ(doc.Read(probe.section, probe.key), reread.Read(probe.section, probe.key))
                << Visible(probe.section) << "/" << Visible(probe.key);
        }
    }
    // Ordinary names written between the odd ones are still found.
    EXPECT_EQ(doc.ReadString("s", "c", ""), "2");
    EXPECT_EQ(doc.ReadString("t", "b", ""), "5");
    EXPECT_EQ(doc.ReadString("", "", ""), "14");
}

}  // namespace
}  // namespace rivo
