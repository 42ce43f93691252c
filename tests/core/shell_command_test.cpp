// What the shell is handed for a stored command.
#include "core/shell_command.h"

#include <gtest/gtest.h>

namespace rivo {
namespace {

TEST(SplitCommand, OnlyALeadingQuoteSplitsOffParameters) {
    struct Case {
        const char* command;
        const char* file;
        const char* parameters;
    };
    const Case cases[] = {
        {"", "", ""},
        {"C:\\Tools\\x.exe", "C:\\Tools\\x.exe", ""},
        // Unquoted: one name, spaces and all, as before.
        {"C:\\Program Files\\Tool\\tool.exe", "C:\\Program Files\\Tool\\tool.exe", ""},
        {"C:\\Tools\\x.exe /a", "C:\\Tools\\x.exe /a", ""},
        {"notepad \"a.txt\"", "notepad \"a.txt\"", ""},
        {"\"C:\\Tools\\x.exe\"", "C:\\Tools\\x.exe", ""},
        {"\"C:\\Tools\\x.exe\" \"two words\"", "C:\\Tools\\x.exe", "\"two words\""},
        {"\"C:\\Program Files\\b.exe\"  --profile-directory=Work  ", "C:\\Program Files\\b.exe",
         "--profile-directory=Work"},
        {"\"explorer.exe\"\t/select,C:\\a.txt", "explorer.exe", "/select,C:\\a.txt"},
        {"\"C:\\a.exe\"-x", "C:\\a.exe", "-x"},
        {"\"C:\\a.exe\"   ", "C:\\a.exe", ""},
        // No closing quote: the rest is the file.
        {"\"C:\\Program Files\\b.exe", "C:\\Program Files\\b.exe", ""},
        // ソ and 表 end in 0x5C; the quote that closes is found whatever precedes it.
        {"\"C:\\\x83\x5C\\\x95\x5C.exe\" %1", "C:\\\x83\x5C\\\x95\x5C.exe", "%1"},
    };
    for (const Case& c : cases) {
        const ShellCommand split = SplitCommand(c.command);
        EXPECT_EQ(split.file, c.file) << c.command;
        EXPECT_EQ(split.parameters, c.parameters) << c.command;
    }
}

// A shortcut's target and arguments are registered as the quoted form and split back at launch.
TEST(SplitCommand, TakesApartWhatQuotedCommandPutsTogether) {
    const ShellCommand cases[] = {
        {"C:\\Program Files\\b.exe", "--profile-directory=Work"},
        {"C:\\Windows\\explorer.exe", "/select,\"C:\\a b.txt\""},
        {"C:\\\x95\x5C.exe", "\"two words\""},
        {"C:\\Tools\\x.exe", ""},
    };
    for (const ShellCommand& c : cases) {
        const ShellCommand split = SplitCommand(QuotedCommand(c.file, c.parameters));
        EXPECT_EQ(split.file, c.file);
        EXPECT_EQ(split.parameters, c.parameters);
    }
    EXPECT_EQ(QuotedCommand("C:\\Program Files\\b.exe", ""), "C:\\Program Files\\b.exe")
        << "no arguments: as before";
}

}  // namespace
}  // namespace rivo
