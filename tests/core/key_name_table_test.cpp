#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/launcher_state.h"

namespace rivo {
namespace {

KeyStringTable Built() {
    KeyStringTable table;
    table.fill("stale");
    BuildKeyNameTable(table);
    return table;
}

TEST(KeyNameTable, EmptyCodesAreExactlyTheUnnamedRanges) {
    const auto table = Built();
    const std::pair<int, int> emptyRanges[] = {{0, 7},     {10, 11},   {14, 15},   {22, 28},
                                               {30, 31},   {94, 95},   {136, 143}, {146, 185},
                                               {193, 218}, {223, 225}, {227, 228}, {230, 255}};
    std::set<int> expectedEmpty;
    for (auto [from, to] : emptyRanges) {
        for (int c = from; c <= to; ++c)
            expectedEmpty.insert(c);
    }
    for (int code = 0; code < kKeyCount; ++code) {
        EXPECT_EQ(table[code].empty(), expectedEmpty.count(code) == 1) << "code " << code;
    }
}

TEST(KeyNameTable, CharacterKeysAreTheirOwnCharacter) {
    const auto table = Built();
    for (int code = 48; code <= 90; ++code) {
        ASSERT_EQ(table[code].size(), 1u) << code;
        EXPECT_EQ(static_cast<unsigned char>(table[code][0]), code);
    }
    EXPECT_EQ(table[58], ":");
    EXPECT_EQ(table[64], "@");
    EXPECT_EQ(table[60], "<");
    EXPECT_EQ(table[63], "?");
}

TEST(KeyNameTable, RepeatedNamesBelongToDistinctCodes) {
    const auto table = Built();
    EXPECT_EQ(table[58], table[186]);
    EXPECT_EQ(table[59], table[187]);
    EXPECT_EQ(table[64], table[192]);
    EXPECT_EQ(table[8], "BackSpace");
    EXPECT_EQ(table[41], "BackSpace");
}

TEST(KeyNameTable, NumberedFamilies) {
    const auto table = Built();
    EXPECT_EQ(table[96], "NUM0");
    EXPECT_EQ(table[105], "NUM9");
    EXPECT_EQ(table[112], "F1");
    EXPECT_EQ(table[116], "F5");
    EXPECT_EQ(table[135], "F24");
    EXPECT_EQ(table[144], "Num Lock");
    EXPECT_EQ(table[145], "Scroll Lock");
}

TEST(KeyNameTable, ShiftJisNamesAreCodePage932Bytes) {
    const auto table = Built();
    EXPECT_EQ(table[220], std::string("\x5C"));
    EXPECT_EQ(table[226], std::string("\x81\x5F"));
    // 英数カナ in Shift-JIS.
    EXPECT_EQ(table[21], std::string("\x89\x70\x90\x94\x83\x4A\x83\x69"));
    // ← ↑ → ↓
    EXPECT_EQ(table[37], std::string("\x81\xA9"));
    EXPECT_EQ(table[38], std::string("\x81\xAA"));
    EXPECT_EQ(table[39], std::string("\x81\xA8"));
    EXPECT_EQ(table[40], std::string("\x81\xAB"));
    // 半角/全角(漢字)
    EXPECT_EQ(table[229], std::string("\x94\xBC\x8A\x70/\x91\x53\x8A\x70(\x8A\xBF\x8E\x9A)"));
}

}  // namespace
}  // namespace rivo
