#include "hook/hook_thread.h"

#include "hook/hook_session.h"

namespace rivo {

namespace {

// The thread never blocks for long; one that has not ended by then is stuck, and is left for
// the unloading of the library to end.
constexpr DWORD kStopTimeoutMs = 5000;
constexpr DWORD kUnloadTimeoutMs = 2000;
// The thread runs hook callbacks and a message loop, nothing deep; the default reservation
// (2 MB with this tool chain) is committed whole by some systems, Wine among them.
constexpr SIZE_T kStackReserve = 256 * 1024;

}  // namespace

// What the starting thread hands the new one; valid until `ready` is set.
struct HookThread::Launch {
    HookThread* owner;
    HDESK desktop;
    HANDLE ready;
    bool running;
};

void HookThread::Start() noexcept {
    AcquireSRWLockExclusive(&lock_);
    const bool callUpReady = callUp_.Create();
    if (callUpReady && (!thread_ || WaitForSingleObject(thread_.get(), 0) != WAIT_TIMEOUT)) {
        thread_.reset();
        if (!parked_)
            parked_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const platform::UniqueKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        Launch launch{this, GetThreadDesktop(GetCurrentThreadId()), ready.get(), false};
        if (ready && parked_)
            thread_.reset(CreateThread(nullptr, kStackReserve, &Main, &launch,
                                       STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId_));
        if (thread_) {
            const HANDLE started[] = {ready.get(), thread_.get()};
            const DWORD which = WaitForMultipleObjects(2, started, FALSE, INFINITE);
            if (which != WAIT_OBJECT_0 || !launch.running) {
                WaitForSingleObject(thread_.get(), INFINITE);
                thread_.reset();
            }
        }
    }
    ReleaseSRWLockExclusive(&lock_);
}

void HookThread::Stop() noexcept {
    AcquireSRWLockExclusive(&lock_);
    if (thread_) {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        if (WaitForSingleObject(thread_.get(), kStopTimeoutMs) != WAIT_TIMEOUT)
            thread_.reset();
    }
    callUp_.Destroy();
    ReleaseSRWLockExclusive(&lock_);
}

// FreeLibrary holds the loader lock while it calls DllMain, and a thread needs that lock to end
// (every library is told of its end), so waiting here for the thread's end would never return.
// Instead the thread finishes its work (hooks removed, window destroyed), then signals and starts
// waiting in one call, so that it runs no more code of this library; it is terminated there,
// holding nothing, and its termination needs no loader lock.
void HookThread::Unload() noexcept {
    if (thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT) {
        unloading_ = true;
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        const HANDLE finished[] = {parked_.get(), thread_.get()};
        WaitForMultipleObjects(2, finished, FALSE, kUnloadTimeoutMs);
        // Also when it did not finish in time: the library's code is about to be unmapped, and a
        // thread still running it would crash the process.
        TerminateThread(thread_.get(), 0);
        WaitForSingleObject(thread_.get(), kUnloadTimeoutMs);
    }
    thread_.reset();
    parked_.reset();
    callUp_.Destroy();
}

void HookThread::Abandon() noexcept {
    thread_.release();
    parked_.release();
}

DWORD WINAPI HookThread::Main(void* parameter) noexcept {
    auto& launch = *static_cast<Launch*>(parameter);
    HookThread& self = *launch.owner;
    // A low-level hook sees the input of the desktop of the thread that installed it: the
    // desktop of SetHook's caller, which a new thread is not necessarily on.
    if (launch.desktop)
        SetThreadDesktop(launch.desktop);
    // Every key in the system waits for this thread, and Windows removes the hook when it answers
    // late: on a busy machine it is scheduled before the programs of normal priority.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    RunSession(self.record_, self.callUp_, launch);
    if (self.unloading_) {
        // A thread's own handle is signalled only at its end: this waits until it is terminated.
        SignalObjectAndWait(self.parked_.get(), GetCurrentThread(), INFINITE, FALSE);
    }
    return 0;
}

void HookThread::RunSession(SharedRecord& record, CallUpWindow& callUp, Launch& launch) noexcept {
    HookSession session(record, callUp);
    const bool running = session.Start();
    launch.running = running;
    SetEvent(launch.ready);  // `launch` is gone from here on
    if (running)
        session.Run();
}

}  // namespace rivo
