// Starting the built rivo.exe as a user would, finding its windows and answering its message
// boxes from outside the process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/win/driver/wait.h"

namespace rivo::test {

// A file of the build's launcher directory (rivo.exe, rivo.dll, help.html) as Windows sees it.
std::string BuiltFile(const std::string& name);
// A file of the build tree, relative to its top.
std::string BuildTreeFile(const std::string& relative);

// Copies `files` (built file names) into `directory`; false if any copy fails.
bool CopyBuiltFiles(const std::string& directory, const std::vector<std::string>& files);

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

class LauncherProcess {
public:
    // Starts `exe` with `directory` as its current directory (the program must not depend on it).
    LauncherProcess(const std::string& exe, const std::string& directory);
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }

    // The launcher's main window, once it exists and start-up has gone idle (or a message box
    // of start-up is waiting); null after `timeoutMs`.
    HWND WaitForMainWindow(DWORD timeoutMs = kWaitMs);
    // The next visible message box of the process; nullopt after `timeoutMs`.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = kWaitMs);
    // Whether a message box of the process is open now.
    bool HasMessageBox();
    // A sentinel: returns once the launcher's window thread has handled everything sent or posted
    // to it before; a "nothing happened" check asserts after it.
    bool Settle(DWORD timeoutMs = kWaitMs);
    // Asks the main window to close (as the exit menu item does).
    void Close();
    // Ends the process at once, as Windows does after WM_ENDSESSION: nothing of it runs after.
    void End();
    // The exit code once the process has ended; nullopt after `timeoutMs`.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kWaitMs);
    bool Running();

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND main_ = nullptr;
};

// Clicks the message box button with `id` (IDOK, IDYES, ...).
void PressButton(HWND box, int id);
// Clicks it and waits until the box is gone; false when it stays.
bool PressButtonAndWait(HWND box, int id, DWORD timeoutMs = kWaitMs);

// Top-level windows of a process with a class name (e.g. "#32770" for dialogs and message boxes).
std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className);

}  // namespace rivo::test
