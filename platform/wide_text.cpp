#include "platform/wide_text.h"

#include <windows.h>

#include <climits>

namespace rivo::platform {

namespace {

constexpr UINT kCodePage = 932;

std::optional<std::string> ToCodePage(std::wstring_view text, bool exact) {
    if (text.empty())
        return std::string();
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const int wideLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    BOOL* seen = exact ? &usedDefault : nullptr;
    const int length = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), wideLength,
                                             nullptr, 0, "?", seen);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    if (::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), wideLength, narrow.data(), length,
                              "?", seen) != length ||
        usedDefault)
        return std::nullopt;
    return narrow;
}

std::optional<std::wstring> FromCodePage(std::string_view text, DWORD flags) {
    if (text.empty())
        return std::wstring();
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const int narrowLength = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(kCodePage, flags, text.data(), narrowLength, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (::MultiByteToWideChar(kCodePage, flags, text.data(), narrowLength, wide.data(), length) != length)
        return std::nullopt;
    return wide;
}

}  // namespace

std::wstring Wide(std::string_view text) {
    return FromCodePage(text, 0).value_or(std::wstring());
}

std::optional<std::wstring> WideExact(std::string_view text) {
    return FromCodePage(text, MB_ERR_INVALID_CHARS);
}

std::string Narrow(std::wstring_view text) {
    return ToCodePage(text, false).value_or(std::string());
}

std::optional<std::string> NarrowExact(std::wstring_view text) {
    return ToCodePage(text, true);
}

}  // namespace rivo::platform
