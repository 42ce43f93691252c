#include "platform/win32_code_page.h"

#include <windows.h>

#include <climits>

#include "core/path_utils.h"

namespace rivo::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

std::optional<std::string> Win32CodePage::FromUtf16(std::u16string_view text) const {
    if (text.empty()) {
        return std::string();
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wideLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, wideLength, nullptr, 0,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, wideLength, narrow.data(), length, nullptr,
                            &usedDefault) != length ||
        usedDefault) {
        return std::nullopt;
    }
    return narrow;
}

std::optional<std::u16string> Win32CodePage::ToUtf16(std::string_view text) const {
    if (text.empty()) {
        return std::u16string();
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const int narrowLength = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(), narrowLength, nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::u16string wide(static_cast<std::size_t>(length), u'\0');
    if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(), narrowLength,
                            reinterpret_cast<wchar_t*>(wide.data()), length) != length) {
        return std::nullopt;
    }
    return wide;
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
