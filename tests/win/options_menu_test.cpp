// The options dialog reached the way a user reaches it in the running launcher: the first item
// of the tray icon's menu. One dialog at a time, owned by the launcher window; OK saves at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/driver/launcher_process.h"
#include "tests/win/driver/running_launcher.h"
#include "tests/win/driver/scratch_dir.h"

namespace rivo::test {
namespace {

class OptionsMenu : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyBuiltFiles(dir_.Path(), LauncherFiles())); }

    // Right button on the tray icon, then the menu's first item chosen by keyboard.
    void ChooseFirstTrayMenuItem(LauncherProcess& launcher, HWND main) {
        PostMessageA(main, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (menu = VisibleWindowOf(launcher.Id(), "#32768")) != nullptr; }))
            << "the tray menu did not open";
        // Keys posted before the menu's own loop runs would be lost. A message sent to the menu is
        // handled only once its thread pumps messages, that is, inside that loop.
        DWORD_PTR ignored = 0;
        ASSERT_NE(SendMessageTimeoutA(menu, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored), 0);
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitUntil([&] { return VisibleWindowOf(launcher.Id(), "#32768") == nullptr; }))
            << "the menu closed";
    }

    ScratchDir dir_{"options-menu"};
};

TEST_F(OptionsMenu, FirstMenuItemOpensOneOptionsDialogWhoseOkSavesAtOnce) {
    LauncherProcess launcher(dir_.File("rivo.exe"), dir_.Path());
    const HWND main = launcher.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    ChooseFirstTrayMenuItem(launcher, main);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (dialog = VisibleWindowOf(launcher.Id(), "TOptionForm")) != nullptr;
    })) << "設定 is the first item and opens the options dialog";
    // Owned by the application's hidden window: the launcher window minimises or hides when it
    // loses the activation, and Windows hides what a minimised window owns.
    const HWND owner = GetWindow(dialog, GW_OWNER);
    EXPECT_NE(owner, main);
    EXPECT_EQ(owner, GetWindow(main, GW_OWNER)) << "the owner of the launcher window";
    EXPECT_FALSE(IsWindowEnabled(main)) << "the launcher window waits for the dialog";

    // The tray menu is still there while the dialog is open; choosing the settings again brings
    // no second dialog over the same settings.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }))
        << "the dialog is the active window";
    ChooseFirstTrayMenuItem(launcher, main);
    ASSERT_TRUE(launcher.Settle());
    EXPECT_EQ(VisibleWindowsOf(launcher.Id(), "TOptionForm"), std::vector<HWND>{dialog});

    const HWND alwaysHidden = ChildWithText(dialog, "常に非表示。(&3)");
    const HWND ok = ChildWithText(dialog, "確定(&O)");
    ASSERT_TRUE(alwaysHidden && ok);
    PostMessageA(alwaysHidden, BM_CLICK, 0, 0);
    PostMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindowOf(launcher.Id(), "TOptionForm") == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] {
        return IniValue(ReadBytes(dir_.File("Rivo.ini")).value_or(""), "FormType") == "2";
    })) << "OK writes the settings file while the launcher runs";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(launcher.HasMessageBox());

    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

// Deletions in the command list reach the file when the list closes, whatever the options dialog
// answers afterwards: the launcher ended at once after Cancel, as Task Manager ends it, keeps them.
TEST_F(OptionsMenu, CommandListDeletionsAreOnDiskWhenTheListCloses) {
    const std::string ini = dir_.File("Rivo.ini");
    ASSERT_TRUE(WriteBytes(ini, IniWith("65=a.exe\r\n365=C:\\a\r\n66=b.exe\r\n")));
    LauncherProcess launcher(dir_.File("rivo.exe"), dir_.Path());
    const HWND main = launcher.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ChooseFirstTrayMenuItem(launcher, main);
    HWND dialog = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (dialog = VisibleWindowOf(launcher.Id(), "TOptionForm")) != nullptr; }));
    const HWND view = ChildWithText(dialog, "一覧表示(&V)");
    const HWND cancel = ChildWithText(dialog, "取消(&C)");
    ASSERT_TRUE(view && cancel);
    PostMessageA(view, BM_CLICK, 0, 0);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (list = VisibleWindowOf(launcher.Id(), "TViewForm")) != nullptr; }));
    const std::vector<HWND> rows = ChildrenOfClass(list, "SysListView32");
    ASSERT_EQ(rows.size(), 1u);
    PostKey(rows[0], VK_HOME);  // the first row, a.exe
    PostKey(rows[0], VK_DELETE);
    const auto question = launcher.WaitForMessageBox();
    ASSERT_TRUE(question.has_value());
    EXPECT_EQ(question->text, "コマンド：a.exe\nを削除します。") << Printable(question->text);
    ASSERT_TRUE(PressButtonAndWait(question->window, IDYES));
    ASSERT_TRUE(launcher.Settle());
    EXPECT_EQ(IniValue(ReadBytes(ini).value_or(""), "65"), "a.exe")
        << "saved when the list closes, not before";
    PostKey(rows[0], VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(ReadBytes(ini).value_or(""), "65") == ""; }))
        << "the deletion is on disk once the list has closed";
    EXPECT_NE(VisibleWindowOf(launcher.Id(), "TOptionForm"), nullptr) << "before the dialog's answer";

    PostMessageA(cancel, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindowOf(launcher.Id(), "TOptionForm") == nullptr; }));
    ASSERT_TRUE(launcher.Settle());
    EXPECT_FALSE(launcher.HasMessageBox());
    launcher.End();
    ASSERT_TRUE(launcher.WaitForExit().has_value());
    const std::string saved = ReadBytes(ini).value_or("");
    EXPECT_EQ(IniValue(saved, "65"), "");
    EXPECT_EQ(IniValue(saved, "365"), "");
    EXPECT_EQ(IniValue(saved, "66"), "b.exe");
}

}  // namespace
}  // namespace rivo::test
