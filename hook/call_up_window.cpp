#include "hook/call_up_window.h"

#include "hook/foreground.h"
#include "hook/module.h"

namespace rivo {

namespace {

constexpr wchar_t kWindowClass[] = L"RivoCallUpWindow";
constexpr UINT kCallUpMessage = WM_APP + 1;
constexpr UINT kRetryMessage = WM_APP + 2;  // our unlock key has passed the hook

}  // namespace

bool CallUpWindow::Create() noexcept {
    const HWND existing = window_.load();
    if (existing && IsWindow(existing))
        return true;
    // Gone with the thread that owned it, without ReleaseHook.
    window_ = nullptr;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = Module();
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    const HWND window =
        CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Module(), this);
    ownerThread_ = GetCurrentThreadId();
    window_.store(window);
    return window != nullptr;
}

void CallUpWindow::Destroy() noexcept {
    const HWND window = window_.exchange(nullptr);
    unlockPending_ = false;
    if (!window || !IsWindow(window))
        return;
    if (GetCurrentThreadId() == ownerThread_) {
        DestroyWindow(window);
        UnregisterClassW(kWindowClass, Module());
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
}

void CallUpWindow::Request() noexcept {
    if (const HWND window = window_.load())
        PostMessageW(window, kCallUpMessage, 0, 0);
}

void CallUpWindow::UnlockKeyPassed() noexcept {
    if (unlockPending_.exchange(false))
        if (const HWND window = window_.load())
            PostMessageW(window, kRetryMessage, 0, 0);
}

// First by asking; when Windows refuses the foreground, our unlock key is injected, and once it
// has passed the hook the foreground may be ours: one more try, and no more keys.
void CallUpWindow::CallUp(bool retry) noexcept {
    const HWND main = RecordToWindow(record_.Load().MainWindow);
    if (!main || !IsWindow(main))
        return;
    if (TryBringToForeground(CallUpTarget(main)) || retry)
        return;
    unlockPending_ = true;
    if (!SendUnlockKey())
        unlockPending_ = false;
}

LRESULT CALLBACK CallUpWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CallUpWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && (message == kCallUpMessage || message == kRetryMessage)) {
        self->CallUp(message == kRetryMessage);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace rivo
