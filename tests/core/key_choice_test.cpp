#include "core/key_choice.h"

#include <gtest/gtest.h>

#include <string>

namespace rivo {
namespace {

TEST(KeyDisplayText, EveryCodeShowsItsCharacterNameOrNumber) {
    KeyStringTable names;
    BuildKeyNameTable(names);
    for (int k = 0; k < kKeyCount; ++k) {
        const std::string text = KeyDisplayText(static_cast<std::uint16_t>(k), names);
        ASSERT_FALSE(text.empty()) << k;
        if (k >= 0x30 && k <= 0x5A) {
            EXPECT_EQ(text, std::string(1, static_cast<char>(k))) << k;
        } else if (!names[k].empty()) {
            EXPECT_EQ(text, names[k]) << k;
        } else {
            EXPECT_EQ(text, std::to_string(k)) << k;
        }
    }
    EXPECT_EQ(KeyDisplayText(28, names), "28") << "the conversion key has no name";
    EXPECT_EQ(KeyDisplayText(0x74, names), "F5");
    EXPECT_EQ(KeyDisplayText(13, names), "Enter");
    EXPECT_EQ(KeyDisplayText(0xDC, names), "\x5C");
}

TEST(ChooseKey, RefusesOnlyModifiersCapsLockAndHighCodes) {
    for (int k = 0; k < 0x200; ++k) {
        const KeyChoice choice = ChooseKey(static_cast<std::uint16_t>(k));
        if (k >= 0xF0 || k == 0x10 || k == 0x11 || k == 0x14) {
            EXPECT_EQ(choice, KeyChoice::Ignore) << k;
        } else if (k == 13) {
            EXPECT_EQ(choice, KeyChoice::ChooseAndConfirm);
        } else if (k == 27) {
            EXPECT_EQ(choice, KeyChoice::ChooseAndCancel);
        } else {
            EXPECT_EQ(choice, KeyChoice::Choose) << k;
        }
    }
    EXPECT_EQ(ChooseKey(0x12), KeyChoice::Choose) << "Alt can be chosen";
}

TEST(CheckDialogKey, OnlyEnterAndEscapeEndTheDialog) {
    EXPECT_EQ(CheckDialogKey(13), DialogKey::Confirm);
    EXPECT_EQ(CheckDialogKey(27), DialogKey::Cancel);
    EXPECT_EQ(CheckDialogKey(9), DialogKey::None);
    EXPECT_EQ(CheckDialogKey(13 + 256), DialogKey::None);
}

}  // namespace
}  // namespace rivo
