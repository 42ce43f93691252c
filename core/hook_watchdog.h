// Decides when the keyboard hook should be installed again.
//
// Windows removes a low-level hook without telling anyone when its callback once takes too long
// (a hang, a resume from sleep), and there is no call that says whether a hook is still
// installed. What can be seen is that the system got input (GetLastInputInfo) that the hooks,
// keyboard and mouse, never saw. The suspicion can be false (input from other devices, or taken
// by another program's hook before ours): installing again must be harmless, is rate-limited,
// and waits while a chord is being typed.
#pragma once

#include <cstdint>

namespace rivo {

// Windows removes each low-level hook on its own, so the keyboard hook can die while the mouse
// hook lives: where the system's keyboard input can be seen apart (raw input), the keyboard hook
// is judged by keyboard evidence alone, and mouse moves never make it look alive. Without that,
// only input that neither hook saw counts.
//
// Ticks are milliseconds of the system's 32-bit tick counter, which wraps after 49.7 days.
struct WatchdogView {
    std::uint32_t now;
    std::uint32_t lastInput;      // latest input the system saw, keyboard or mouse
    std::uint32_t lastHookEvent;  // latest event either hook saw, or their installation if later
    std::uint32_t lastInstall;    // latest installation of the hook
    bool chordInProgress;
    // Keyboard evidence: whether the system's keyboard input is seen (raw input), its latest
    // key, and the latest key the keyboard hook saw (or its installation if later).
    bool keyboardInputSeen = false;
    std::uint32_t lastKeyboardInput = 0;
    std::uint32_t lastKeyboardHookEvent = 0;
};

struct WatchdogLimits {
    // Input this much newer than the hook's latest key counts as missed by the hook.
    std::uint32_t inputLead = 1000;
    // Never install again sooner than this after the previous installation.
    std::uint32_t minInterval = 5000;
    // A chord whose keys the hook has not heard of for this long is stale, not in progress.
    std::uint32_t staleChord = 30000;
};

enum class WatchdogAction { Keep, Reinstall };

WatchdogAction DecideWatchdog(const WatchdogView& view, const WatchdogLimits& limits = {});

}  // namespace rivo
