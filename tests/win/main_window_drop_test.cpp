// Files dropped on the running launcher's window, as the shell delivers them (WM_DROPFILES with a
// drop handle), through every question and the registration dialog they open, up to the settings
// file, written as soon as a registration is confirmed.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/com_apartment.h"
#include "platform/environment.h"
#include "platform/wide_text.h"
#include "tests/win/driver/dropped_files.h"
#include "tests/win/driver/running_launcher.h"

namespace rivo::test {
namespace {

// The registration dialog opened for a drop: its edits, top to bottom, are the key, the command
// and the working directory.
struct RegistrationDialog {
    HWND window = nullptr;
    HWND keyEdit = nullptr;
    HWND commandEdit = nullptr;
    HWND pathEdit = nullptr;
    HWND ok = nullptr;
    HWND cancel = nullptr;
};

std::optional<RegistrationDialog> WaitForRegistration(DWORD processId) {
    RegistrationDialog dialog;
    if (!WaitUntil([&] { return (dialog.window = VisibleWindowOf(processId, "TSettingForm")) != nullptr; })) {
        return std::nullopt;
    }
    const std::vector<HWND> edits = ChildrenOfClass(dialog.window, "Edit");
    if (edits.size() != 3)
        return std::nullopt;
    dialog.keyEdit = edits[0];
    dialog.commandEdit = edits[1];
    dialog.pathEdit = edits[2];
    dialog.ok = ButtonWithCaption(dialog.window, "確定(&O)");
    dialog.cancel = ButtonWithCaption(dialog.window, "取消(&C)");
    if (!dialog.ok || !dialog.cancel)
        return std::nullopt;
    return dialog;
}

// A shortcut file written through the shell-link object, as the shell writes one.
bool CreateShortcut(const std::string& file, const std::string& target, const std::string& workDir,
                    const std::string& arguments = "") {
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.put())))) {
        return false;
    }
    if (FAILED(link->SetPath(platform::Wide(target).c_str())))
        return false;
    if (!workDir.empty() && FAILED(link->SetWorkingDirectory(platform::Wide(workDir).c_str())))
        return false;
    if (!arguments.empty() && FAILED(link->SetArguments(platform::Wide(arguments).c_str())))
        return false;
    platform::ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.put()))))
        return false;
    return SUCCEEDED(persist->Save(platform::Wide(file).c_str(), TRUE));
}

// A shortcut to a shell folder that has no file-system path (the computer, a Control Panel item).
bool CreateShortcutToShellFolder(const std::string& file, int folder) {
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.put())))) {
        return false;
    }
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &items)))
        return false;
    const HRESULT set = link->SetIDList(items);
    CoTaskMemFree(items);
    if (FAILED(set))
        return false;
    platform::ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.put()))))
        return false;
    return SUCCEEDED(persist->Save(platform::Wide(file).c_str(), TRUE));
}

std::string ExpandedEnvironment(const std::string& text) {
    return platform::Narrow(platform::ExpandEnvironment(platform::Wide(text)));
}

const char kDropCaption[] = "メッセージ from rivo";
const char kOneFileOnly[] = "ドラッグできるファイルは、\n今のところひとつです。";
const char kShortcutQuestion[] =
    "ファイルはショートカットです。実際のファイルを登録しますか？\n"
    "(「いいえ」を選ぶとショートカット自体が登録されます。普段は、「はい」をお勧めします。)";
const char kReplaceQuestion[] = "そのキーは既に使われています。\n置き換えますか？";

enum class ShortcutAnswer { NotAsked, Yes, No };
// How the registration dialog is left, and how the replacement question is answered if it comes.
enum class Ending { Confirm, Cancel };
enum class Replace { NotAsked, Yes, EnterForNo };

struct DropCase {
    const char* name;
    std::vector<std::string> paths;
    ShortcutAnswer shortcut;
    std::string shownCommand;  // what the dialog shows
    std::string shownWorkDir;
    std::string typedCommand;  // replaces the command before confirming, when not "-"
    WORD key;
    Ending ending;
    Replace replace;
};

class Drops : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(launcher_.Window() != nullptr);
        ASSERT_TRUE(MakeDirectory(dir_.File("apps")));
        ASSERT_TRUE(MakeDirectory(dir_.File("work")));
        ASSERT_TRUE(MakeDirectory(dir_.File("links")));
        ASSERT_TRUE(WriteBytes(Target(), "not really a program"));
    }

    std::string Target() const { return dir_.File("apps\\tool.exe"); }
    std::string WorkDir() const { return dir_.File("work"); }
    std::string Link(const char* name) const { return dir_.File("links\\") + name; }

    // Runs one drop through every window it opens; what the launcher showed goes into failures.
    void RunDrop(const DropCase& c) {
        SCOPED_TRACE(c.name);
        LauncherProcess& process = launcher_.Process();
        ASSERT_TRUE(PostDrop(process.Id(), launcher_.Window(), c.paths));
        if (c.paths.size() != 1) {
            const std::optional<MessageBoxSeen> box = process.WaitForMessageBox();
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->caption, kDropCaption);
            EXPECT_EQ(box->text, kOneFileOnly) << Printable(box->text);
            PressButton(box->window, IDOK);
            ASSERT_TRUE(WaitUntil([&] { return !process.HasMessageBox(); }));
            ASSERT_TRUE(process.Settle());
            EXPECT_EQ(VisibleWindowOf(process.Id(), "TSettingForm"), nullptr) << "nothing is registered";
            return;
        }
        if (c.shortcut != ShortcutAnswer::NotAsked) {
            const std::optional<MessageBoxSeen> box = process.WaitForMessageBox();
            ASSERT_TRUE(box.has_value());
            EXPECT_EQ(box->caption, kDropCaption);
            EXPECT_EQ(box->text, kShortcutQuestion) << Printable(box->text);
            PressButton(box->window, c.shortcut == ShortcutAnswer::Yes ? IDYES : IDNO);
        }
        const std::optional<RegistrationDialog> dialog = WaitForRegistration(process.Id());
        ASSERT_TRUE(dialog.has_value()) << "the registration dialog opens";
        EXPECT_FALSE(process.HasMessageBox()) << "no message on the way";
        EXPECT_EQ(TextOfWindow(dialog->commandEdit), c.shownCommand)
            << Printable(TextOfWindow(dialog->commandEdit));
        EXPECT_EQ(TextOfWindow(dialog->pathEdit), c.shownWorkDir)
            << Printable(TextOfWindow(dialog->pathEdit));
        EXPECT_EQ(TextOfWindow(dialog->keyEdit), "");
        if (c.typedCommand != "-") {
            SetTextOfWindow(dialog->commandEdit, c.typedCommand);
        }
        PostKey(dialog->keyEdit, c.key);
        EXPECT_TRUE(WaitUntil([&] {
            return TextOfWindow(dialog->keyEdit) == std::string(1, static_cast<char>(c.key));
        })) << "the key is chosen in the dialog";
        ClickButton(c.ending == Ending::Confirm ? dialog->ok : dialog->cancel);
        if (c.replace != Replace::NotAsked) {
            const std::optional<MessageBoxSeen> box = process.WaitForMessageBox();
            ASSERT_TRUE(box.has_value()) << "the replacement question";
            EXPECT_EQ(box->caption, "確認");
            EXPECT_EQ(box->text, kReplaceQuestion) << Printable(box->text);
            if (c.replace == Replace::Yes) {
                PressButton(box->window, IDYES);
            } else {
                // Enter as the user presses it: on the focused button, the default one.
                HWND focus = FocusOf(ThreadOf(box->window));
                ASSERT_NE(focus, nullptr);
                PostKey(focus, VK_RETURN);
            }
        }
        ASSERT_TRUE(WaitUntil([&] {
            return VisibleWindowOf(process.Id(), "TSettingForm") == nullptr && !process.HasMessageBox();
        })) << "every window of the drop has closed";
        ASSERT_TRUE(process.Settle());
        EXPECT_FALSE(process.HasMessageBox()) << "no question after the dialog";
    }

    platform::ComApartment com_;
    RunningLauncher launcher_{
        "drop", IniWith("73=C:\\old\\old.exe\r\n373=C:\\old\r\nTop=200\r\nLeft=300\r\nFormType=1\r\n")};
    ScratchDir dir_{"dropped"};
};

TEST_F(Drops, ANameCodePage932CannotWriteIsRegisteredByItsShortPathNeverWithQuestionMarks) {
    // A Korean file name: the ANSI drop would give "C:\...\???.exe", which can never start.
    const std::wstring folder = platform::Wide(dir_.File("apps"));
    const std::wstring file = folder + L"\\\uD55C\uAD6D\uC5B4.exe";
    platform::UniqueFile created(
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(created);
    created.reset();
    wchar_t shortName[MAX_PATH] = {};
    const DWORD shortLength = GetShortPathNameW(file.c_str(), shortName, MAX_PATH);
    if (shortLength == 0 || std::wstring(shortName, shortLength) == file) {
        GTEST_SKIP() << "this volume has no short names";
    }
    const std::string expected = platform::Narrow(shortName);

    LauncherProcess& process = launcher_.Process();
    ASSERT_TRUE(PostDrop(process.Id(), launcher_.Window(), file));
    const std::optional<RegistrationDialog> dialog = WaitForRegistration(process.Id());
    ASSERT_TRUE(dialog.has_value()) << "the registration dialog opens";
    EXPECT_EQ(TextOfWindow(dialog->commandEdit), expected) << Printable(TextOfWindow(dialog->commandEdit));
    EXPECT_EQ(TextOfWindow(dialog->commandEdit).find('?'), std::string::npos);
    EXPECT_TRUE(FileExists(TextOfWindow(dialog->commandEdit))) << "the registered path names the file";
    ClickButton(dialog->cancel);
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(process.Id(), "TSettingForm") == nullptr; }));
}

TEST_F(Drops, RegisterTheOneFileDroppedOnDiskAtOnceSoThatAKillLosesNothing) {
    ASSERT_TRUE(CreateShortcut(Link("tool.LNK"), Target(), WorkDir()));
    ASSERT_TRUE(CreateShortcut(Link("nodir.LNK"), Target(), ""));
    ASSERT_TRUE(
        CreateShortcut(Link("args.lnk"), Target(), WorkDir(), "--profile-directory=Work --new-window"));
    ASSERT_TRUE(WriteBytes(Link("broken.Lnk"), "this is no shortcut"));
    ASSERT_TRUE(CreateShortcutToShellFolder(Link("computer.lnk"), CSIDL_DRIVES));
    const std::string homeVariables = "%HOMEDRIVE%%HOMEPATH%";
    ASSERT_TRUE(CreateShortcut(Link("home.LNK"), Target(), homeVariables));
    const std::string home = ExpandedEnvironment(homeVariables);
    ASSERT_NE(home, homeVariables) << "the variables are set for the launcher as for this test";
    std::string longFolder = "C:\\";
    while (longFolder.size() < 290)
        longFolder += "folder-of-a-long-path\\";
    longFolder.pop_back();
    const std::string longPath = longFolder + "\\long.exe";
    ASSERT_GT(longPath.size(), 255u);
    // 表 and ソ end in the byte of a backslash in code page 932.
    const std::string japanese = "C:\\ソフト\\表.exe";

    const DropCase cases[] = {
        {"one file",
         {"C:\\Tools\\edit.exe"},
         ShortcutAnswer::NotAsked,
         "C:\\Tools\\edit.exe",
         "C:\\Tools",
         "-",
         'A',
         Ending::Confirm,
         Replace::NotAsked},
        {"two files",
         {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe"},
         ShortcutAnswer::NotAsked,
         "",
         "",
         "-",
         0,
         Ending::Confirm,
         Replace::NotAsked},
        {"a folder",
         {"C:\\Data"},
         ShortcutAnswer::NotAsked,
         "C:\\Data",
         "C:\\",
         "-",
         'B',
         Ending::Confirm,
         Replace::NotAsked},
        {"a file at a drive root",
         {"C:\\edit.exe"},
         ShortcutAnswer::NotAsked,
         "C:\\edit.exe",
         "C:\\",
         "-",
         'C',
         Ending::Confirm,
         Replace::NotAsked},
        {"a path longer than 255 bytes",
         {longPath},
         ShortcutAnswer::NotAsked,
         longPath,
         longFolder,
         "-",
         'D',
         Ending::Confirm,
         Replace::NotAsked},
        {"double-byte names",
         {japanese},
         ShortcutAnswer::NotAsked,
         japanese,
         "C:\\ソフト",
         "-",
         'K',
         Ending::Confirm,
         Replace::NotAsked},
        {"a shortcut registered as itself",
         {Link("tool.LNK")},
         ShortcutAnswer::No,
         Link("tool.LNK"),
         dir_.File("links"),
         "-",
         'E',
         Ending::Confirm,
         Replace::NotAsked},
        {"a shortcut resolved, with a working directory",
         {Link("tool.LNK")},
         ShortcutAnswer::Yes,
         Target(),
         WorkDir(),
         "-",
         'F',
         Ending::Confirm,
         Replace::NotAsked},
        {"a shortcut resolved, without a working directory",
         {Link("nodir.LNK")},
         ShortcutAnswer::Yes,
         Target(),
         "",
         "-",
         'G',
         Ending::Confirm,
         Replace::NotAsked},
        // Its arguments come along, in the quoted form the launch splits again.
        {"a shortcut resolved, with arguments",
         {Link("args.lnk")},
         ShortcutAnswer::Yes,
         "\"" + Target() + "\" --profile-directory=Work --new-window",
         WorkDir(),
         "-",
         'N',
         Ending::Confirm,
         Replace::NotAsked},
        {"a broken shortcut",
         {Link("broken.Lnk")},
         ShortcutAnswer::Yes,
         Link("broken.Lnk"),
         dir_.File("links"),
         "-",
         'H',
         Ending::Confirm,
         Replace::NotAsked},
        // Its target has no path: an empty command would empty the slot, the shortcut starts it.
        {"a shortcut to a folder without a file-system path",
         {Link("computer.lnk")},
         ShortcutAnswer::Yes,
         Link("computer.lnk"),
         dir_.File("links"),
         "-",
         'L',
         Ending::Confirm,
         Replace::NotAsked},
        {"a shortcut whose working directory names environment variables",
         {Link("home.LNK")},
         ShortcutAnswer::Yes,
         Target(),
         home,
         "-",
         'M',
         Ending::Confirm,
         Replace::NotAsked},
        {"a used key, Enter at the question",
         {"C:\\Other\\new.exe"},
         ShortcutAnswer::NotAsked,
         "C:\\Other\\new.exe",
         "C:\\Other",
         "-",
         'A',
         Ending::Confirm,
         Replace::EnterForNo},
        {"an emptied command on a used key, Yes",
         {"C:\\Other\\gone.exe"},
         ShortcutAnswer::NotAsked,
         "C:\\Other\\gone.exe",
         "C:\\Other",
         "",
         'I',
         Ending::Confirm,
         Replace::Yes},
        {"cancelled",
         {"C:\\Other\\never.exe"},
         ShortcutAnswer::NotAsked,
         "C:\\Other\\never.exe",
         "C:\\Other",
         "-",
         'J',
         Ending::Cancel,
         Replace::NotAsked},
    };
    for (const DropCase& c : cases) {
        RunDrop(c);
        if (HasFatalFailure())
            return;
    }

    // Ended as Task Manager ends it: nothing of the launcher runs after the last registration.
    launcher_.Process().End();
    ASSERT_TRUE(launcher_.Process().WaitForExit().has_value());
    const std::string ini = ReadBytes(launcher_.Ini()).value_or("");
    struct Stored {
        int key;
        std::string command;
        std::string workDir;
    };
    const Stored stored[] = {
        {'A', "C:\\Tools\\edit.exe", "C:\\Tools"},  // kept: the question was answered No
        {'B', "C:\\Data", "C:\\"},
        {'C', "C:\\edit.exe", "C:\\"},
        {'D', longPath, longFolder},
        {'E', Link("tool.LNK"), dir_.File("links")},
        {'F', Target(), WorkDir()},
        {'G', Target(), ""},
        {'H', Link("broken.Lnk"), dir_.File("links")},
        {'I', "", ""},  // removed by confirming an empty command
        {'J', "", ""},
        {'K', japanese, "C:\\ソフト"},
        {'L', Link("computer.lnk"), dir_.File("links")},
        {'M', Target(), home},
        {'N', "\"" + Target() + "\" --profile-directory=Work --new-window", WorkDir()},
    };
    for (const Stored& s : stored) {
        SCOPED_TRACE(std::string("key ") + static_cast<char>(s.key));
        EXPECT_EQ(IniValue(ini, std::to_string(s.key)).value_or("?"), s.command);
        EXPECT_EQ(IniValue(ini, std::to_string(s.key + 300)).value_or("?"), s.workDir);
    }
}

}  // namespace
}  // namespace rivo::test
