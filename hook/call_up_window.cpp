#include "hook/call_up_window.h"

#include "hook/module.h"
#include "platform/foreground.h"

namespace rivo {

namespace {

constexpr wchar_t kWindowClass[] = L"RivoCallUpWindow";
constexpr UINT kCallUpMessage = WM_APP + 1;
constexpr UINT kRetryMessage = WM_APP + 2;  // our unlock key has passed the hook

// Generic desktop, keyboard; delivered whichever window has the focus.
bool RegisterKeyboardInput(HWND target) noexcept {
    RAWINPUTDEVICE keyboard{0x01, 0x06, target ? DWORD{RIDEV_INPUTSINK} : DWORD{RIDEV_REMOVE}, target};
    return RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
}

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
    if (window) {
        lastKeyboardInput_ = GetTickCount();
        // Without raw input (a system that refuses the registration) the watchdog goes by input
        // that no hook saw.
        watchingKeys_ = RegisterKeyboardInput(window);
    }
    return window != nullptr;
}

void CallUpWindow::Destroy() noexcept {
    const HWND window = window_.exchange(nullptr);
    unlockPending_ = false;
    if (watchingKeys_.exchange(false))
        RegisterKeyboardInput(nullptr);
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

// In core's activation order. The unlock key is the one step that waits: once it has passed the
// hook, the retry comes back here as a message of its own (UnlockKeyPassed).
void CallUpWindow::CallUp(bool retry) noexcept {
    const HWND main = RecordToWindow(record_.Load().MainWindow);
    if (!main || !IsWindow(main))
        return;
    platform::SeekForeground(platform::ForegroundTargetFor(main),
                             retry ? ActivationStep::Retry : ActivationStep::Ask, unlockPending_);
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
    // The time of the key, not of its handling: this thread may read it late. DefWindowProc
    // frees the input's data.
    if (self && message == WM_INPUT)
        self->lastKeyboardInput_ = static_cast<DWORD>(GetMessageTime());
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace rivo
