#include "platform/win32_code_page.h"

#include <windows.h>

#include "core/path_utils.h"
#include "platform/wide_text.h"

namespace rivo::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::optional<std::string> Win32CodePage::FromUtf16(std::u16string_view text) const {
    return NarrowExact(std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
}

std::optional<std::u16string> Win32CodePage::ToUtf16(std::string_view text) const {
    const std::optional<std::wstring> wide = WideExact(text);
    if (!wide)
        return std::nullopt;
    return std::u16string(wide->begin(), wide->end());
}

std::optional<std::string> RegistrableFilePath(const std::wstring& path) {
    const Win32CodePage codePage;
    const std::u16string_view wide(reinterpret_cast<const char16_t*>(path.data()), path.size());
    std::wstring shortPath;
    if (!codePage.FromUtf16(wide)) {
        // Only asked for when needed: it touches the disk, and a volume may have no short names.
        const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
        if (needed > 0) {
            shortPath.assign(needed, L'\0');
            const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
            shortPath.resize(length < needed ? length : 0);
        }
    }
    return RegistrablePath(
        wide, std::u16string_view(reinterpret_cast<const char16_t*>(shortPath.data()), shortPath.size()),
        codePage);
}

}  // namespace rivo::platform
