// Code page 932: lead bytes, and the native conversion to and from UTF-16.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/posix_code_page.h"

namespace rivo {
namespace {

TEST(Cp932LeadBytes, RangesAndTheirEdges) {
    struct Case {
        unsigned char byte;
        bool lead;
    };
    const Case cases[] = {{0x00, false}, {0x40, false}, {0x5C, false}, {0x7F, false},
                          {0x80, false}, {0x81, true},  {0x83, true},  {0x9F, true},
                          {0xA0, false}, {0xA1, false}, {0xDF, false}, {0xE0, true},
                          {0xEF, true},  {0xFC, true},  {0xFD, false}, {0xFF, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsCp932LeadByte(c.byte), c.lead) << std::hex << int{c.byte};
    }
}

TEST(PosixCp932CodePage, ConvertsBothWays) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"", u""},
        {"abc\\~", u"abc\\~"},
        {"\x95\x5C", u"表"},
        {"\x83\x5C\x83\x5D", u"ソゾ"},
        {"\x83\x41\x83\x61", u"アヂ"},
        {"\xB1", u"ｱ"},  // a single-byte katakana
        {"C:\\\x95\x5C\\a.exe", u"C:\\表\\a.exe"},
    };
    const PosixCp932CodePage codePage;
    for (const Case& c : cases) {
        EXPECT_EQ(codePage.ToUtf16(c.bytes), std::optional<std::u16string>(c.text));
        EXPECT_EQ(codePage.FromUtf16(c.text), std::optional<std::string>(c.bytes));
    }
}

TEST(PosixCp932CodePage, RefusesWhatItCannotConvert) {
    const PosixCp932CodePage codePage;
    EXPECT_EQ(codePage.ToUtf16("ab\x83"), std::nullopt);  // cut in the middle of a character
    EXPECT_EQ(codePage.FromUtf16(u"a\xD800"
                                 u"b"),
              std::nullopt);                                     // unpaired surrogate
    EXPECT_EQ(codePage.FromUtf16(u"\U0001F600"), std::nullopt);  // not in the code page
    // And recovers for the next call.
    EXPECT_EQ(codePage.ToUtf16("\x95\x5C"), std::optional<std::u16string>(u"表"));
}

}  // namespace
}  // namespace rivo
