#include "hook/hook_session.h"

#include "core/hook_watchdog.h"
#include "hook/call_up_window.h"
#include "hook/module.h"
#include "platform/foreground.h"

namespace rivo {

namespace {

constexpr UINT kWatchdogPeriod = 1000;

bool SystemKeyDown(std::uint32_t vk) {
    return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0;
}

}  // namespace

HookSession* HookSession::hooked_ = nullptr;

bool HookSession::Start() noexcept {
    TakeRecord();
    hooked_ = this;
    if (!Install())
        return false;
    // A thread timer: the thread has no window, so nothing of it takes part in activation.
    watchdogTimer_ = SetTimer(nullptr, 0, kWatchdogPeriod, &WatchdogProc);
    return true;
}

void HookSession::Run() noexcept {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
}

void HookSession::Stop() noexcept {
    hooked_ = nullptr;
    keyboardHook_.reset();
    mouseHook_.reset();
    if (watchdogTimer_)
        KillTimer(nullptr, watchdogTimer_);
    watchdogTimer_ = 0;
}

// The new hooks are in place before the old ones go, so no event slips between them; an event
// seen by both is harmless (a second down reads as auto-repeat, a second up as a stray up, a
// second button press spoils what the first already spoiled).
// Stamped before trying, so that a failing installation is not retried on every watchdog tick.
bool HookSession::Install() noexcept {
    lastInstall_ = GetTickCount();
    platform::UniqueHook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardProc, Module(), 0));
    if (!keyboard)
        return false;
    keyboardHook_ = std::move(keyboard);
    // Without the mouse hook the chord still works; a click merely does not spoil it.
    if (platform::UniqueHook mouse{SetWindowsHookExW(WH_MOUSE_LL, &MouseProc, Module(), 0)})
        mouseHook_ = std::move(mouse);
    lastHookEvent_ = lastInstall_;
    lastKeyboardHookEvent_ = lastInstall_;
    detector_.Reset();
    return true;
}

// SetHandle may have stored new keys on another thread; they apply from the next event on.
void HookSession::TakeRecord() noexcept {
    if (shared_.TakeIfChanged(recordVersion_, record_))
        detector_.SetKeys(record_.Key1, record_.Key2);
}

// Run for every key and every mouse event in the system while the user waits for them: no
// blocking call, nothing but bookkeeping and one PostMessage, and every event is passed on.
LRESULT CALLBACK HookSession::KeyboardProc(int code, WPARAM message, LPARAM data) noexcept {
    if (code == HC_ACTION && hooked_)
        hooked_->OnKey(message, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data));
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK HookSession::MouseProc(int code, WPARAM message, LPARAM data) noexcept {
    if (code == HC_ACTION && hooked_)
        hooked_->OnMouse(message);
    return CallNextHookEx(nullptr, code, message, data);
}

void HookSession::OnKey(WPARAM message, const KBDLLHOOKSTRUCT& key) noexcept {
    lastHookEvent_ = GetTickCount();
    lastKeyboardHookEvent_ = lastHookEvent_;
    TakeRecord();
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (key.dwExtraInfo == platform::kOwnInputSignature) {
        // Our unlock key has reached the system: the foreground may now be ours to set.
        if (!down && key.vkCode == platform::kUnlockKey)
            callUp_.UnlockKeyPassed();
        return;
    }
    const KeyEvent event{key.vkCode, down, (key.flags & LLKHF_INJECTED) != 0};
    if (detector_.OnKey(event) == ChordAction::CallUp)
        callUp_.Request();
}

void HookSession::OnMouse(WPARAM message) noexcept {
    lastHookEvent_ = GetTickCount();
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
            TakeRecord();
            detector_.OnButton();
            break;
        default:  // moves and the wheel
            break;
    }
}

void HookSession::OnWatchdog() noexcept {
    detector_.SweepReleased(&SystemKeyDown);
    LASTINPUTINFO input = {};
    input.cbSize = sizeof(input);
    if (!GetLastInputInfo(&input))
        return;
    // Read after the input tick, so that only that one can be ahead of `now`.
    // The keyboard's own evidence comes from the call-up window's raw input (CallUpWindow).
    const WatchdogView view{GetTickCount(),
                            input.dwTime,
                            lastHookEvent_,
                            lastInstall_,
                            detector_.InProgress(),
                            callUp_.WatchesKeyboardInput(),
                            callUp_.LastKeyboardInput(),
                            lastKeyboardHookEvent_};
    if (DecideWatchdog(view) == WatchdogAction::Reinstall)
        Install();
}

void CALLBACK HookSession::WatchdogProc(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (hooked_)
        hooked_->OnWatchdog();
}

}  // namespace rivo
