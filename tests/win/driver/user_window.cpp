#include "tests/win/driver/user_window.h"

#include "tests/win/driver/wait.h"

namespace rivo::test {

namespace {

constexpr wchar_t kClassName[] = L"RivoTestUserWindow";

long keyUps = 0;

LRESULT CALLBACK UserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_KEYUP || message == WM_SYSKEYUP)
        ++keyUps;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

UserWindow::UserWindow(RECT bounds, bool topmost) : bounds_(bounds) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = UserWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);  // fails harmlessly once registered
    window_.reset(CreateWindowExW(topmost ? WS_EX_TOPMOST : 0, kClassName, L"user", WS_POPUP | WS_VISIBLE,
                                  bounds.left, bounds.top, bounds.right - bounds.left,
                                  bounds.bottom - bounds.top, nullptr, nullptr, wc.hInstance, nullptr));
}

POINT UserWindow::Inside() const {
    return {(bounds_.left + bounds_.right) / 2, (bounds_.top + bounds_.bottom) / 2};
}

bool UserWindow::TakeForeground() const {
    // A launcher still handling its own activation may take the foreground back once the request
    // is granted: ask again until it holds.
    DWORD asked = 0;
    return WaitUntil([&] {
        if (GetForegroundWindow() == window_.get())
            return true;
        if (asked == 0 || GetTickCount() - asked >= 500) {
            asked = GetTickCount() | 1;
            SetForegroundWindow(window_.get());
            SetFocus(window_.get());
        }
        return false;
    });
}

long UserWindow::KeyUps() {
    return keyUps;
}

}  // namespace rivo::test
