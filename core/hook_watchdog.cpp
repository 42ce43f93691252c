#include "core/hook_watchdog.h"

namespace rivo {

namespace {

// The hook's own ticks are taken on the thread that asks, so they are never ahead of `now`.
std::uint32_t Age(std::uint32_t now, std::uint32_t tick) {
    return now - tick;
}

// The system's input tick is read by another call and could be a little ahead of `now`; a
// "negative" age means just now.
std::uint32_t AgeOfInput(std::uint32_t now, std::uint32_t tick) {
    const std::uint32_t age = now - tick;
    return age >= 0x80000000u ? 0 : age;
}

}  // namespace

WatchdogAction DecideWatchdog(const WatchdogView& view, const WatchdogLimits& limits) {
    if (Age(view.now, view.lastInstall) < limits.minInterval)
        return WatchdogAction::Keep;
    const std::uint32_t hookAge =
        Age(view.now, view.keyboardInputSeen ? view.lastKeyboardHookEvent : view.lastHookEvent);
    const std::uint32_t inputAge =
        AgeOfInput(view.now, view.keyboardInputSeen ? view.lastKeyboardInput : view.lastInput);
    if (hookAge <= inputAge || hookAge - inputAge < limits.inputLead)
        return WatchdogAction::Keep;
    if (view.chordInProgress && hookAge < limits.staleChord)
        return WatchdogAction::Keep;
    return WatchdogAction::Reinstall;
}

}  // namespace rivo
