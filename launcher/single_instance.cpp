#include "launcher/single_instance.h"

#include "launcher/names.h"

namespace rivo {

SingleInstance::SingleInstance() {
    SetLastError(ERROR_SUCCESS);
    mutex_ = CreateMutexA(nullptr, TRUE, name::kMutex);
    const DWORD error = GetLastError();
    if (mutex_ != nullptr && error == ERROR_ALREADY_EXISTS) {
        anotherRunning_ = true;
    } else if (mutex_ == nullptr && error == ERROR_ACCESS_DENIED) {
        // The mutex exists but belongs to another user's launcher in this session.
        anotherRunning_ = true;
    } else {
        owned_ = mutex_ != nullptr;
    }
}

SingleInstance::~SingleInstance() {
    if (mutex_ == nullptr) return;
    if (owned_) ReleaseMutex(mutex_);
    CloseHandle(mutex_);
}

void RestrictDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    if (kernel32 == nullptr) return;
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
}

}  // namespace rivo
