#include "core/command_list_rows.h"

#include <gtest/gtest.h>

#include <string>

namespace rivo {
namespace {

TEST(CommandRows, OnlyKeysWithACommandInAscendingOrder) {
    KeyStringTable names, commands, workDirs;
    BuildKeyNameTable(names);
    commands[0x70] = "f1.exe";
    commands[0x41] = "a.exe";
    commands[28] = "conv.exe";
    commands[0xBA] = "colon.exe";
    const auto rows = BuildCommandRows(commands, names);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].keyCode, 28);
    EXPECT_EQ(rows[0].keyName, "") << "a name-less key outside 48-90 shows an empty key column";
    EXPECT_EQ(rows[1].keyCode, 0x41);
    EXPECT_EQ(rows[1].keyName, "A");
    EXPECT_EQ(rows[1].command, "a.exe");
    EXPECT_EQ(rows[2].keyName, "F1");
    EXPECT_EQ(rows[3].keyName, ":");
    EXPECT_TRUE(BuildCommandRows(workDirs, names).empty());
}

TEST(CommandRows, DeleteEmptiesBothTablesOfThatKeyOnly) {
    KeyStringTable commands, workDirs;
    commands[0x41] = "a.exe";
    workDirs[0x41] = "C:\\A";
    commands[0x42] = "b.exe";
    workDirs[0x42] = "C:\\B";
    DeleteRegistration(commands, workDirs, 0x41);
    EXPECT_EQ(commands[0x41], "");
    EXPECT_EQ(workDirs[0x41], "");
    EXPECT_EQ(commands[0x42], "b.exe");
    EXPECT_EQ(workDirs[0x42], "C:\\B");
    DeleteRegistration(commands, workDirs, 300);  // out of range: nothing happens
    DeleteRegistration(commands, workDirs, -1);
    EXPECT_EQ(commands[0x42], "b.exe");
}

TEST(CommandRows, KeysFrom48To90ShowTheirCharacterWhateverTheNameTableSays) {
    KeyStringTable names, noNames, commands;
    BuildKeyNameTable(names);
    for (int k = 0; k < kKeyCount; ++k) {
        commands[k] = "cmd" + std::to_string(k);
    }
    for (const KeyStringTable* table : {&names, &noNames}) {
        const auto rows = BuildCommandRows(commands, *table);
        ASSERT_EQ(rows.size(), static_cast<size_t>(kKeyCount)) << "every key with a command has a row";
        for (int k = 0; k < kKeyCount; ++k) {
            const CommandRow& row = rows[static_cast<size_t>(k)];
            EXPECT_EQ(row.keyCode, k);
            EXPECT_EQ(row.command, commands[k]);
            const std::string expected =
                (k >= 48 && k <= 90) ? std::string(1, static_cast<char>(k)) : (*table)[k];
            EXPECT_EQ(row.keyName, expected) << "key " << k;
        }
    }
    // Spot checks of what the user sees.
    const auto rows = BuildCommandRows(commands, names);
    EXPECT_EQ(rows[58].keyName, ":");
    EXPECT_EQ(rows[64].keyName, "@");
    EXPECT_EQ(rows[91].keyName, names[91]);
    EXPECT_EQ(rows[30].keyName, "");
}

TEST(CommandRows, AnyNonEmptyCommandIsARegistration) {
    KeyStringTable names, commands;
    BuildKeyNameTable(names);
    commands[0x20] = " ";
    commands[0x21] = "";
    commands[0x22] = std::string(5000, 'x');
    const auto rows = BuildCommandRows(commands, names);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].keyCode, 0x20);
    EXPECT_EQ(rows[1].command.size(), 5000u) << "commands are not cut";
}

}  // namespace
}  // namespace rivo
