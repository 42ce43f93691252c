// System libraries that only some windows need, loaded when one of those windows is first used
// instead of at start: comdlg32 and comctl32 alone cost the launcher tens of milliseconds of its
// start, and most runs never open the open-file dialog or the command list.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace rivo::platform {

class SystemLibrary {
public:
    // By its name alone, so that the manifest's side-by-side version (comctl32 6) is the one loaded.
    explicit SystemLibrary(const wchar_t* name) : module_(::LoadLibraryW(name)) {}

    // The exported function `name` as a `Fn` pointer; null when the library or the export is missing.
    template <class Fn>
    Fn Function(const char* name) const {
        if (!module_)
            return nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), name)));
    }

private:
    UniqueModule module_;
};

}  // namespace rivo::platform
