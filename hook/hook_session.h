// The hooks of one launcher, on the library's hook thread: the keyboard and mouse hooks, the
// chord detector they feed, and the watchdog (a thread timer) that installs
// the hooks again when Windows dropped them. Everything here runs on that one thread; the
// call-up it decides on is carried out by the CallUpWindow.
#pragma once

#include <windows.h>

#include "core/chord_detector.h"
#include "hook/call_up_window.h"
#include "hook/hook_record.h"
#include "hook/shared_record.h"
#include "platform/unique_handle.h"

namespace rivo {

class HookSession {
public:
    HookSession(SharedRecord& shared, CallUpWindow& callUp) : shared_(shared), callUp_(callUp) {}
    ~HookSession() { Stop(); }
    HookSession(const HookSession&) = delete;
    HookSession& operator=(const HookSession&) = delete;

    // Installs the hooks and starts the watchdog; false when the keyboard hook could not be.
    bool Start() noexcept;
    // Dispatches the thread's messages until WM_QUIT.
    void Run() noexcept;
    void Stop() noexcept;

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) noexcept;
    static LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) noexcept;
    static void CALLBACK WatchdogProc(HWND window, UINT message, UINT_PTR timer, DWORD time) noexcept;

    void OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept;
    void OnMouse(WPARAM message) noexcept;
    void TakeRecord() noexcept;
    void OnWatchdog() noexcept;
    bool Install() noexcept;

    // A hook procedure gets no context of its own; this is the session it reports to.
    static HookSession* hooked_;

    SharedRecord& shared_;
    CallUpWindow& callUp_;
    unsigned recordVersion_ = 0;
    UINT_PTR watchdogTimer_ = 0;
    platform::UniqueHook keyboardHook_;
    platform::UniqueHook mouseHook_;
    HookRecord record_{};
    ChordDetector detector_;
    DWORD lastHookEvent_ = 0;          // either hook
    DWORD lastKeyboardHookEvent_ = 0;  // the keyboard hook alone
    DWORD lastInstall_ = 0;
};

}  // namespace rivo
