#include "platform/window_text.h"

namespace rivo::platform {

std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    // The length asked for first can be more than is copied (it may count a double-byte text's
    // Unicode form), never less.
    const int copied = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}  // namespace rivo::platform
