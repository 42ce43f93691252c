// The options dialog reached the way a user reaches it in the running launcher: the first item
// of the tray icon's menu. One dialog at a time, owned by the launcher window; OK saves at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/driver/launcher_process.h"
#include "tests/win/driver/scratch_dir.h"

namespace rivo::test {
namespace {

constexpr UINT kTrayCallback = 1025;
constexpr WPARAM kTrayIconId = 100;

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

std::vector<HWND> Visible(DWORD process, const char* className) {
    std::vector<HWND> shown;
    for (HWND window : WindowsOfProcess(process, className)) {
        if (IsWindowVisible(window))
            shown.push_back(window);
    }
    return shown;
}

struct ChildSearch {
    std::string text;
    HWND found;
};

BOOL CALLBACK FindChildByText(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    if (search->text == text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND ChildWithText(HWND parent, const std::string& text) {
    ChildSearch search{text, nullptr};
    EnumChildWindows(parent, FindChildByText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The value of `key` in the settings file's bytes, empty when absent.
std::string IniValue(const std::string& bytes, const std::string& key) {
    const std::string start = "\r\n" + key + "=";
    const std::size_t at = bytes.find(start);
    if (at == std::string::npos)
        return {};
    const std::size_t value = at + start.size();
    return bytes.substr(value, bytes.find("\r\n", value) - value);
}

class OptionsMenu : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyBuiltFiles(dir_.Path(), {"rivo.exe", "rivo.dll", "help.html"})); }

    // Right button on the tray icon, then the menu's first item chosen by keyboard.
    void ChooseFirstTrayMenuItem(LauncherProcess& launcher, HWND main) {
        PostMessageA(main, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            const auto menus = Visible(launcher.Id(), "#32768");
            menu = menus.empty() ? nullptr : menus.front();
            return menu != nullptr;
        })) << "the tray menu did not open";
        // Keys posted before the menu's own loop runs would be lost. A message sent to the menu is
        // handled only once its thread pumps messages, that is, inside that loop.
        DWORD_PTR ignored = 0;
        ASSERT_NE(SendMessageTimeoutA(menu, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored), 0);
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitFor([&] { return Visible(launcher.Id(), "#32768").empty(); })) << "the menu closed";
    }

    ScratchDir dir_{"options-menu"};
};

TEST_F(OptionsMenu, FirstMenuItemOpensOneOptionsDialogWhoseOkSavesAtOnce) {
    LauncherProcess launcher(dir_.File("rivo.exe"), dir_.Path());
    const HWND main = launcher.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    ChooseFirstTrayMenuItem(launcher, main);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        const auto shown = Visible(launcher.Id(), "TOptionForm");
        dialog = shown.empty() ? nullptr : shown.front();
        return dialog != nullptr;
    })) << "設定 is the first item and opens the options dialog";
    // Owned by the application's hidden window: the launcher window minimises or hides when it
    // loses the activation, and Windows hides what a minimised window owns.
    const HWND owner = GetWindow(dialog, GW_OWNER);
    EXPECT_NE(owner, main);
    EXPECT_EQ(owner, GetWindow(main, GW_OWNER)) << "the owner of the launcher window";
    EXPECT_FALSE(IsWindowEnabled(main)) << "the launcher window waits for the dialog";

    // The tray menu is still there while the dialog is open; choosing the settings again brings
    // no second dialog over the same settings.
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }))
        << "the dialog is the active window";
    ChooseFirstTrayMenuItem(launcher, main);
    EXPECT_FALSE(WaitFor([&] { return Visible(launcher.Id(), "TOptionForm").size() > 1; }, 5000));
    EXPECT_EQ(Visible(launcher.Id(), "TOptionForm"), std::vector<HWND>{dialog});

    const HWND alwaysHidden = ChildWithText(dialog, "常に非表示。(&3)");
    const HWND ok = ChildWithText(dialog, "確定(&O)");
    ASSERT_TRUE(alwaysHidden && ok);
    PostMessageA(alwaysHidden, BM_CLICK, 0, 0);
    PostMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Visible(launcher.Id(), "TOptionForm").empty(); }));
    EXPECT_TRUE(WaitFor([&] {
        return IniValue(ReadBytes(dir_.File("Rivo.ini")).value_or(""), "FormType") == "2";
    })) << "OK writes the settings file while the launcher runs";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_FALSE(launcher.HasMessageBox());

    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

}  // namespace
}  // namespace rivo::test
