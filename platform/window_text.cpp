#include "platform/window_text.h"

#include "platform/wide_text.h"

namespace rivo::platform {

std::wstring WideWindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string WindowText(HWND window) {
    return Narrow(WideWindowText(window));
}

void SetText(HWND window, std::string_view text) {
    ::SetWindowTextW(window, Wide(text).c_str());
}

}  // namespace rivo::platform
