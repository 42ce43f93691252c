// Windows gives the foreground only to a process that may take it: the foreground process, one
// it started, or the one that received the last input event. A low-level keyboard hook sees
// the user's keys but does not count as having received them, and a drop target is not the
// drag source, which keeps the foreground after a drop: a plain SetForegroundWindow from either
// is refused on real Windows (the taskbar button flashes instead). Two ways round it, tried in
// this order:
//  1. attach our thread to the input of the foreground window's thread for the duration of the
//     call: the system then treats the call as coming from the foreground's own input queue;
//  2. inject a key of our own: the process that sent the last input event may set the
//     foreground. The key is the unassigned code 0xE8, never Alt, and it carries a signature so
//     that our hook does not take it for part of a chord.
// Neither runs inside the hook callback: SetForegroundWindow sends activation messages and may
// wait on other threads, and a low-level hook that is slow to return is removed by Windows.
#include "platform/foreground.h"

namespace rivo::platform {

namespace {

constexpr UINT kAnswerTimeoutMs = 100;
// How long a window that needs the foreground now waits for the system to take the unlock key.
constexpr DWORD kUnlockKeyWaitMs = 100;

// While attached, SetForegroundWindow sends the deactivation to the foreground thread and waits
// for it: attached to a program that has stopped answering (the moment a user may reach for the
// launcher), the launcher would stop with it. Such a thread is left alone.
bool Answers(HWND window) noexcept {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs,
                               &result) != 0;
}

bool AskForeground(HWND target) noexcept {
    if (GetForegroundWindow() == target)
        return true;
    return SetForegroundWindow(target) && GetForegroundWindow() == target;
}

// Whether the foreground window belongs to another thread that answers: one to attach to.
bool CanAttachToForeground() noexcept {
    const HWND foreground = GetForegroundWindow();
    const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    return foregroundThread != 0 && foregroundThread != GetCurrentThreadId() && Answers(foreground);
}

bool AttachAndAskForeground(HWND target) noexcept {
    const HWND foreground = GetForegroundWindow();
    const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD self = GetCurrentThreadId();
    const bool attached =
        foregroundThread != 0 && foregroundThread != self && AttachThreadInput(self, foregroundThread, TRUE);
    SetForegroundWindow(target);
    // Detached at once: while attached, the two threads share key state and focus, and a hung
    // foreground thread would hold up ours.
    if (attached)
        AttachThreadInput(self, foregroundThread, FALSE);
    return GetForegroundWindow() == target;
}

// kUnlockKey down and up, marked with kOwnInputSignature; true when both were queued.
bool SendUnlockKey() noexcept {
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = kUnlockKey;
        key.ki.dwExtraInfo = kOwnInputSignature;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, keys, sizeof(INPUT)) == 2;
}

DWORD LastInputTick() noexcept {
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    return GetLastInputInfo(&input) ? input.dwTime : 0;
}

}  // namespace

HWND ForegroundTargetFor(HWND target) noexcept {
    if (IsWindowEnabled(target))
        return target;
    // The dialogs and message boxes of the launcher are owned by its hidden application window,
    // not by the window they disable: the popups are those of the root owner.
    const HWND root = GetAncestor(target, GA_ROOTOWNER);
    const HWND popup = GetLastActivePopup(root ? root : target);
    if (popup && popup != target && IsWindowVisible(popup) && IsWindowEnabled(popup))
        return popup;
    // Otherwise the uppermost window of the target's thread that takes input.
    const DWORD thread = GetWindowThreadProcessId(target, nullptr);
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (window != target && GetWindowThreadProcessId(window, nullptr) == thread &&
            IsWindowVisible(window) && IsWindowEnabled(window))
            return window;
    }
    return target;
}

ActivationStep SeekForeground(HWND target, ActivationStep from, std::atomic<bool>& unlockPending) noexcept {
    ActivationStep step = from;
    for (;;) {
        ActivationOutcome outcome;
        switch (step) {
            case ActivationStep::Ask:
            case ActivationStep::Retry:
                outcome.foreground = AskForeground(target);
                outcome.canAttach = !outcome.foreground && CanAttachToForeground();
                break;
            case ActivationStep::AttachAndAsk:
                outcome.foreground = AttachAndAskForeground(target);
                break;
            case ActivationStep::SendUnlockKey:
                unlockPending = true;
                outcome.keySent = SendUnlockKey();
                if (!outcome.keySent)
                    unlockPending = false;
                break;
            case ActivationStep::Done:
            case ActivationStep::GiveUp:
                return step;
        }
        step = NextActivationStep(step, outcome);
        if (step == ActivationStep::Retry)
            return step;
    }
}

bool BringToForeground(HWND target) noexcept {
    std::atomic<bool> unlockPending{false};
    const DWORD before = LastInputTick();
    if (SeekForeground(target, ActivationStep::Ask, unlockPending) == ActivationStep::Retry) {
        // The key has passed once the system counts it as the latest input.
        const DWORD started = GetTickCount();
        while (LastInputTick() == before && GetTickCount() - started < kUnlockKeyWaitMs)
            Sleep(1);
        SeekForeground(target, ActivationStep::Retry, unlockPending);
    }
    return GetForegroundWindow() == target;
}

}  // namespace rivo::platform
