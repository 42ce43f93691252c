// rivo.dll's entry points. rivo.def alone exports them, so they carry the undecorated names
// (no SetHandle@4 beside SetHandle); the calling convention is the one the launcher's function
// types in hook_record.h name.
#include <windows.h>

#include <type_traits>

#include "hook/hook_record.h"
#include "hook/hook_thread.h"

namespace {

// The process has one launcher and so one hook thread. A low-level hook runs in the process
// that installed it, so nothing is shared with other processes.
rivo::HookThread hookThread;

}  // namespace

extern "C" {

void WINAPI SetHook() noexcept {
    hookThread.Start();
}

void WINAPI SetHandle(const rivo::HookRecord* record) noexcept {
    if (record)
        hookThread.SetRecord(*record);
}

void WINAPI ReleaseHook() noexcept {
    hookThread.Stop();
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    if (reason == DLL_PROCESS_DETACH) {
        // FreeLibrary without ReleaseHook would leave the hook thread running code that is no
        // longer mapped. At process exit (reserved set) other threads are already gone.
        if (reserved) {
            hookThread.Abandon();
        } else {
            hookThread.Unload();
        }
    }
    return TRUE;
}

}  // extern "C"

// A mismatch between these and the launcher's types would unbalance the stack on i686.
static_assert(std::is_convertible_v<decltype(&SetHook), rivo::SetHookFn>);
static_assert(std::is_convertible_v<decltype(&SetHandle), rivo::SetHandleFn>);
static_assert(std::is_convertible_v<decltype(&ReleaseHook), rivo::ReleaseHookFn>);
