#include "platform/environment.h"

#include <windows.h>

namespace rivo::platform {

std::wstring ExpandEnvironment(const std::wstring& text) {
    if (text.find(L'%') == std::wstring::npos)
        return text;
    std::wstring expanded(text.size() + 64, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD needed =
            ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return text;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);  // the count includes the terminator
            return expanded;
        }
        expanded.assign(needed, L'\0');
    }
    return text;
}

}  // namespace rivo::platform
