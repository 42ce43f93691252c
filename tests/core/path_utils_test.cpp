#include "core/path_utils.h"

#include <gtest/gtest.h>

#include <string>

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
    ::testing::Values(PathCase{"C:\\Tools\\edit.exe", "C:\\Tools", ".exe"},
                      PathCase{"C:\\edit.exe", "C:\\", ".exe"},
                      PathCase{"C:\\Program Files\\Tool\\tool.exe", "C:\\Program Files\\Tool", ".exe"},
                      PathCase{"C:\\Data", "C:\\", ""}, PathCase{"C:\\", "C:\\", ""},
                      PathCase{"C:", "C:", ""}, PathCase{"C:edit.exe", "C:", ".exe"},
                      PathCase{"edit.exe", "", ".exe"}, PathCase{"", "", ""},
                      PathCase{"C:\\my.folder\\readme", "C:\\my.folder", ""},
                      PathCase{"C:\\Links\\.lnk", "C:\\Links", ".lnk"},
                      PathCase{"C:\\Links\\App.LNK", "C:\\Links", ".LNK"},
                      PathCase{"C:\\a\\archive.tar.gz", "C:\\a", ".gz"},
                      PathCase{"\\\\server\\share\\tool.exe", "\\\\server\\share", ".exe"},
                      PathCase{"\\\\server\\share", "\\\\server", ""},
                      PathCase{"C:\\\x95\x5C\\memo.txt", "C:\\\x95\x5C", ".txt"},
                      PathCase{"C:\\\x95\x5C", "C:\\", ""},
                      PathCase{"C:\\\x83\x5C\x83\x74\x83\x67\\app.exe", "C:\\\x83\x5C\x83\x74\x83\x67", ".exe"},
                      PathCase{"C:\\dir\\\x83\x5C", "C:\\dir", ""},
                      PathCase{"C:\\a\x83\x5C.b", "C:\\", ".b"},
                      PathCase{"C:\\Tools\\", "C:\\Tools", ""}));

TEST(PathScanning, TrailByteBackslashEndingThePathIsNotASeparator) {
    // "X\表\": the last separator follows a trail byte 0x5C, so it is dropped, not kept as a root.
    EXPECT_EQ(FolderOfPath("X\\\x95\x5C\\"), "X\\\x95\x5C");
}

TEST(PathScanning, LoneLeadByteAtTheEndIsAByte) {
    EXPECT_EQ(FolderOfPath("C:\\dir\\\x95"), "C:\\dir");
}

}  // namespace
}  // namespace rivo
