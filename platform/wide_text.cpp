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

}  // namespace

std::wstring Wide(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int narrowLength = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(kCodePage, 0, text.data(), narrowLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int converted = ::MultiByteToWideChar(kCodePage, 0, text.data(), narrowLength, wide.data(), length);
    wide.resize(converted > 0 ? static_cast<std::size_t>(converted) : 0);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    return ToCodePage(text, false).value_or(std::string());
}

std::optional<std::string> NarrowExact(std::wstring_view text) {
    return ToCodePage(text, true);
}

}  // namespace rivo::platform
