#include "core/path_utils.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/posix_code_page.h"

namespace rivo {
namespace {

struct PathCase {
    const char* path;
    const char* folder;
    const char* extension;
};

class PathScanning : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathScanning, FolderAndExtension) {
    const PathCase& c = GetParam();
    EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
    EXPECT_EQ(ExtensionOfPath(c.path), c.extension) << c.path;
}

// 表 is 0x95 0x5C and ソ is 0x83 0x5C: their trail byte is the code of a backslash.
INSTANTIATE_TEST_SUITE_P(
    Paths, PathScanning,
    ::testing::Values(
        PathCase{"C:\\Tools\\edit.exe", "C:\\Tools", ".exe"}, PathCase{"C:\\edit.exe", "C:\\", ".exe"},
        PathCase{"C:\\Program Files\\Tool\\tool.exe", "C:\\Program Files\\Tool", ".exe"},
        PathCase{"C:\\Data", "C:\\", ""}, PathCase{"C:\\", "C:\\", ""}, PathCase{"C:", "C:", ""},
        PathCase{"C:edit.exe", "C:", ".exe"}, PathCase{"edit.exe", "", ".exe"}, PathCase{"", "", ""},
        PathCase{"C:\\my.folder\\readme", "C:\\my.folder", ""},
        PathCase{"C:\\Links\\.lnk", "C:\\Links", ".lnk"}, PathCase{"C:\\Links\\App.LNK", "C:\\Links", ".LNK"},
        PathCase{"C:\\a\\archive.tar.gz", "C:\\a", ".gz"},
        PathCase{"\\\\server\\share\\tool.exe", "\\\\server\\share", ".exe"},
        PathCase{"\\\\server\\share", "\\\\server", ""},
        PathCase{"C:\\\x95\x5C\\memo.txt", "C:\\\x95\x5C", ".txt"}, PathCase{"C:\\\x95\x5C", "C:\\", ""},
        PathCase{"C:\\\x83\x5C\x83\x74\x83\x67\\app.exe", "C:\\\x83\x5C\x83\x74\x83\x67", ".exe"},
        PathCase{"C:\\dir\\\x83\x5C", "C:\\dir", ""}, PathCase{"C:\\a\x83\x5C.b", "C:\\", ".b"},
        PathCase{"C:\\Tools\\", "C:\\Tools", ""}));

// The program's own folder, as Windows names it: a name code page 932 cannot write has no bytes
// to scan, and the root keeps its backslash as in the 8-bit form.
TEST(PathScanning, FolderOfAUtf16Path) {
    EXPECT_EQ(FolderOfPath(u"C:\\Tools\\\u0141\u00F3d\u017A\\Rivo\\rivo.exe"),
              u"C:\\Tools\\\u0141\u00F3d\u017A\\Rivo");
    EXPECT_EQ(FolderOfPath(u"C:\\rivo.exe"), u"C:\\");
    EXPECT_EQ(FolderOfPath(u"C:\\\u8868\\rivo.exe"), u"C:\\\u8868");
    EXPECT_EQ(FolderOfPath(u"rivo.exe"), u"");
}

TEST(PathScanning, TrailByteBackslashEndingThePathIsNotASeparator) {
    // "X\表\": the last separator follows a trail byte 0x5C, so it is dropped, not kept as a root.
    EXPECT_EQ(FolderOfPath("X\\\x95\x5C\\"), "X\\\x95\x5C");
}

TEST(PathScanning, LoneLeadByteAtTheEndIsAByte) {
    EXPECT_EQ(FolderOfPath("C:\\dir\\\x95"), "C:\\dir");
}

TEST(PathScanning, JoinAddsABackslashUnlessTheFolderEndsInOne) {
    // A program folder "C:\予定表" ends in the trail byte 0x5C, which is no separator.
    EXPECT_EQ(JoinPath("C:\\\x97\x5C\x92\xE8\x95\x5C", "rivo.dll"), "C:\\\x97\x5C\x92\xE8\x95\x5C\\rivo.dll");
    EXPECT_EQ(JoinPath("C:\\Tools\\\x83\x5C", "rivo.dll"), "C:\\Tools\\\x83\x5C\\rivo.dll");
    EXPECT_EQ(JoinPath("C:\\Tools", "rivo.dll"), "C:\\Tools\\rivo.dll");
    EXPECT_EQ(JoinPath("C:\\", "rivo.dll"), "C:\\rivo.dll");
    EXPECT_EQ(JoinPath("C:\\\x95\x5C\\", "rivo.dll"), "C:\\\x95\x5C\\rivo.dll");
}

TEST(RegistrablePath, IsThePathOrItsShortFormButNeverAPathWithQuestionMarks) {
    const PosixCp932CodePage cp932;
    // C:\予定表\a.exe converts as it is.
    EXPECT_EQ(RegistrablePath(u"C:\\予定表\\a.exe", u"C:\\D3A1~1\\a.exe", cp932),
              std::optional<std::string>("C:\\\x97\x5C\x92\xE8\x95\x5C\\a.exe"));
    // Korean and an emoji have no code page 932 bytes: the short form stands in for the name.
    EXPECT_EQ(RegistrablePath(u"C:\\\uD55C\uAD6D\uC5B4\\\uBA54\uBAA8.txt", u"C:\\8A6F~1\\D55C~1.TXT", cp932),
              std::optional<std::string>("C:\\8A6F~1\\D55C~1.TXT"));
    EXPECT_EQ(RegistrablePath(u"C:\\\U0001F600.exe", u"", cp932), std::nullopt)
        << "no short name on this volume";
    EXPECT_EQ(RegistrablePath(u"C:\\\uD55C\\a.exe", u"C:\\\uD55C\\a.exe", cp932), std::nullopt)
        << "a short form that is the long name does not help";
}

}  // namespace
}  // namespace rivo
