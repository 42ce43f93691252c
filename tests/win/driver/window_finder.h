// Finding windows of any process, this one included, and reading them as another program does:
// their text, their controls, the message boxes they show.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace rivo::test {

// The window's class name, and whether it is `name` (case ignored, as Windows compares them).
std::string ClassOf(HWND window);
bool IsClass(HWND window, std::string_view name);

// Top-level windows of a process with a class name (e.g. "#32770" for dialogs and message boxes),
// shown or not.
std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className);
// Visible top-level windows of a process, of one class (null: any).
std::vector<HWND> VisibleWindowsOf(DWORD processId, const char* className = nullptr);
// The first visible top-level window of the process with this class; null when none.
HWND VisibleWindowOf(DWORD processId, const char* className);
// The visible top-level window of the process with exactly this caption (and class, unless null);
// null when none.
HWND VisibleWindowWithCaption(DWORD processId, const std::string& caption, const char* className = nullptr);
// Visible top-level windows of a process whose owner is minimised or hidden (Windows hides what a
// minimised window owns), each described with its owner; `neverShown`, the application's own
// hidden window that owns the others, does not count.
std::vector<std::string> WindowsOwnedOutOfSight(DWORD processId, HWND neverShown);
// A visible window of this thread of class `className` owned by `owner`; null when none.
HWND FindOwnedWindow(HWND owner, const char* className);

// The text of a window of any process (WM_GETTEXT, which edit controls answer with their
// contents; GetWindowText does not ask another process's controls).
std::string TextOfWindow(HWND window);
bool SetTextOfWindow(HWND window, const std::string& text);

struct ChildWindow {
    std::string className;
    std::string text;
    int id;
    LONG style;
    HWND handle;
};
// Every child of `parent`, in the order Windows enumerates them.
std::vector<ChildWindow> ChildrenOf(HWND parent);
// Children of `parent` of one window class, top to bottom, then left to right.
std::vector<HWND> ChildrenOfClass(HWND parent, const char* className);
// The child button whose caption is `caption`; null when none.
HWND ButtonWithCaption(HWND parent, const std::string& caption);
// The first child of any class whose text is `text`; null when none.
HWND ChildWithText(HWND parent, const std::string& text);

// The window that has the keyboard focus in `thread`'s input state.
HWND FocusOf(DWORD thread);
// The thread that owns `window`.
DWORD ThreadOf(HWND window);

// What a message box shows, read before it is answered.
struct MessageBoxSeen {
    bool found = false;
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;                // its visible texts, joined by line breaks
    std::vector<std::string> texts;  // ... one by one
    std::vector<int> buttons;        // ids of its visible push buttons
    HICON icon = nullptr;
};
MessageBoxSeen ReadMessageBox(HWND box);
// Clicks the message box button with `id` (IDOK, IDYES, ...), posted.
void PressButton(HWND box, int id);
// Clicks it and waits until the box is gone; false when it stays.
bool PressButtonAndWait(HWND box, int id);

}  // namespace rivo::test
