// Starting the built rivo.exe (or any program) as a user would, and seeing its windows and
// message boxes from outside the process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "tests/win/driver/wait.h"
#include "tests/win/driver/window_finder.h"

namespace rivo::test {

// A file of the build's launcher directory (rivo.exe, rivo.dll, help.html) as Windows sees it.
std::string BuiltFile(const std::string& name);
// A file of the build tree, relative to its top.
std::string BuildTreeFile(const std::string& relative);

// What a user unpacks: rivo.exe, rivo.dll and help.html.
const std::vector<std::string>& LauncherFiles();
// Copies `files` (built file names) into `directory`; false if any copy fails.
bool CopyBuiltFiles(const std::string& directory, const std::vector<std::string>& files);
// The launcher's files copied into `directory`, with `ini` as its Rivo.ini.
bool InstallLauncher(const std::string& directory, const std::string& ini);

// The hook library's message-only call-up window in a process, on the thread that set the hook;
// null while it has none.
HWND CallUpWindowOf(DWORD processId);
// Returns once the thread of `window` has handled every message posted to it before this call: a
// thread's posted messages are handled in order, whichever of its windows they are for. The
// sentinel is a posted WM_SETICON, which the window keeps for WM_GETICON; `icon` must be valid in
// the window's process (a window keeps no other).
bool PostedSentinelHandled(HWND window, HICON icon, DWORD timeoutMs = kWaitMs);

class LauncherProcess {
public:
    // Starts `exe` with `directory` as its current directory (the program must not depend on it);
    // without one, in the program's own directory, as a user's shell starts it.
    LauncherProcess(const std::string& exe, const std::string& directory);
    explicit LauncherProcess(const std::string& exe);
    // For a program in a folder whose name code page 932 cannot write.
    LauncherProcess(const std::wstring& exe, const std::wstring& directory);
    // Ends the process at once if it still runs.
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }

    // Its first top-level window of `className`, once it exists and start-up has gone idle (or a
    // message box of start-up is waiting); null when the process ends first or after `timeoutMs`.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = kWaitMs);
    // The launcher's main window, the same way.
    HWND WaitForMainWindow(DWORD timeoutMs = kWaitMs) { return WaitForWindow("TMainForm", timeoutMs); }
    // The next visible message box of the process; nullopt after `timeoutMs`.
    std::optional<MessageBoxSeen> WaitForMessageBox(DWORD timeoutMs = kWaitMs);
    // Whether a message box of the process is open now.
    bool HasMessageBox();
    // A sentinel: returns once the launcher's window thread has handled everything sent or posted
    // to it before; a "nothing happened" check asserts after it.
    bool Settle(DWORD timeoutMs = kWaitMs);
    // Asks the window found last (the launcher's main window unless told) to close, as the exit
    // menu item does.
    void Close();
    // Ends the process at once, as Windows does after WM_ENDSESSION: nothing of it runs after.
    void End();
    // Closes it and waits for the end, ending it at once if it does not; its exit code.
    std::optional<DWORD> CloseAndWait();
    // The exit code once the process has ended; nullopt after `timeoutMs`.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kWaitMs);
    bool Running();

private:
    platform::UniqueKernelHandle process_;
    DWORD id_ = 0;
    HWND main_ = nullptr;
};

}  // namespace rivo::test
