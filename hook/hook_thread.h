// The thread rivo.dll runs its hooks on. Every key in the system waits for a low-level hook's
// thread, and Windows drops the hook when that thread is slow to answer; the launcher's window
// thread launches programs, saves and shows modal boxes. So the hooks get a thread of their own
// whose only work is the hook callbacks; the call-up they decide on runs on SetHook's caller's
// thread (CallUpWindow).
#pragma once

#include <windows.h>

#include <atomic>

#include "hook/call_up_window.h"
#include "hook/hook_record.h"
#include "hook/shared_record.h"
#include "platform/unique_handle.h"

namespace rivo {

class HookThread {
public:
    HookThread() = default;
    HookThread(const HookThread&) = delete;
    HookThread& operator=(const HookThread&) = delete;

    // The three exports, from any thread. Start returns once the hooks are in place (or the
    // thread failed to place them); the call-up is carried out on its caller's thread, which
    // must pump messages. Stop returns once the thread has ended.
    void Start() noexcept;
    void Stop() noexcept;
    void SetRecord(const HookRecord& record) noexcept { record_.Store(record); }

    // FreeLibrary without Stop: the loader lock is held, so the thread is not waited for.
    void Unload() noexcept;
    // The process is ending: the thread is already gone, so nothing is closed.
    void Abandon() noexcept;

private:
    struct Launch;
    static DWORD WINAPI Main(void* parameter) noexcept;
    static void RunSession(SharedRecord& record, CallUpWindow& callUp, Launch& launch) noexcept;

    SharedRecord record_;
    CallUpWindow callUp_{record_};
    SRWLOCK lock_ = SRWLOCK_INIT;  // one Start or Stop at a time
    platform::UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
    // Set by the thread when, being unloaded, it has finished and waits to be terminated.
    platform::UniqueKernelHandle parked_;
    std::atomic<bool> unloading_{false};
};

}  // namespace rivo
