// Where the call-up is carried out: a message-only window on the thread that called SetHook,
// the launcher's window thread. The hook thread only decides and posts here, so no key ever
// waits for the foreground switch, and the switch runs on the thread that owns the launcher's
// windows: SetForegroundWindow activates a window of the calling thread at once, while one of
// another thread is activated only whenever that thread reads its messages again. Its modal
// loops (dialogs, message boxes, menus) dispatch these messages like any window message.
//
// The same window receives the system's keyboard input as raw input: the keyboard evidence the
// hook thread's watchdog judges the keyboard hook by. Not on the hook thread, which every key in
// the system waits for: reading a hardware message for a window takes the process's window
// bookkeeping, which the launcher's window thread may hold (under Wine, a window thread stopped
// inside a window call holds a lock of the whole process, and the keys waited the full hook
// timeout). Read late here, raw input only delays the judgement: each message carries the time
// of its key.
#pragma once

#include <windows.h>

#include <atomic>

#include "hook/shared_record.h"

namespace rivo {

class CallUpWindow {
public:
    explicit CallUpWindow(SharedRecord& record) : record_(record) {}
    CallUpWindow(const CallUpWindow&) = delete;
    CallUpWindow& operator=(const CallUpWindow&) = delete;

    // Creates the window on the calling thread unless one exists; false when it cannot.
    bool Create() noexcept;
    // From the window's thread it is destroyed; from any other thread (which cannot destroy it)
    // it is left to its thread with a window procedure outside this library, so that the library
    // can be unloaded under it.
    void Destroy() noexcept;

    // From the hook thread, never waiting: the chord was typed; our unlock key went by.
    void Request() noexcept;
    void UnlockKeyPassed() noexcept;

    // From any thread: whether the system's keyboard input is seen here (raw input could be
    // registered), and the time of the latest key, or of the window's creation if later.
    bool WatchesKeyboardInput() const noexcept { return watchingKeys_.load(); }
    DWORD LastKeyboardInput() const noexcept { return lastKeyboardInput_.load(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void CallUp(bool retry) noexcept;

    SharedRecord& record_;
    std::atomic<HWND> window_{nullptr};
    DWORD ownerThread_ = 0;
    std::atomic<bool> unlockPending_{false};
    std::atomic<bool> watchingKeys_{false};
    std::atomic<DWORD> lastKeyboardInput_{0};
};

}  // namespace rivo
