// rivo.exe started as a user starts it, in a scratch directory of its own: single instance,
// the settings file it writes, the messages about its hook library, its window after start.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/win/launcher_process.h"
#include "tests/win/scratch_dir.h"

namespace rivo::test {
namespace {

const std::vector<std::string> kLauncherFiles = {"rivo.exe", "rivo.dll", "help.html"};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class LauncherBlackBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CopyBuiltFiles(dir_.Path(), kLauncherFiles)); }

    std::string Exe() const { return dir_.File("rivo.exe"); }
    std::string Ini() const { return dir_.File("Rivo.ini"); }

    // Closes the launcher and answers OK to the messages it shows on the way out.
    std::vector<std::string> CloseAndCollectMessages(LauncherProcess& launcher) {
        std::vector<std::string> texts;
        launcher.Close();
        for (int i = 0; i < 10 && launcher.Running(); ++i) {
            // Wine's stand-alone tray takes two seconds to remove an icon.
            auto box = launcher.WaitForMessageBox(10000);
            if (!box) break;
            texts.push_back(box->caption + "|" + box->text);
            if (!PressButtonAndWait(box->window, IDOK)) break;
        }
        return texts;
    }

    ScratchDir dir_{"blackbox"};
};

TEST_F(LauncherBlackBox, SecondStartEndsWithCode1AndTheFirstRunsOn) {
    LauncherProcess first(Exe(), dir_.Path());
    ASSERT_NE(first.WaitForMainWindow(), nullptr);

    LauncherProcess second(Exe(), dir_.Path());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(10000), 1u);
    EXPECT_TRUE(WindowsOfProcess(second.Id(), "#32770").empty());

    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(WindowsOfProcess(first.Id(), "TMainForm").empty());
    EXPECT_FALSE(first.HasMessageBox());

    first.Close();
    EXPECT_EQ(first.WaitForExit(), 0u);

    // Once the first has ended, a new one starts normally.
    LauncherProcess third(Exe(), dir_.Path());
    EXPECT_NE(third.WaitForMainWindow(), nullptr);
    third.Close();
    EXPECT_EQ(third.WaitForExit(), 0u);
}

TEST_F(LauncherBlackBox, FreshStartThenCloseWritesAll775EntriesInOrder) {
    ASSERT_FALSE(FileExists(Ini()));
    LauncherProcess launcher(Exe(), "C:\\");
    ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
    EXPECT_FALSE(launcher.HasMessageBox());
    launcher.Close();
    ASSERT_EQ(launcher.WaitForExit(), 0u);

    const auto bytes = ReadBytes(Ini());
    ASSERT_TRUE(bytes.has_value()) << "the settings file is beside the program, not in the current directory";
    const std::vector<std::string> lines = Lines(*bytes);
    ASSERT_EQ(lines.size(), 776u);
    EXPECT_EQ(lines[0], "[Rivo]");
    for (int k = 0; k < 256; ++k) {
        const bool forced = k == 16 || k == 17 || k == 45 || k == 46;
        ASSERT_EQ(lines[1 + 3 * k], std::to_string(k) + "=");
        ASSERT_EQ(lines[2 + 3 * k], std::to_string(k + 300) + "=");
        ASSERT_EQ(lines[3 + 3 * k], std::to_string(k + 600) + (forced ? "=1" : "=0"));
    }
    EXPECT_EQ(lines[769], "Top=0");
    EXPECT_EQ(lines[770], "Left=0");
    EXPECT_EQ(lines[771], "Key1=16");
    EXPECT_EQ(lines[772], "Key2=17");
    EXPECT_EQ(lines[773], "SetKey=45");
    EXPECT_EQ(lines[774], "EndKey=46");
    EXPECT_EQ(lines[775], "FormType=0");
    EXPECT_FALSE(FileExists(Ini() + ".tmp"));
}

TEST_F(LauncherBlackBox, EndingSavesAndKeepsWhatItDoesNotKnow) {
    ASSERT_TRUE(WriteBytes(Ini(), "[Rivo]\r\n65=C:\\Windows\\notepad.exe\r\n365=C:\\Windows\r\nMine=1\r\n"
                                  "Top=40\r\nLeft=60\r\n[Other]\r\nx=y\r\n"));
    LauncherProcess launcher(Exe(), dir_.Path());
    ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
    launcher.Close();
    ASSERT_EQ(launcher.WaitForExit(), 0u);
    const std::string bytes = ReadBytes(Ini()).value_or("");
    const std::vector<std::string> lines = Lines(bytes);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[1], "65=C:\\Windows\\notepad.exe");
    EXPECT_EQ(lines[2], "365=C:\\Windows");
    EXPECT_EQ(lines[3], "Mine=1");
    EXPECT_EQ(lines[4], "Top=40") << "the window was placed from the file and saved from the window";
    EXPECT_EQ(lines[5], "Left=60");
    EXPECT_NE(bytes.find("[Other]\r\nx=y\r\n"), std::string::npos);
}

TEST_F(LauncherBlackBox, MissingLibraryShowsEachMessageInOrderAndTheLauncherRuns) {
    ASSERT_TRUE(DeleteFileA(dir_.File("rivo.dll").c_str()));
    LauncherProcess launcher(Exe(), dir_.Path());
    const std::vector<std::string> expected = {"Message|rivo.dllが見つかりません。",
                                               "Message|関数pSetHookが見つかりません。",
                                               "Message|関数SetHandleが見つかりません。"};
    for (const std::string& text : expected) {
        auto box = launcher.WaitForMessageBox();
        ASSERT_TRUE(box.has_value()) << "waiting for " << Printable(text);
        EXPECT_EQ(box->caption + "|" + box->text, text) << Printable(box->text);
        ASSERT_TRUE(PressButtonAndWait(box->window, IDOK));
    }
    ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(launcher.Settle());
    EXPECT_FALSE(launcher.HasMessageBox());
    EXPECT_TRUE(launcher.Running());

    EXPECT_EQ(CloseAndCollectMessages(launcher),
              (std::vector<std::string>{"Message|関数pReleaseHookが見つかりません。", "Message|rivo.dllの解放に失敗！"}));
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(FileExists(Ini())) << "the settings are saved before the library messages";
}

TEST_F(LauncherBlackBox, LibraryWithoutReleaseHookShowsOnlyThatMessageAtTheEnd) {
    ASSERT_TRUE(CopyFileA(BuildTreeFile("tests/win/fake_hook/rivo.dll").c_str(), dir_.File("rivo.dll").c_str(), FALSE));
    LauncherProcess launcher(Exe(), dir_.Path());
    ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(launcher.Settle());
    EXPECT_FALSE(launcher.HasMessageBox());
    EXPECT_EQ(CloseAndCollectMessages(launcher),
              (std::vector<std::string>{"Message|関数pReleaseHookが見つかりません。"}));
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST_F(LauncherBlackBox, FailedSaveShowsTheSaveMessageWithThePath) {
    // A directory where the temporary file would go: the save cannot create it, as in a
    // directory the user may not write to (which root under Wine can always write).
    ASSERT_TRUE(CreateDirectoryA((Ini() + ".tmp").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(Ini() + ".tmp\\keep", "x"));
    ASSERT_TRUE(WriteBytes(Ini(), "[Rivo]\r\n65=a.exe\r\n"));
    LauncherProcess launcher(Exe(), dir_.Path());
    ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
    const std::vector<std::string> messages = CloseAndCollectMessages(launcher);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "エラー|設定ファイルを保存できませんでした。\n" + Ini()) << Printable(messages[0]);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_EQ(ReadBytes(Ini()).value_or(""), "[Rivo]\r\n65=a.exe\r\n") << "the old file is untouched";
}

TEST_F(LauncherBlackBox, ProgramDirectoryAtADriveRootWorks) {
    // The test tree maps RIVO_TEST_DRIVE to an empty directory of its own.
    const std::string root = std::string(RIVO_TEST_DRIVE) + "\\";
    for (const char* file : {"rivo.exe", "rivo.dll", "help.html", "Rivo.ini"}) DeleteFileA((root + file).c_str());
    ASSERT_TRUE(CopyBuiltFiles(std::string(RIVO_TEST_DRIVE), kLauncherFiles));
    ASSERT_TRUE(WriteBytes(root + "Rivo.ini", "[Rivo]\r\n66=b.exe\r\n"));
    {
        LauncherProcess launcher(root + "rivo.exe", dir_.Path());
        ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
        EXPECT_FALSE(launcher.HasMessageBox()) << "rivo.dll is found at the root too";
        launcher.Close();
        ASSERT_EQ(launcher.WaitForExit(), 0u);
    }
    const std::string saved = ReadBytes(root + "Rivo.ini").value_or("");
    EXPECT_NE(saved.find("\r\n66=b.exe\r\n"), std::string::npos) << "loaded from and saved to the root";
    EXPECT_NE(saved.find("\r\nFormType=0\r\n"), std::string::npos);
    for (const char* file : {"rivo.exe", "rivo.dll", "help.html", "Rivo.ini"}) DeleteFileA((root + file).c_str());
}

// A window of the test's own that has the focus, as the user's editor would.
class FocusedWindow {
public:
    FocusedWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "RivoTestEditor";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "RivoTestEditor", "editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        Activate();
    }
    ~FocusedWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }
    void Activate() {
        SetForegroundWindow(window_);
        SetFocus(window_);
        PumpMessagesFor(300);
    }

private:
    HWND window_ = nullptr;
};

void Inject(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (auto [vk, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Waits, handling this thread's messages, until `window` is the foreground window.
bool BecomesForeground(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (GetForegroundWindow() == window) return true;
        PumpMessagesFor(20);
    }
    return GetForegroundWindow() == window;
}

TEST_F(LauncherBlackBox, CallUpChordBringsTheLauncherForwardButShortcutsDoNot) {
    ASSERT_TRUE(WriteBytes(Ini(), "[Rivo]\r\nFormType=1\r\nTop=100\r\nLeft=100\r\n"));
    LauncherProcess launcher(Exe(), dir_.Path());
    HWND main = launcher.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    FocusedWindow editor;
    for (int attempt = 0; attempt < 5 && GetForegroundWindow() != editor.Handle(); ++attempt) {
        editor.Activate();
        BecomesForeground(editor.Handle(), 1000);
    }
    ASSERT_EQ(GetForegroundWindow(), editor.Handle());

    // Ctrl+Shift+T is another program's shortcut: no call-up.
    Inject({{VK_CONTROL, true}, {VK_SHIFT, true}, {'T', true}, {'T', false}, {VK_SHIFT, false}, {VK_CONTROL, false}});
    PumpMessagesFor(1500);
    EXPECT_EQ(GetForegroundWindow(), editor.Handle());

    Inject({{VK_SHIFT, true}, {VK_CONTROL, true}, {VK_CONTROL, false}, {VK_SHIFT, false}});
    EXPECT_TRUE(BecomesForeground(main, 5000)) << "the chord calls the launcher up";

    // The other order of the two keys calls it up as well. The launcher may still be handling
    // its own activation when the editor asks for the foreground, so ask again until it holds.
    bool editorInFront = false;
    for (int attempt = 0; attempt < 5 && !editorInFront; ++attempt) {
        editor.Activate();
        editorInFront = BecomesForeground(editor.Handle(), 1000);
    }
    ASSERT_TRUE(editorInFront);
    Inject({{VK_CONTROL, true}, {VK_SHIFT, true}, {VK_SHIFT, false}, {VK_CONTROL, false}});
    EXPECT_TRUE(BecomesForeground(main, 5000));

    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST_F(LauncherBlackBox, UnreadableSettingsFileIsReportedAndNeverOverwritten) {
    // A directory where the file should be: it exists but cannot be read as a file.
    ASSERT_TRUE(CreateDirectoryA(Ini().c_str(), nullptr));
    LauncherProcess launcher(Exe(), dir_.Path());
    auto box = launcher.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption + "|" + box->text, "エラー|設定ファイルを読み込めませんでした。\n" + Ini()) << Printable(box->text);
    PressButton(box->window, IDOK);
    ASSERT_NE(launcher.WaitForMainWindow(), nullptr);
    const std::vector<std::string> messages = CloseAndCollectMessages(launcher);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "エラー|設定ファイルを保存できませんでした。\n" + Ini()) << Printable(messages[0]);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(GetFileAttributesA(Ini().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

struct ModeCase {
    int formType;
    bool visible;
    bool iconic;
};

class LauncherWindowMode : public LauncherBlackBox, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(LauncherWindowMode, AfterStartTheWindowIsAsAnInactiveLauncher) {
    const ModeCase& mode = GetParam();
    ASSERT_TRUE(WriteBytes(Ini(), "[Rivo]\r\nFormType=" + std::to_string(mode.formType) + "\r\n"));
    LauncherProcess launcher(Exe(), dir_.Path());
    HWND window = launcher.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(launcher.Settle());
    EXPECT_EQ(IsWindowVisible(window) != FALSE, mode.visible);
    EXPECT_EQ(IsIconic(window) != FALSE, mode.iconic);
    char caption[16] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Rivo");
    RECT client{};
    GetClientRect(window, &client);
    if (!mode.iconic) {
        EXPECT_EQ(client.right, 104);
        EXPECT_EQ(client.bottom, 53);
    }
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, LauncherWindowMode,
                         ::testing::Values(ModeCase{0, true, true}, ModeCase{1, true, false},
                                           ModeCase{2, false, false}));

}  // namespace
}  // namespace rivo::test
