// The keyboard hook of one launcher: the hook, the message-only window that acts for it outside
// the hook callback, and the watchdog that installs the hook again when Windows dropped it.
#pragma once

#include <windows.h>

#include "core/chord_detector.h"
#include "hook/hook_record.h"
#include "ui/unique_handle.h"

namespace rivo {

class HookSession {
public:
    HookSession() = default;
    HookSession(const HookSession&) = delete;
    HookSession& operator=(const HookSession&) = delete;

    // The three exports. Start and Stop belong on the thread that owns the hook; Stop and
    // SetRecord from any other thread are handed to that thread.
    void Start() noexcept;
    void Stop() noexcept;
    void SetRecord(const HookRecord& record) noexcept;

    // The library is being unloaded: nothing of ours may stay reachable, the hook least of all.
    void Unload() noexcept;
    // The process is ending: other threads are gone, so nothing is closed.
    void Abandon() noexcept;

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) noexcept;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept;
    void CallUp() noexcept;
    void RetryCallUp() noexcept;
    void OnWatchdog() noexcept;
    bool Install() noexcept;
    void ApplyRecord(const HookRecord& record) noexcept;
    void StopHere() noexcept;
    bool OnOwnerThread() const noexcept { return GetCurrentThreadId() == ownerThread_; }

    // A hook procedure gets no context of its own; this is the session it reports to.
    static HookSession* hooked_;

    DWORD ownerThread_ = 0;
    ui::UniqueWindow window_;
    ui::UniqueHook hook_;
    HookRecord record_{};
    ChordDetector detector_;
    DWORD lastHookEvent_ = 0;
    DWORD lastInstall_ = 0;
    bool unlockPending_ = false;
};

}  // namespace rivo
