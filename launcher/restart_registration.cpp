#include "launcher/restart_registration.h"

#include <windows.h>

namespace rivo {

void RegisterForRestart() noexcept {
    using RegisterApplicationRestartFn = HRESULT(WINAPI*)(PCWSTR commandLine, DWORD flags);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!kernel32)
        return;
    const auto registerRestart = reinterpret_cast<RegisterApplicationRestartFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "RegisterApplicationRestart")));
    // No command line: the launcher takes none. The result changes nothing for the user.
    if (registerRestart)
        registerRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

}  // namespace rivo
