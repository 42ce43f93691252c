#include "launcher/hook_binding.h"

#include "core/names.h"
#include "core/path_utils.h"
#include "launcher/texts.h"
#include "platform/program_dir.h"

namespace rivo {

HookBinding::~HookBinding() {
    // The library calls our window up from a thread of its own; never leave it loaded past the
    // binding (the owner unloads it once the hook is released).
    if (!released_ && library_) {
        if (auto release = LookUpHookExport<ReleaseHookFn>(library_.get(), kReleaseHookExport))
            release();
    }
}

void HookBinding::Bind(const std::string& programDir, const HookRecord& record) {
    // By its full path, the folder's own name kept where code page 932 cannot write it.
    library_.reset(LoadLibraryW(platform::WidePath(JoinPath(programDir, name::kHookLibrary)).c_str()));
    if (!library_) {
        report_(text::kDllNotFound);
    }
    // The look-ups are made even without the library, so the user learns what is missing.
    if (auto setHook = LookUpHookExport<SetHookFn>(library_.get(), kSetHookExport)) {
        setHook();
    } else {
        report_(text::kSetHookNotFound);
    }
    setHandle_ = LookUpHookExport<SetHandleFn>(library_.get(), kSetHandleExport);
    if (setHandle_ != nullptr) {
        setHandle_(&record);
    } else {
        report_(text::kSetHandleNotFound);
    }
}

void HookBinding::SetHandle(const HookRecord& record) const {
    if (setHandle_ != nullptr) {
        setHandle_(&record);
    }
}

void HookBinding::Release() {
    released_ = true;
    setHandle_ = nullptr;
    if (auto release = LookUpHookExport<ReleaseHookFn>(library_.get(), kReleaseHookExport)) {
        release();
    } else {
        report_(text::kReleaseHookNotFound);
    }
    // Unloaded here rather than by the owner: a failure is reported.
    const HMODULE library = library_.release();
    if (library == nullptr || FreeLibrary(library) == FALSE) {
        report_(text::kDllFreeFailed);
    }
}

}  // namespace rivo
