// A stand-in rivo.dll that has SetHook and SetHandle but no ReleaseHook, for the launcher's
// handling of an incomplete library.
#include <windows.h>

#include "hook/hook_record.h"

extern "C" {
void WINAPI SetHook() noexcept {}
void WINAPI SetHandle(const rivo::HookRecord*) noexcept {}
}
