// Keys and clicks as a user gives them: injected through the system's input stream, or posted to
// a window's queue with the lParam the system would give them.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "platform/unique_handle.h"
#include "tests/win/driver/wait.h"

namespace rivo::test {

// Keys through the system's input stream (SendInput): they reach the low-level hooks and then
// the foreground window, as typed keys do. VK_LBUTTON and VK_RBUTTON stand for the mouse buttons,
// pressed where the pointer is.
struct InjectedKey {
    WORD vk;
    bool down;
    ULONG_PTR extraInfo = 0;
};
bool InjectKeys(const std::vector<InjectedKey>& keys);
// The default call-up: Shift and Ctrl down, then both up, nothing in between.
bool InjectCallUpChord();
bool InjectTap(WORD vk);

// Types `vk` (down and up, through SendInput) into the foreground window, which must be one of
// this thread's, and pumps until its key-up arrives here; the milliseconds that took, or nullopt
// when it did not arrive within `timeoutMs`. Once it has, the low-level hooks have seen every
// key injected before.
std::optional<double> TypeIntoOwnWindow(WORD vk, DWORD timeoutMs = kWaitMs);
// Injects `keys` and then types `sentinel` into this thread's foreground window; whether it came.
bool InjectAndSettle(std::vector<InjectedKey> keys, WORD sentinel);

// Keys posted straight to a window's queue. TranslateMessage in the receiving loop turns them
// into characters as for real keys.
void PostKey(HWND window, WORD vk);  // down, then up
void PostKeyDown(HWND window, WORD vk);
void PostKeyUp(HWND window, WORD vk);
// A key-down sent by the keyboard's auto-repeat while the key is held (previous state down).
void PostKeyRepeat(HWND window, WORD vk);
// WM_SYSKEYDOWN/UP with the Alt context bit: an access key.
void PostAltKey(HWND window, WORD vk);
// The same, to the window that has the focus in this thread.
void PostKey(WORD vk);
void PostKeyDown(WORD vk);
void PostAltKey(WORD vk);

// Runs `action` with `vk` reported as held by GetKeyState for this thread, then releases it.
// Posted messages do not change the key state; the form reads the modifiers from it.
void WithKeyHeld(WORD vk, const std::function<void()>& action);

// A push button's click, posted: it may end a modal loop, and this thread must not wait in it.
void ClickButton(HWND button);
// A left click at the centre of `window` (or at `point` in its client area), posted.
void PostClick(HWND window);
void PostClickAt(HWND window, POINT point);

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
    platform::UniqueKernelHandle thread_;
    bool suspended_ = false;
};

}  // namespace rivo::test
