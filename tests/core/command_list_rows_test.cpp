#include "core/command_list_rows.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace rivo
