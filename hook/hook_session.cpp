#include "hook/hook_session.h"

#include "core/hook_watchdog.h"
#include "hook/foreground.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace rivo {

namespace {

constexpr char kWindowClass[] = "RivoHookWindow";

// Private messages of the message-only window. It has its own window procedure, so the
// launcher's modal loops (dialogs, message boxes, menus) dispatch these like any message; a
// thread message would be dropped by them.
constexpr UINT kCallUpMessage = WM_APP + 1;
constexpr UINT kRetryMessage = WM_APP + 2;      // our unlock key has passed the hook
constexpr UINT kSetRecordMessage = WM_APP + 3;  // lParam: const HookRecord*
constexpr UINT kStopMessage = WM_APP + 4;

constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kWatchdogPeriod = 1000;

HINSTANCE Module() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool RegisterWindowClass(WNDPROC procedure) noexcept {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Module();
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool SystemKeyDown(std::uint32_t vk) {
    return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0;
}

}  // namespace

HookSession* HookSession::hooked_ = nullptr;

void HookSession::Start() noexcept {
    if (window_ && IsWindow(window_.get()))
        return;
    // A thread that ended without ReleaseHook took its window and hook with it.
    StopHere();
    if (!RegisterWindowClass(&WindowProc))
        return;
    window_.reset(CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Module(), this));
    if (!window_)
        return;
    ownerThread_ = GetCurrentThreadId();
    hooked_ = this;
    if (!Install()) {
        StopHere();
        return;
    }
    SetTimer(window_.get(), kWatchdogTimer, kWatchdogPeriod, nullptr);
}

void HookSession::Stop() noexcept {
    if (window_ && !OnOwnerThread() && IsWindow(window_.get())) {
        SendMessageA(window_.get(), kStopMessage, 0, 0);
        return;
    }
    StopHere();
}

void HookSession::SetRecord(const HookRecord& record) noexcept {
    if (window_ && !OnOwnerThread() && IsWindow(window_.get())) {
        SendMessageA(window_.get(), kSetRecordMessage, 0, reinterpret_cast<LPARAM>(&record));
        return;
    }
    ApplyRecord(record);
}

void HookSession::Unload() noexcept {
    hooked_ = nullptr;
    hook_.reset();
    if (OnOwnerThread()) {
        StopHere();
    } else {
        // Another thread's window cannot be destroyed from here; it goes with its thread.
        window_.release();
    }
}

void HookSession::Abandon() noexcept {
    hooked_ = nullptr;
    hook_.release();
    window_.release();
}

void HookSession::StopHere() noexcept {
    hooked_ = nullptr;
    hook_.reset();
    if (window_)
        KillTimer(window_.get(), kWatchdogTimer);
    window_.reset();
    UnregisterClassA(kWindowClass, Module());
    ownerThread_ = 0;
    unlockPending_ = false;
    detector_.Reset();
}

// The new hook is in place before the old one goes, so no key slips between them; an event
// seen by both is harmless (a second down reads as auto-repeat, a second up as a stray up).
// Stamped before trying, so that a failing installation is not retried on every watchdog tick.
bool HookSession::Install() noexcept {
    lastInstall_ = GetTickCount();
    ui::UniqueHook fresh(SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, Module(), 0));
    if (!fresh)
        return false;
    hook_ = std::move(fresh);
    lastHookEvent_ = lastInstall_;
    detector_.Reset();
    return true;
}

void HookSession::ApplyRecord(const HookRecord& record) noexcept {
    record_ = record;
    detector_.SetKeys(record.Key1, record.Key2);
}

// Runs for every key in the system while the user waits for it: no blocking call, nothing
// but bookkeeping and one PostMessage, and every key is passed on.
LRESULT CALLBACK HookSession::KeyboardProc(int code, WPARAM message, LPARAM data) noexcept {
    if (code == HC_ACTION && hooked_)
        hooked_->OnKey(message, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data));
    return CallNextHookEx(nullptr, code, message, data);
}

void HookSession::OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept {
    lastHookEvent_ = GetTickCount();
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (key.dwExtraInfo == kOwnInputSignature) {
        // Our unlock key has reached the system: the foreground may now be ours to set.
        if (!down && key.vkCode == kUnlockKey && unlockPending_) {
            unlockPending_ = false;
            PostMessageA(window_.get(), kRetryMessage, 0, 0);
        }
        return;
    }
    const KeyEvent event{key.vkCode, down, (key.flags & LLKHF_INJECTED) != 0};
    if (detector_.OnKey(event) == ChordAction::CallUp)
        PostMessageA(window_.get(), kCallUpMessage, 0, 0);
}

void HookSession::CallUp() noexcept {
    const HWND main = RecordToWindow(record_.MainWindow);
    if (!main || !IsWindow(main))
        return;
    if (TryBringToForeground(CallUpTarget(main)))
        return;
    unlockPending_ = SendUnlockKey();
}

void HookSession::RetryCallUp() noexcept {
    const HWND main = RecordToWindow(record_.MainWindow);
    if (main && IsWindow(main))
        TryBringToForeground(CallUpTarget(main));
}

void HookSession::OnWatchdog() noexcept {
    detector_.SweepReleased(&SystemKeyDown);
    LASTINPUTINFO input = {};
    input.cbSize = sizeof(input);
    if (!GetLastInputInfo(&input))
        return;
    // Read after the input tick, so that only that one can be ahead of `now`.
    const WatchdogView view{GetTickCount(), input.dwTime, lastHookEvent_, lastInstall_,
                            detector_.InProgress()};
    if (DecideWatchdog(view) == WatchdogAction::Reinstall)
        Install();
}

LRESULT CALLBACK HookSession::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* session = reinterpret_cast<HookSession*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!session)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case kCallUpMessage:
        case kRetryMessage:
        case kSetRecordMessage:
        case kStopMessage:
        case WM_TIMER:
            return session->OnMessage(message, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT HookSession::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case kCallUpMessage:
            CallUp();
            break;
        case kRetryMessage:
            RetryCallUp();
            break;
        case kSetRecordMessage:
            ApplyRecord(*reinterpret_cast<const HookRecord*>(lParam));
            break;
        case kStopMessage:
            StopHere();
            break;
        case WM_TIMER:
            if (wParam == kWatchdogTimer)
                OnWatchdog();
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace rivo
