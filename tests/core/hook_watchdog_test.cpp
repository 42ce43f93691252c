#include "core/hook_watchdog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace rivo {
namespace {

struct Situation {
    const char* name;
    WatchdogView view;
    WatchdogAction expected;
};

std::string CaseName(const ::testing::TestParamInfo<Situation>& tested) {
    return tested.param.name;
}

class Watchdog : public ::testing::TestWithParam<Situation> {};

// Limits as the library uses them: the cases sit on both sides of each one.
TEST_P(Watchdog, DecidesAsTheSituationRequires) {
    const Situation& s = GetParam();
    EXPECT_EQ(DecideWatchdog(s.view), s.expected);
}

constexpr auto kKeep = WatchdogAction::Keep;
constexpr auto kReinstall = WatchdogAction::Reinstall;
constexpr std::uint32_t kWrap = 0xFFFFFFFFu;

// Fields: now, lastInput, lastHookEvent, lastInstall, chordInProgress.
INSTANTIATE_TEST_SUITE_P(
    Ticks, Watchdog,
    ::testing::Values(
        Situation{"HookSawTheLatestInput", {100000, 90000, 90000, 10000, false}, kKeep},
        Situation{"HookStampLaterThanTheInputTick", {100000, 90000, 90016, 10000, false}, kKeep},
        Situation{"NoInputSinceInstalling", {100000, 5000, 10000, 10000, false}, kKeep},
        Situation{"InputJustNewerThanTheHook", {100000, 90999, 90000, 10000, false}, kKeep},
        Situation{"InputMissedByTheHook", {100000, 91000, 90000, 10000, false}, kReinstall},
        Situation{"InputMissedLongAgo", {100000, 95000, 20000, 10000, false}, kReinstall},
        Situation{"InstalledTooRecently", {100000, 99000, 95001, 95001, false}, kKeep},
        Situation{"InstalledJustLongEnoughAgo", {100000, 99000, 95000, 95000, false}, kReinstall},
        Situation{"ChordBeingTyped", {100000, 99000, 90000, 10000, true}, kKeep},
        Situation{"ChordStaleForTooLong", {100000, 99000, 70000, 10000, true}, kReinstall},
        Situation{"ChordNotYetStale", {100000, 99000, 70001, 10000, true}, kKeep},
        Situation{"InputTickAheadOfNowIsJustNow", {100000, 100020, 90000, 10000, false}, kReinstall},
        Situation{"InputTickAheadOfNowSeenByTheHook", {100000, 100020, 99500, 10000, false}, kKeep},
        Situation{"MissedAcrossTheWrap", {500, kWrap - 100, kWrap - 2000, kWrap - 60000, false}, kReinstall},
        Situation{"SeenAcrossTheWrap", {500, kWrap - 100, kWrap - 50, kWrap - 60000, false}, kKeep},
        Situation{"InstalledJustBeforeTheWrap", {500, 400, kWrap - 1000, kWrap - 1000, false}, kKeep},
        // Half the counter's range or more cannot be told from "ahead of now"; taking it as new
        // input errs on the harmless side.
        Situation{
            "InputOlderThanHalfTheRangeCountsAsNew", {0x90000000u, 0x100, 0x100, 0x100, false}, kReinstall}),
    CaseName);

// With the system's keyboard input seen apart, the keyboard hook is judged by keys alone.
// Fields: now, lastInput, lastHookEvent, lastInstall, chordInProgress, keyboardInputSeen,
// lastKeyboardInput, lastKeyboardHookEvent.
INSTANTIATE_TEST_SUITE_P(
    KeyboardEvidence, Watchdog,
    ::testing::Values(
        // The keyboard hook died; the mouse hook lives and sees the mouse move.
        Situation{"KeysMissedWhileTheMouseHookSeesMoves",
                  {100000, 99990, 99990, 10000, false, true, 99000, 90000},
                  kReinstall},
        Situation{"KeyboardSilentMouseBusy", {100000, 99990, 99990, 10000, false, true, 50000, 50000}, kKeep},
        Situation{"KeyboardSilentMouseMissedByBothHooks",
                  {100000, 99990, 50000, 10000, false, true, 50000, 50000},
                  kKeep},
        Situation{"SystemKeyboardInputSeenByTheHook",
                  {100000, 99000, 99000, 10000, false, true, 99000, 99000},
                  kKeep},
        Situation{"SystemKeyboardInputJustAheadOfTheHook",
                  {100000, 99000, 99000, 10000, false, true, 99999, 99000},
                  kKeep},
        // Resumed from sleep hours later: the hook that timed out saw nothing since.
        Situation{"FirstKeyAfterResume",
                  {20000000, 20000000, 20000000, 10000, false, true, 20000000, 60000},
                  kReinstall},
        Situation{"ResumedNoKeyYet", {20000000, 19999000, 19999000, 10000, false, true, 60000, 60000}, kKeep},
        Situation{"KeysMissedButAChordIsBeingTyped",
                  {100000, 99990, 99990, 10000, true, true, 99000, 90000},
                  kKeep}),
    CaseName);

TEST(Watchdog, LimitsAreHonouredAsGiven) {
    const WatchdogLimits tight{10, 100, 1000};
    const WatchdogView missed{10000, 9950, 9900, 9800, false};
    EXPECT_EQ(DecideWatchdog(missed, tight), kReinstall);
    EXPECT_EQ(DecideWatchdog(missed, WatchdogLimits{100, 100, 1000}), kKeep);  // lead too small
    EXPECT_EQ(DecideWatchdog(missed, WatchdogLimits{10, 201, 1000}), kKeep);   // installed too recently
    EXPECT_EQ(DecideWatchdog({10000, 9950, 9900, 9800, true}, tight), kKeep);  // chord in progress
    EXPECT_EQ(DecideWatchdog({10000, 9950, 9900, 9800, true}, WatchdogLimits{10, 100, 100}), kReinstall);
}

}  // namespace
}  // namespace rivo
