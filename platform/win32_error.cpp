#include "platform/win32_error.h"

#include "platform/unique_handle.h"
#include "platform/wide_text.h"

namespace rivo::platform {

std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    ScopeExit freeBuffer([buffer] { ::LocalFree(buffer); });

    std::wstring_view message(buffer ? buffer : L"", buffer ? length : 0);
    while (!message.empty() &&
           (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return "error " + std::to_string(error);
    }
    return Narrow(message);
}

std::string Win32ErrorText(std::string_view function, DWORD error) {
    std::string text(function);
    text += ": ";
    text += SystemMessage(error);
    return text;
}

}  // namespace rivo::platform
