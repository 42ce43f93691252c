#include "platform/win32_error.h"

#include "platform/unique_handle.h"

namespace rivo::platform {

std::string SystemMessage(DWORD error) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    ScopeExit freeBuffer([buffer] { ::LocalFree(buffer); });

    std::string_view message(buffer ? buffer : "", buffer ? length : 0);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' ')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return "error " + std::to_string(error);
    }
    return std::string(message);
}

std::string Win32ErrorText(std::string_view function, DWORD error) {
    std::string text(function);
    text += ": ";
    text += SystemMessage(error);
    return text;
}

}  // namespace rivo::platform
