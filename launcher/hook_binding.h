// The launcher's side of rivo.dll: loading it from the program's own directory, starting the
// hook, handing it the call-up keys and releasing it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "hook/hook_record.h"
#include "platform/unique_handle.h"

namespace rivo {

class HookBinding {
public:
    // Shows one of the binding's messages to the user.
    using Report = std::function<void(const char* text)>;

    explicit HookBinding(Report report) : report_(std::move(report)) {}
    ~HookBinding();
    HookBinding(const HookBinding&) = delete;
    HookBinding& operator=(const HookBinding&) = delete;

    // Loads rivo.dll by its full path in `programDir` (never through the search path), calls
    // SetHook and hands it `record` through SetHandle. Every failure is reported and the launcher
    // goes on without the missing piece.
    void Bind(const std::string& programDir, const HookRecord& record);
    // Hands new call-up keys to the library, when it has SetHandle.
    void SetHandle(const HookRecord& record) const;
    // Calls ReleaseHook and unloads the library, reporting what is missing or fails.
    void Release();

    bool Loaded() const noexcept { return static_cast<bool>(library_); }

private:
    Report report_;
    platform::UniqueModule library_;
    SetHandleFn setHandle_ = nullptr;
    bool released_ = false;
};

}  // namespace rivo
