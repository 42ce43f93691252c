// Reading rules of the profile engine: what a name finds, and the value it reads.
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

struct ReadCase {
    std::string name;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;  // nullopt: the key is missing
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<ReadCase>& info) {
    return info.param.name;
}

class ProfileReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReading, FindsWhatWindowsFinds) {
    const ReadCase& c = GetParam();
    const ProfileDocument doc = ProfileDocument::Parse(c.file, Cp932());
    const std::optional<std::string> value = doc.Read(c.section, c.key);
    EXPECT_EQ(value.has_value(), c.expected.has_value())
        << "file: " << Visible(c.file) << "\nvalue: " << Visible(value.value_or("<missing>"));
    if (value && c.expected) {
        EXPECT_EQ(Visible(*value), Visible(*c.expected)) << "file: " << Visible(c.file);
    }
}

const std::vector<ReadCase> kNames = {
    {"SectionIgnoresAsciiCase", "[Rivo]\r\nKey1=16\r\n", "rIVO", "Key1", "16"},
    {"KeyIgnoresAsciiCase", "[Rivo]\r\nKey1=16\r\n", "Rivo", "KEY1", "16"},
    {"ArgumentSpacesIgnored", "[s]\r\nkey=v\r\n", "  s  ", "  key ", "v"},
    {"ArgumentTabIsPartOfTheName", "[s]\r\nkey=v\r\n", "s", "\tkey", std::nullopt},
    {"OtherSectionNotFound", "[s]\r\nkey=v\r\n", "t", "key", std::nullopt},
    {"OtherKeyNotFound", "[s]\r\nkey=v\r\n", "s", "kez", std::nullopt},
    {"EmptyKeyName", "[s]\r\n=v\r\n", "s", "", "v"},
    {"EmptySectionName", "[]\r\nk=v\r\n", "", "k", "v"},
    {"QuotesArePartOfAName", "[s]\r\n\"k\"=v\r\n", "s", "k", std::nullopt},
    {"SemicolonInsideAKey", "[s]\r\nk;x=v\r\n", "s", "k;x", "v"},
    {"HashStartsAnOrdinaryKey", "[s]\r\n#k=v\r\n", "s", "#k", "v"},
    {"BracketInsideAKey", "[s]\r\nk[1]=v\r\n", "s", "k[1]", "v"},
};

const std::vector<ReadCase> kBlanks = {
    {"AroundKeyAndValue", "[s]\r\n \t\vkey \t= \t value \v\r\n", "s", "key", "value"},
    {"InsideValueKept", "[s]\r\nk= a  b \r\n", "s", "k", "a  b"},
    {"InsideKeyKept", "[s]\r\na b=v\r\n", "s", "a b", "v"},
    {"OnlyBlanksAfterEquals", "[s]\r\nk= \t \r\n", "s", "k", ""},
};

const std::vector<ReadCase> kHeaders = {
    {"SpacesInsideBrackets", "[  s  ]\r\nk=v\r\n", "s", "k", "v"},
    {"TabsInsideBrackets", "[\ts\t]\r\nk=v\r\n", "s", "k", "v"},
    {"BlanksBeforeBracket", "  \t[s]\r\nk=v\r\n", "s", "k", "v"},
    {"TextAfterBracketIgnored", "[s] k=x\r\nk=v\r\n", "s", "k", "v"},
    {"MissingBracketTolerated", "[s\r\nk=v\r\n", "s", "k", "v"},
    {"NameEndsAtFirstBracket", "[a]b]\r\nk=v\r\n", "a", "k", "v"},
    {"NameUpToLastBracketNotFound", "[a]b]\r\nk=v\r\n", "a]b", "k", std::nullopt},
    {"OpeningBracketInName", "[[a]\r\nk=v\r\n", "[a", "k", "v"},
    {"BracketNotFirstIsNoHeader", "x[s]\r\nk=v\r\n", "s", "k", std::nullopt},
    {"EqualsInsideHeaderIsName", "[a=b]\r\nk=v\r\n", "a=b", "k", "v"},
    {"SemicolonInsideHeaderIsName", "[;s]\r\nk=v\r\n", ";s", "k", "v"},
    {"KeysBelongToTheLatestHeader", "[s]\r\n[t]\r\nk=v\r\n", "s", "k", std::nullopt},
};

const std::vector<ReadCase> kQuotes = {
    {"DoubleRemoved", "[s]\r\nk=\"a b\"\r\n", "s", "k", "a b"},
    {"SingleRemoved", "[s]\r\nk='a b'\r\n", "s", "k", "a b"},
    {"SpacesInsideSurvive", "[s]\r\nk=\" a \"\r\n", "s", "k", " a "},
    {"TrimmedBeforeRemoving", "[s]\r\nk=  \"x\"  \r\n", "s", "k", "x"},
    {"OnlyOneOuterPair", "[s]\r\nk=''x''\r\n", "s", "k", "'x'"},
    {"EmptyPair", "[s]\r\nk=\"\"\r\n", "s", "k", ""},
    {"LoneQuoteKept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
    {"UnmatchedOpeningKept", "[s]\r\nk=\"abc\r\n", "s", "k", "\"abc"},
    {"UnmatchedClosingKept", "[s]\r\nk=abc\"\r\n", "s", "k", "abc\""},
    {"MixedPairKept", "[s]\r\nk=\"abc'\r\n", "s", "k", "\"abc'"},
    {"QuoteInsideKept", "[s]\r\nk=a\"b\"\r\n", "s", "k", "a\"b\""},
};

const std::vector<ReadCase> kLines = {
    {"CommentNotReadable", "[s]\r\n;k=v\r\n", "s", ";k", std::nullopt},
    {"CommentHidesItsKey", "[s]\r\n;k=v\r\n", "s", "k", std::nullopt},
    {"IndentedComment", "[s]\r\n \t;k=v\r\n", "s", ";k", std::nullopt},
    {"SemicolonLaterIsData", "[s]\r\nk=v ;c\r\n", "s", "k", "v ;c"},
    {"LineWithoutEqualsIsNoKey", "[s]\r\nname3\r\nk=v\r\n", "s", "name3", std::nullopt},
    {"EqualsInValue", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
    {"EmptyValueIsNotMissing", "[s]\r\nk=\r\n", "s", "k", ""},
    {"FirstSectionWins", "[s]\r\na=1\r\n[t]\r\n[S]\r\na=2\r\n", "s", "a", "1"},
    {"LaterSectionOfSameNameIgnored", "[s]\r\na=1\r\n[S]\r\nb=3\r\n", "s", "b", std::nullopt},
    {"FirstKeyWins", "[s]\r\na=1\r\nA=2\r\n", "s", "a", "1"},
    {"LfEndings", "[s]\nk=v\nz=1\n", "s", "k", "v"},
    {"CrEndings", "[s]\rk=v\rz=1\r", "s", "z", "1"},
    {"MixedEndings", "[s]\r\na=1\nb=2\rc=3", "s", "b", "2"},
    {"NoFinalLineBreak", "[s]\r\nk=v", "s", "k", "v"},
    {"CrCrLfIsTwoLines", "[s]\r\r\nk=v\r\n", "s", "k", "v"},
    {"TextBeforeFirstSectionNotRead", "k=v\r\n[s]\r\n", "", "k", std::nullopt},
    {"TextBeforeFirstSectionNotInSection", "k=early\r\n[s]\r\nx=1\r\n", "s", "k", std::nullopt},
    {"EmptyHeaderIsASection", "\r\nk=none\r\n[]\r\nk=empty\r\n", "", "k", "empty"},
    {"NulIsOrdinaryData", "[s]\r\nk=a\0b\r\n"s, "s", "k", "a\0b"s},
    {"NulDoesNotEndTheLine", "[s]\r\nk=a\0b=c\r\nz=1\r\n"s, "s", "z", "1"},
};

INSTANTIATE_TEST_SUITE_P(Names, ProfileReading, ::testing::ValuesIn(kNames), CaseName);
INSTANTIATE_TEST_SUITE_P(Blanks, ProfileReading, ::testing::ValuesIn(kBlanks), CaseName);
INSTANTIATE_TEST_SUITE_P(Headers, ProfileReading, ::testing::ValuesIn(kHeaders), CaseName);
INSTANTIATE_TEST_SUITE_P(Quotes, ProfileReading, ::testing::ValuesIn(kQuotes), CaseName);
INSTANTIATE_TEST_SUITE_P(Lines, ProfileReading, ::testing::ValuesIn(kLines), CaseName);

struct FallbackCase {
    std::string fallback;
    std::string expected;
};

TEST(ProfileReadString, MissingKeyGivesTheFallbackWithoutTrailingSpaces) {
    const ProfileDocument doc = ProfileDocument::Parse("[s]\r\nk=\r\n", Cp932());
    const FallbackCase cases[] = {
        {"0x10", "0x10"}, {"0x10  ", "0x10"}, {"  x", "  x"}, {"x\t", "x\t"}, {"   ", ""}, {"", ""},
    };
    for (const FallbackCase& c : cases) {
        EXPECT_EQ(doc.ReadString("s", "missing", c.fallback), c.expected) << "[" << c.fallback << "]";
        EXPECT_EQ(doc.ReadString("nosection", "k", c.fallback), c.expected) << "[" << c.fallback << "]";
        // Present but empty is not missing.
        EXPECT_EQ(doc.ReadString("s", "k", c.fallback), "");
    }
}

TEST(ProfileReadString, EmptyDocumentGivesFallbacks) {
    const ProfileDocument doc(Cp932());
    EXPECT_FALSE(doc.Read("Rivo", "0").has_value());
    EXPECT_EQ(doc.ReadString("Rivo", "Key1", "0x10"), "0x10");
    EXPECT_EQ(doc.Serialize(), "");
    EXPECT_FALSE(doc.IsUtf16());
}

TEST(ProfileReadString, ValuesAreReadWhole) {
    // No 254-character cut and no 65535 limit.
    for (std::size_t length : {254u, 255u, 300u, 65535u, 70000u}) {
        const std::string value(length, 'x');
        const ProfileDocument doc = ProfileDocument::Parse("[s]\r\nk=" + value + "\r\n", Cp932());
        EXPECT_EQ(doc.ReadString("s", "k", "").size(), length);
    }
}

}  // namespace
}  // namespace rivo
