// The Win32 file store and code page the settings engine runs on in the Windows build.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/code_page.h"
#include "core/profile_document.h"
#include "core/profile_file.h"
#include "launcher/message_filter.h"
#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "platform/win32_code_page.h"
#include "platform/win32_error.h"
#include "platform/win32_file_store.h"
#include "tests/win/driver/immutable_path.h"
#include "tests/win/driver/scratch_dir.h"

namespace rivo::test {
namespace {

class Win32FileStoreTest : public ::testing::Test {
protected:
    // Writes through the store's own CreateNew/Write/Flush/Close, as SaveProfile does.
    IoResult WriteNew(const std::string& path, std::string_view bytes) {
        IoResult result;
        std::unique_ptr<WritableFile> file = store_.CreateNew(path, result);
        if (!file)
            return result;
        if (IoResult r = file->Write(bytes); !r.ok)
            return r;
        if (IoResult r = file->Flush(); !r.ok)
            return r;
        return file->Close();
    }

    platform::Win32FileStore store_;
    ScratchDir scratch_{"store"};
};

struct ContentCase {
    const char* name;
    std::string bytes;
};

class Win32FileStoreContent : public Win32FileStoreTest, public ::testing::WithParamInterface<ContentCase> {};

TEST_P(Win32FileStoreContent, WrittenBytesReadBackExactly) {
    const std::string path = scratch_.File("content.bin");
    const IoResult written = WriteNew(path, GetParam().bytes);
    ASSERT_TRUE(written.ok) << written.error;
    const ReadResult read = store_.Read(path);
    ASSERT_EQ(read.status, ReadResult::Status::Ok) << read.error;
    EXPECT_EQ(read.bytes.size(), GetParam().bytes.size());
    EXPECT_TRUE(read.bytes == GetParam().bytes);
    EXPECT_TRUE(ReadBytes(path) == GetParam().bytes) << "the store wrote other bytes than the system reads";
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Win32FileStoreContent,
    ::testing::Values(ContentCase{"Empty", ""}, ContentCase{"CrLfAndCtrlZ", "[S]\r\nk=v\r\n\x1A"},
                      ContentCase{"NulBytes", std::string("a\0b\0\0c", 6)},
                      ContentCase{"ShiftJisTrailBytes", "[表]\r\nソ=ゾ\r\n"},
                      ContentCase{"Utf16Mark", std::string("\xFF\xFE[\0S\0]\0", 8)},
                      // Larger than one read and one write chunk, so the loops really loop.
                      ContentCase{"ThreeMegabytes", Pattern(3 * 1024 * 1024 + 7)}),
    [](const ::testing::TestParamInfo<ContentCase>& param) { return std::string(param.param.name); });

TEST_F(Win32FileStoreTest, AbsentFilesAndDirectoriesReadAsMissing) {
    for (const std::string& path : {scratch_.File("absent.ini"), scratch_.File("no-dir\\absent.ini")}) {
        const ReadResult read = store_.Read(path);
        EXPECT_EQ(read.status, ReadResult::Status::Missing) << path << ": " << read.error;
        EXPECT_TRUE(read.bytes.empty());
    }
}

TEST_F(Win32FileStoreTest, ReadingADirectoryIsAnErrorNamingIt) {
    const ReadResult read = store_.Read(scratch_.Path());
    EXPECT_EQ(read.status, ReadResult::Status::Error);
    EXPECT_NE(read.error.find(scratch_.Path()), std::string::npos) << read.error;
}

TEST_F(Win32FileStoreTest, CreateNewRefusesAnExistingFileAndKeepsIt) {
    const std::string path = scratch_.File("exists.ini");
    ASSERT_TRUE(WriteBytes(path, "old"));
    IoResult result;
    EXPECT_EQ(store_.CreateNew(path, result), nullptr);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("CreateFileW"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    EXPECT_EQ(ReadBytes(path), "old");
}

TEST_F(Win32FileStoreTest, MissingDirectoryFailsWithThePath) {
    const std::string path = scratch_.File("no-such-dir\\Rivo.ini.tmp");
    IoResult result;
    EXPECT_EQ(store_.CreateNew(path, result), nullptr);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    EXPECT_GT(result.error.size(), path.size() + std::string("CreateFileA(\"\"): ").size())
        << "no system reason in: " << result.error;

    const std::string from = scratch_.File("from.tmp");
    ASSERT_TRUE(WriteBytes(from, "new"));
    const IoResult replaced = store_.Replace(from, scratch_.File("no-such-dir\\Rivo.ini"));
    EXPECT_FALSE(replaced.ok);
    EXPECT_NE(replaced.error.find("MoveFileExW"), std::string::npos) << replaced.error;
    EXPECT_NE(replaced.error.find(scratch_.File("no-such-dir\\Rivo.ini")), std::string::npos)
        << replaced.error;
    EXPECT_EQ(ReadBytes(from), "new") << "a failed replace must leave the new file for the caller";
}

TEST_F(Win32FileStoreTest, ReplacePutsTheNewFileInPlaceOfTheOld) {
    const std::string target = scratch_.File("Rivo.ini");
    const std::string temp = target + ".tmp";
    ASSERT_TRUE(WriteBytes(target, "[Rivo]\r\n0=old\r\n"));
    const IoResult written = WriteNew(temp, "[Rivo]\r\n0=new\r\n");
    ASSERT_TRUE(written.ok) << written.error;

    const IoResult replaced = store_.Replace(temp, target);
    ASSERT_TRUE(replaced.ok) << replaced.error;
    EXPECT_EQ(ReadBytes(target), "[Rivo]\r\n0=new\r\n");
    EXPECT_FALSE(FileExists(temp));

    // And where there was no file yet.
    const std::string fresh = scratch_.File("fresh.ini");
    ASSERT_TRUE(WriteNew(temp, "x").ok);
    ASSERT_TRUE(store_.Replace(temp, fresh).ok);
    EXPECT_EQ(ReadBytes(fresh), "x");
}

TEST_F(Win32FileStoreTest, TargetHeldOpenWithoutSharingFailsAndKeepsBothFiles) {
    const std::string target = scratch_.File("Rivo.ini");
    const std::string temp = target + ".tmp";
    ASSERT_TRUE(WriteBytes(target, "old"));
    ASSERT_TRUE(WriteBytes(temp, "new"));
    platform::UniqueFile holder(CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);

    const IoResult replaced = store_.Replace(temp, target);
    EXPECT_FALSE(replaced.ok);
    EXPECT_NE(replaced.error.find(target), std::string::npos) << replaced.error;
    holder.reset();
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ReadBytes(temp), "new");
}

// Windows refuses to replace a read-only file. Under Wine (whose file access runs with the
// rights of a Unix user that may write anything) MoveFileExA replaces it all the same, so the
// store checks the attribute itself: the user's read-only mark holds on both.
TEST_F(Win32FileStoreTest, ReadOnlyTargetIsNotReplaced) {
    const std::string target = scratch_.File("Rivo.ini");
    const std::string temp = target + ".tmp";
    ASSERT_TRUE(WriteBytes(target, "old"));
    ASSERT_TRUE(WriteBytes(temp, "new"));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));

    const IoResult replaced = store_.Replace(temp, target);
    EXPECT_FALSE(replaced.ok);
    EXPECT_NE(replaced.error.find("ReplaceFileW"), std::string::npos) << replaced.error;
    EXPECT_NE(replaced.error.find(target), std::string::npos) << replaced.error;
    EXPECT_FALSE(replaced.reason.empty()) << "the system's message, for the report";
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadBytes(temp), "new");

    // Reading a read-only file is fine.
    const ReadResult read = store_.Read(target);
    EXPECT_EQ(read.status, ReadResult::Status::Ok);
    EXPECT_EQ(read.bytes, "old");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileStoreTest, RemoveDeletesAndToleratesAnAbsentFile) {
    const std::string path = scratch_.File("gone.tmp");
    ASSERT_TRUE(WriteBytes(path, "x"));
    const IoResult removed = store_.Remove(path);
    EXPECT_TRUE(removed.ok) << removed.error;
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(store_.Remove(path).ok);
    EXPECT_TRUE(store_.Remove(scratch_.File("no-dir\\gone.tmp")).ok);

    const IoResult directory = store_.Remove(scratch_.Path());
    EXPECT_FALSE(directory.ok) << "removing a directory as a file must fail";
    EXPECT_NE(directory.error.find("DeleteFileW"), std::string::npos) << directory.error;
}

TEST_F(Win32FileStoreTest, ClosedFileRefusesFurtherWork) {
    IoResult result;
    std::unique_ptr<WritableFile> file = store_.CreateNew(scratch_.File("closed.tmp"), result);
    ASSERT_TRUE(file) << result.error;
    ASSERT_TRUE(file->Write("abc").ok);
    ASSERT_TRUE(file->Close().ok);
    EXPECT_FALSE(file->Write("more").ok);
    EXPECT_FALSE(file->Flush().ok);
    EXPECT_TRUE(file->Close().ok);
    EXPECT_EQ(ReadBytes(scratch_.File("closed.tmp")), "abc");
}

// ReplaceFileW's documented partial failures, which Wine's never shows: the code, and what the file
// system looks like after it, made by the system's own calls.
DWORD injectedReplaceError = 0;

BOOL WINAPI PartlyFailingReplaceFile(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags,
                                     LPVOID exclude, LPVOID reserved) {
    const DWORD error = std::exchange(injectedReplaceError, 0);
    switch (error) {
        case ERROR_UNABLE_TO_REMOVE_REPLACED:  // nothing changed; a moment later it works
            break;
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:  // the replaced file is gone
            DeleteFileW(replaced);
            break;
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:  // ... or under a name of the system's choosing
            MoveFileW(replaced, (std::wstring(replaced) + L".rf0001").c_str());
            break;
        default:
            return ReplaceFileW(replaced, replacement, backup, flags, exclude, reserved);
    }
    SetLastError(error);
    return FALSE;
}

TEST(Win32FileStoreReplace, APartialReplaceIsFinishedAndNeverLosesTheFile) {
    ScratchDir scratch("replace");
    const std::string path = scratch.File("Rivo.ini");
    platform::Win32FileStore store(PartlyFailingReplaceFile);
    const platform::Win32CodePage codePage;
    for (const DWORD error : {ERROR_UNABLE_TO_REMOVE_REPLACED, ERROR_UNABLE_TO_MOVE_REPLACEMENT,
                              ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}) {
        SCOPED_TRACE(error);
        ASSERT_TRUE(WriteBytes(path, "[Rivo]\r\n65=old.exe\r\n"));
        injectedReplaceError = error;
        const ProfileDocument saved = ProfileDocument::Parse("[Rivo]\r\n65=new.exe\r\n", codePage);
        const IoResult result = SaveProfile(store, path, saved);
        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_EQ(injectedReplaceError, 0u) << "the replace was tried";
        EXPECT_EQ(ReadBytes(path), "[Rivo]\r\n65=new.exe\r\n");
        EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
    }
}

// A refusal to create a file is the folder's permissions, not a program holding a file: the save
// goes at once to the in-place rewrite, and to its report when the file refuses too.
TEST(Win32FileStoreRefusals, AFolderThatRefusesNewFilesIsAnsweredAtOnce) {
    for (const bool fileRefuses : {false, true}) {
        SCOPED_TRACE(fileRefuses ? "the file refuses too" : "the file is writable");
        ScratchDir scratch("refusing");
        const std::string path = scratch.File("Rivo.ini");
        ASSERT_TRUE(WriteBytes(path, "[Rivo]\r\n65=old.exe\r\n"));
        const ImmutablePath folder(scratch.Path());
        if (!folder.Unsupported().empty())
            GTEST_SKIP() << folder.Unsupported();
        std::optional<ImmutablePath> file;
        if (fileRefuses) {
            file.emplace(path);
            ASSERT_EQ(file->Unsupported(), "");
        }
        platform::Win32FileStore store;
        const ProfileDocument saved = ProfileDocument::Parse(
            "[Rivo]\r\n65=a longer new value than the old one\r\n", platform::Win32CodePage());
        const DWORD start = GetTickCount();
        const IoResult result = SaveProfile(store, path, saved);
        const DWORD took = GetTickCount() - start;
        std::printf("[ figures  ] save in a refusing folder (%s): %lu ms\n",
                    fileRefuses ? "file refuses" : "file writable", took);
        EXPECT_LT(took, 1000u) << "no retry of a refusal";  // retried, it takes 2 s
        EXPECT_FALSE(FileExists(TemporaryPathFor(path)));
        if (fileRefuses) {
            EXPECT_FALSE(result.ok);
            EXPECT_TRUE(result.denied || result.reason == platform::SystemMessage(ERROR_ACCESS_DENIED))
                << result.error;
            EXPECT_EQ(ReadBytes(path), "[Rivo]\r\n65=old.exe\r\n");
        } else {
            EXPECT_TRUE(result.ok) << result.error;
            EXPECT_EQ(ReadBytes(path), saved.Serialize()) << "written in place";
        }
    }
}

// The one lead-byte table every scan uses is the system's own for code page 932.
TEST(Win32CodePageTest, TheCoreLeadBytesAreTheSystemsForCodePage932) {
    int leads = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<unsigned char>(byte);
        const bool system = IsDBCSLeadByteEx(932, b) != FALSE;
        EXPECT_EQ(IsCp932LeadByte(b), system) << "byte 0x" << std::hex << byte;
        leads += system ? 1 : 0;
    }
    EXPECT_EQ(leads, (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1));
}

struct ConversionCase {
    const char* name;
    std::string narrow;
    std::u16string wide;
};

class Win32CodePageConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Win32CodePageConversion, BothWays) {
    const platform::Win32CodePage codePage;
    const std::optional<std::u16string> wide = codePage.ToUtf16(GetParam().narrow);
    ASSERT_TRUE(wide);
    EXPECT_TRUE(*wide == GetParam().wide);
    const std::optional<std::string> narrow = codePage.FromUtf16(GetParam().wide);
    ASSERT_TRUE(narrow);
    EXPECT_EQ(Printable(*narrow), Printable(GetParam().narrow));
    // What the windows and files are handed, and what is read back from them.
    const std::wstring text(GetParam().wide.begin(), GetParam().wide.end());
    EXPECT_TRUE(platform::Wide(GetParam().narrow) == text);
    EXPECT_EQ(Printable(platform::Narrow(text)), Printable(GetParam().narrow));
}

INSTANTIATE_TEST_SUITE_P(
    Cp932, Win32CodePageConversion,
    ::testing::Values(ConversionCase{"Empty", "", u""},
                      ConversionCase{"Ascii", "C:\\Rivo.ini", u"C:\\Rivo.ini"},
                      ConversionCase{"TrailBackslash", "\x95\x5C\x83\x5C", u"\u8868\u30BD"},
                      ConversionCase{"TrailBracket", "[\x83\x5D]", u"[\u30BE]"},
                      ConversionCase{"HalfWidthKana", "\xB1", u"\uFF71"},
                      ConversionCase{"KanaNotFolded", "\x83\x41\x83\x61", u"\u30A2\u30C2"}),
    [](const ::testing::TestParamInfo<ConversionCase>& param) { return std::string(param.param.name); });

TEST(Win32CodePageTest, RefusesWhatCodePage932CannotHold) {
    const platform::Win32CodePage codePage;
    EXPECT_FALSE(codePage.ToUtf16("abc\x83")) << "a lead byte without its trail byte";
    EXPECT_FALSE(codePage.FromUtf16(u"caf\u00E9")) << "no code page 932 form, and no best-fit substitute";
    EXPECT_FALSE(codePage.FromUtf16(std::u16string(1, char16_t{0xD800}))) << "an unpaired surrogate";
    EXPECT_FALSE(codePage.FromUtf16(u"\U0001F600")) << "a character outside the code page";
    // Shown or compared, such a character is a '?'; never stored (RegistrableFilePath).
    EXPECT_EQ(platform::Narrow(L"caf\u00E9 \u8868"), "caf? \x95\x5C");
    EXPECT_EQ(platform::NarrowExact(L"caf\u00E9"), std::nullopt);
}

// An elevated launcher gets no file dropped from a normal Explorer and no "TaskbarCreated" unless
// it lets them through. Wine has no integrity levels: the calls are checked, not their effect.
struct FilterCall {
    HWND window;
    UINT message;
    DWORD action;
};
std::vector<FilterCall> filterCalls;

BOOL WINAPI RecordingFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT status) {
    filterCalls.push_back({window, message, action});
    return status && status->cbSize == sizeof *status;
}

TEST(MessageFilter, DropsAndTaskbarCreatedAreLetThroughToTheWindow) {
    const HWND window = GetDesktopWindow();
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    filterCalls.clear();
    const std::vector<UINT> allowed =
        AllowMessagesFromLowerIntegrity(window, taskbarCreated, RecordingFilter);
    EXPECT_EQ(allowed, (std::vector<UINT>{WM_DROPFILES, WM_COPYDATA, 0x0049, taskbarCreated}));
    for (const FilterCall& call : filterCalls) {
        EXPECT_EQ(call.window, window);
        EXPECT_EQ(call.action, static_cast<DWORD>(MSGFLT_ALLOW));
    }
    EXPECT_EQ(filterCalls.size(), allowed.size());

    // A system without the function (before Windows 7) lets the launcher run as before.
    EXPECT_EQ(AllowMessagesFromLowerIntegrity(window, taskbarCreated, nullptr), std::vector<UINT>{});
    EXPECT_NE(SystemMessageFilter(), nullptr) << "user32 has ChangeWindowMessageFilterEx";
}

}  // namespace
}  // namespace rivo::test
