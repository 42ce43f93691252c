#include "launcher/single_instance.h"

#include "core/names.h"
#include "platform/wide_text.h"

namespace rivo {

SingleInstance::SingleInstance() {
    SetLastError(ERROR_SUCCESS);
    mutex_.reset(CreateMutexW(nullptr, TRUE, platform::Wide(name::kMutex).c_str()));
    const DWORD error = GetLastError();
    if (mutex_ && error == ERROR_ALREADY_EXISTS) {
        anotherRunning_ = true;
    } else if (!mutex_ && error == ERROR_ACCESS_DENIED) {
        // The mutex exists but belongs to another user's launcher in this session.
        anotherRunning_ = true;
    } else {
        owned_ = static_cast<bool>(mutex_);
    }
}

SingleInstance::~SingleInstance() {
    // Released before the owner closes the handle: closing a mutex still owned abandons it.
    if (owned_) {
        ReleaseMutex(mutex_.get());
    }
}

void RestrictDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr)
        return;
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    }
}

}  // namespace rivo
