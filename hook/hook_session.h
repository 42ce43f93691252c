// The hooks of one launcher, on the library's hook thread: the keyboard and mouse hooks, the
// message-only window that acts for them outside the hook callbacks, and the watchdog that
// installs the hooks again when Windows dropped them. Everything here runs on that one thread.
#pragma once

#include <windows.h>

#include "core/chord_detector.h"
#include "hook/hook_record.h"
#include "hook/shared_record.h"
#include "ui/unique_handle.h"

namespace rivo {

class HookSession {
public:
    explicit HookSession(SharedRecord& shared) : shared_(shared) {}
    ~HookSession() { Stop(); }
    HookSession(const HookSession&) = delete;
    HookSession& operator=(const HookSession&) = delete;

    // Creates the window and installs the hooks; false when the keyboard hook could not be.
    bool Start() noexcept;
    // Dispatches the thread's messages until WM_QUIT.
    void Run() noexcept;
    void Stop() noexcept;

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) noexcept;
    static LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) noexcept;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    LRESULT OnMessage(UINT message, WPARAM wParam) noexcept;
    void OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept;
    void OnMouse(WPARAM message) noexcept;
    void TakeRecord() noexcept;
    void CallUp() noexcept;
    void RetryCallUp() noexcept;
    void OnWatchdog() noexcept;
    bool Install() noexcept;

    // A hook procedure gets no context of its own; this is the session it reports to.
    static HookSession* hooked_;

    SharedRecord& shared_;
    unsigned recordVersion_ = 0;
    ui::UniqueWindow window_;
    ui::UniqueHook keyboardHook_;
    ui::UniqueHook mouseHook_;
    HookRecord record_{};
    ChordDetector detector_;
    DWORD lastHookEvent_ = 0;
    DWORD lastInstall_ = 0;
    bool unlockPending_ = false;
};

}  // namespace rivo
