#include "launcher/message_filter.h"

namespace rivo {

namespace {

// Not in every SDK's headers: the message that carries a dropped file's data between processes.
constexpr UINT kCopyGlobalData = 0x0049;

}  // namespace

MessageFilterFunction SystemMessageFilter() noexcept {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<MessageFilterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
}

std::vector<UINT> AllowMessagesFromLowerIntegrity(HWND window, UINT taskbarCreated,
                                                  MessageFilterFunction filter) {
    std::vector<UINT> allowed;
    if (!filter || !window)
        return allowed;
    for (const UINT message :
         {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData, taskbarCreated}) {
        if (message == 0)
            continue;
        CHANGEFILTERSTRUCT status{};
        status.cbSize = sizeof status;
        if (filter(window, message, MSGFLT_ALLOW, &status))
            allowed.push_back(message);
    }
    return allowed;
}

}  // namespace rivo
