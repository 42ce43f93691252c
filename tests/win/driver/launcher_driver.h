// Driving a running rivo.exe from outside, as a user at the keyboard would: injected and posted
// keys, its dialogs found by caption and their controls read and clicked, and the reports of the
// probe program it starts. Shared by the end-to-end tests and the benchmarks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/win/driver/wait.h"
#include "ui/unique_handle.h"

namespace rivo::test {

// Keys through the system's input stream (SendInput): they reach the low-level hooks and then
// the foreground window, as typed keys do.
struct InjectedKey {
    WORD vk;
    bool down;
};
bool InjectKeys(const std::vector<InjectedKey>& keys);
// The default call-up: Shift and Ctrl down, then both up, nothing in between.
bool InjectCallUpChord();
bool InjectTap(WORD vk);

// Types `vk` (down and up, through SendInput) into the foreground window, which must be one of
// this thread's, and pumps until its key-up arrives here; the milliseconds that took, or nullopt
// when it did not arrive within `timeoutMs`.
std::optional<double> TypeIntoOwnWindow(WORD vk, DWORD timeoutMs = kWaitMs);

// Holds the thread that owns `window`, of any process, suspended until destroyed: a window
// thread busy with a launch, a save or a modal box, as the rest of the system sees it.
class SuspendedWindowThread {
public:
    explicit SuspendedWindowThread(HWND window);
    ~SuspendedWindowThread();
    SuspendedWindowThread(const SuspendedWindowThread&) = delete;
    SuspendedWindowThread& operator=(const SuspendedWindowThread&) = delete;

    bool Suspended() const { return suspended_; }

private:
    ui::UniqueKernelHandle thread_;
    bool suspended_ = false;
};

// Keys posted straight to a window's queue, with the lParam the system would give them.
void PostKeyDown(HWND window, WORD vk);
void PostKeyUp(HWND window, WORD vk);
// A key-down sent by the keyboard's auto-repeat while the key is held (previous state down).
void PostKeyRepeat(HWND window, WORD vk);
void PostTap(HWND window, WORD vk);

// Visible top-level windows of a process, any class.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// Visible top-level windows of a process whose owner is minimised or hidden (Windows hides what a
// minimised window owns), each described with its owner; `neverShown`, the application's own
// hidden window that owns the others, does not count.
std::vector<std::string> WindowsOwnedOutOfSight(DWORD processId, HWND neverShown);
// The visible top-level window of the process with exactly this caption; null when none.
HWND VisibleWindowWithCaption(DWORD processId, const std::string& caption);

// The text of a window of any process (WM_GETTEXT, which edit controls answer with their
// contents; GetWindowText does not ask another process's controls).
std::string TextOfWindow(HWND window);
bool SetTextOfWindow(HWND window, const std::string& text);
// Child windows of `parent` with the window class `className`, top to bottom, then left to right.
std::vector<HWND> ChildrenOfClass(HWND parent, const char* className);
// The child button whose caption is `caption`; null when none.
HWND ButtonWithCaption(HWND parent, const std::string& caption);
// Clicks a push button of any process (BM_CLICK, posted so this thread never waits for it).
void ClickButton(HWND button);

// What the probe program wrote: where it ran, and its command line as given.
struct ProbeReport {
    std::string directory;
    std::string commandLine;
};
std::vector<ProbeReport> ProbeReports(const std::string& directory);
// How many processes of this executable name (e.g. "launch_probe.exe") are running now.
int ProcessesNamed(const char* exeName);

// A path compared as Windows compares them: case-insensitive, one trailing backslash ignored
// except after a drive letter.
bool SamePath(const std::string& a, const std::string& b);
// The program named by a command line (first token, quotes removed) and whether anything follows.
std::string ProgramOfCommandLine(const std::string& commandLine, std::string* rest = nullptr);

// The value of `key` in an INI file's bytes (its first "key=" line); nullopt when there is none.
std::optional<std::string> IniValue(const std::string& bytes, const std::string& key);

}  // namespace rivo::test
