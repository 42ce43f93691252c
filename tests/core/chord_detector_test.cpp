#include "core/chord_detector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace rivo {
namespace {

constexpr std::uint32_t kShift = 16, kCtrl = 17, kAlt = 18;

const std::map<std::string, std::uint32_t>& KeyCodes() {
    static const std::map<std::string, std::uint32_t> codes = {
        {"Shift", 16},   {"Ctrl", 17},   {"Alt", 18},    {"LShift", 0xA0}, {"RShift", 0xA1}, {"LCtrl", 0xA2},
        {"RCtrl", 0xA3}, {"LAlt", 0xA4}, {"RAlt", 0xA5}, {"Esc", 0x1B},    {"Del", 0x2E},    {"Space", 0x20},
        {"T", 'T'},      {"A", 'A'},     {"F13", 0x7C},  {"LWin", 0x5B},
    };
    return codes;
}

struct Step {
    KeyEvent event;
    bool button;  // a mouse button going down or up instead of the key event
    bool firesHere;
};

// "LShift+ LCtrl+ Button LCtrl- LShift-": + is a key-down, - a key-up, Button a mouse button
// going down or up; a trailing ! marks the one event on which the call-up must fire.
std::vector<Step> Parse(const std::string& script, bool injected = false) {
    std::vector<Step> steps;
    std::istringstream in(script);
    std::string token;
    while (in >> token) {
        const bool fires = token.back() == '!';
        if (fires)
            token.pop_back();
        if (token == "Button") {
            steps.push_back({{}, true, fires});
            continue;
        }
        const char direction = token.back();
        token.pop_back();
        const auto code = KeyCodes().find(token);
        if (code == KeyCodes().end() || (direction != '+' && direction != '-')) {
            ADD_FAILURE() << "bad token in script: " << script;
            return {};
        }
        steps.push_back({{code->second, direction == '+', injected}, false, fires});
    }
    return steps;
}

// Feeds the script and reports every mismatch against its ! marks.
void Feed(ChordDetector& detector, const std::string& script, bool injected = false) {
    const auto steps = Parse(script, injected);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        bool fired = false;
        if (steps[i].button)
            detector.OnButton();
        else
            fired = detector.OnKey(steps[i].event) == ChordAction::CallUp;
        EXPECT_EQ(fired, steps[i].firesHere) << "event " << i << " of: " << script;
    }
}

struct Sequence {
    const char* name;
    std::uint32_t key1;
    std::uint32_t key2;
    const char* script;
};

class ChordSequences : public ::testing::TestWithParam<Sequence> {};

TEST_P(ChordSequences, FireExactlyWhereMarked) {
    ChordDetector detector(GetParam().key1, GetParam().key2);
    Feed(detector, GetParam().script);
}

TEST_P(ChordSequences, InjectedKeysCountLikePhysicalOnes) {
    ChordDetector detector(GetParam().key1, GetParam().key2);
    Feed(detector, GetParam().script, true);
}

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& tested) {
    return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    ShiftCtrl, ChordSequences,
    ::testing::Values(
        Sequence{"ShiftFirstReleasedInReverse", kShift, kCtrl, "LShift+ LCtrl+ LCtrl- LShift-!"},
        Sequence{"CtrlFirst", kShift, kCtrl, "LCtrl+ LShift+ LShift- LCtrl-!"},
        Sequence{"ReleasedInPressOrder", kShift, kCtrl, "LShift+ LCtrl+ LShift- LCtrl-!"},
        Sequence{"GenericCodes", kShift, kCtrl, "Shift+ Ctrl+ Ctrl- Shift-!"},
        Sequence{"RightHandKeys", kShift, kCtrl, "RShift+ RCtrl+ RCtrl- RShift-!"},
        Sequence{"MixedHands", kShift, kCtrl, "LShift+ RCtrl+ RCtrl- LShift-!"},
        Sequence{"AutoRepeatIsNotAnotherKey", kShift, kCtrl,
                 "LShift+ LShift+ LShift+ LCtrl+ LCtrl+ LCtrl+ LCtrl- LShift-!"},
        Sequence{"ReleaseAndPressAgainWhileOtherHeld", kShift, kCtrl,
                 "LShift+ LCtrl+ LCtrl- LCtrl+ LCtrl- LShift-!"},
        Sequence{"BothShiftKeysFireOnceWhenAllAreUp", kShift, kCtrl,
                 "LShift+ RShift+ LCtrl+ LCtrl- RShift- LShift-!"},
        Sequence{"TwoChordsFireTwice", kShift, kCtrl,
                 "LShift+ LCtrl+ LCtrl- LShift-! LCtrl+ LShift+ LShift- LCtrl-!"},
        Sequence{"CtrlShiftTNeverFires", kShift, kCtrl, "LCtrl+ LShift+ T+ T- LShift- LCtrl-"},
        Sequence{"CtrlShiftEscNeverFires", kShift, kCtrl, "LCtrl+ LShift+ Esc+ Esc- LShift- LCtrl-"},
        Sequence{"OtherKeyBetweenTheDowns", kShift, kCtrl, "LShift+ A+ A- LCtrl+ LCtrl- LShift-"},
        Sequence{"OtherKeyAfterOneUp", kShift, kCtrl, "LShift+ LCtrl+ LCtrl- A+ A- LShift-"},
        Sequence{"OnlyOneKey", kShift, kCtrl, "LShift+ LShift- LCtrl+ LCtrl-"},
        Sequence{"TappedOneAfterTheOtherIsNoChord", kShift, kCtrl,
                 "LShift+ LShift- LCtrl+ LCtrl- LShift+ LShift-"},
        Sequence{"SpoiledAttemptDoesNotSpoilTheNext", kShift, kCtrl,
                 "LCtrl+ LShift+ T+ T- LShift- LCtrl- LShift+ LCtrl+ LCtrl- LShift-!"},
        Sequence{"KeyHeldFromBeforeDoesNotSpoil", kShift, kCtrl, "A+ LShift+ LCtrl+ A- LCtrl- LShift-!"},
        Sequence{"OtherModifierSpoils", kShift, kCtrl, "LShift+ LCtrl+ LAlt+ LAlt- LCtrl- LShift-"},
        Sequence{"KeyUpWithoutDownIsIgnored", kShift, kCtrl, "LCtrl- LShift- LShift+ LCtrl+ LCtrl- LShift-!"},
        Sequence{"GenericDownSidedUp", kShift, kCtrl, "Shift+ LCtrl+ LCtrl- LShift-!"},
        Sequence{"SidedDownGenericUp", kShift, kCtrl, "LShift+ LCtrl+ Ctrl- Shift-!"},
        Sequence{"CtrlShiftClickNeverFires", kShift, kCtrl, "LCtrl+ LShift+ Button Button LShift- LCtrl-"},
        Sequence{"ButtonBetweenTheDowns", kShift, kCtrl, "LShift+ Button LCtrl+ LCtrl- LShift-"},
        Sequence{"ButtonAfterOneUp", kShift, kCtrl, "LShift+ LCtrl+ LCtrl- Button LShift-"},
        Sequence{"DropWithTheKeysHeldNeverFires", kShift, kCtrl, "LCtrl+ LShift+ Button LShift- LCtrl-"},
        Sequence{"ClickBeforeTheChordDoesNotSpoil", kShift, kCtrl,
                 "Button Button LShift+ LCtrl+ LCtrl- LShift-!"},
        Sequence{"SpoiledByAButtonDoesNotSpoilTheNext", kShift, kCtrl,
                 "LCtrl+ LShift+ Button Button LShift- LCtrl- Button LShift+ LCtrl+ LCtrl- LShift-!"}),
    CaseName<Sequence>);

INSTANTIATE_TEST_SUITE_P(
    OtherKeys, ChordSequences,
    ::testing::Values(
        Sequence{"CtrlAlt", kCtrl, kAlt, "LCtrl+ RAlt+ RAlt- LCtrl-!"},
        Sequence{"ShiftIsAnotherKeyForCtrlAlt", kCtrl, kAlt, "LShift+ LCtrl+ LCtrl- LShift-"},
        Sequence{"ShiftDuringCtrlAltSpoils", kCtrl, kAlt, "LCtrl+ LAlt+ LShift+ LShift- LAlt- LCtrl-"},
        Sequence{"OrdinaryKeys", 'A', 0x7C, "F13+ A+ A+ A- F13-!"},
        Sequence{"SidedCodesInTheSettingsMeanEitherHand", 0xA0, 0xA3, "RShift+ LCtrl+ LCtrl- RShift-!"},
        Sequence{"SameKeyTwiceIsOneTap", kShift, kShift, "LShift+ LShift+ LShift-! RShift+ RShift-!"},
        Sequence{"SameKeyTwiceNotWhileTyping", kShift, kShift, "LShift+ A+ A- LShift- LShift+ LShift-!"},
        Sequence{"SameKeyTwiceBothHands", kShift, kShift, "LShift+ RShift+ LShift- RShift-!"},
        Sequence{"SameKeyTwiceNotWhileClicking", kShift, kShift,
                 "LShift+ Button Button LShift- LShift+ LShift-!"},
        Sequence{"ZeroKeyDisablesTheChord", 0, kCtrl, "LCtrl+ LCtrl- LShift+ LCtrl+ LCtrl- LShift-"},
        Sequence{"OutOfRangeKeyDisablesTheChord", 0x1A0, kCtrl, "LCtrl+ LShift+ LShift- LCtrl-"}),
    CaseName<Sequence>);

TEST(ChordDetector, NewKeysTakeEffectAtOnceAndForgetTheChordInProgress) {
    ChordDetector detector(kShift, kCtrl);
    Feed(detector, "LShift+ LCtrl+");
    detector.SetKeys(kCtrl, 0x20);
    EXPECT_FALSE(detector.InProgress());
    // The ups of the old attempt complete nothing; the old chord no longer fires, the new does.
    Feed(detector, "LCtrl- LShift- LShift+ LCtrl+ LCtrl- LShift- RCtrl+ Space+ Space- RCtrl-!");
}

TEST(ChordDetector, ResetForgetsTheChordInProgress) {
    ChordDetector detector(kShift, kCtrl);
    Feed(detector, "LShift+ LCtrl+");
    detector.Reset();
    Feed(detector, "LCtrl- LShift- LCtrl+ LShift+ LShift- LCtrl-!");
}

TEST(ChordDetector, InProgressWhileACallUpKeyIsHeld) {
    ChordDetector detector(kShift, kCtrl);
    const struct {
        const char* script;
        bool inProgress;
    } cases[] = {
        {"A+", false},    {"LShift+", true}, {"A+", true},     {"A-", true},       {"LShift-", false},
        {"LCtrl+", true}, {"Shift+", true},  {"LCtrl-", true}, {"Shift-!", false}, {"LCtrl-", false},
    };
    for (const auto& c : cases) {
        Feed(detector, c.script);
        EXPECT_EQ(detector.InProgress(), c.inProgress) << "after " << c.script;
    }
}

TEST(GenericKey, SidedModifiersCountAsTheGenericKey) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0xA0, 16}, {0xA1, 16}, {0xA2, 17},   {0xA3, 17},   {0xA4, 18},   {0xA5, 18}, {16, 16},
        {17, 17},   {18, 18},   {0x9F, 0x9F}, {0xA6, 0xA6}, {0x5B, 0x5B}, {0, 0},
    };
    for (auto [vk, generic] : cases)
        EXPECT_EQ(GenericKey(vk), generic) << "vk " << vk;
}

// The system's key state at one sweep: the codes that are down.
using KeyState = std::set<std::uint32_t>;

struct SweepCase {
    const char* name;
    const char* before;            // events seen before the sweeps
    std::vector<KeyState> sweeps;  // one system key state per sweep
    bool inProgressAfter;
    const char* after;  // events after the sweeps, with their ! marks
};

class ChordSweeps : public ::testing::TestWithParam<SweepCase> {};

TEST_P(ChordSweeps, ForgetOnlyKeysFoundUpTwiceInARow) {
    const SweepCase& c = GetParam();
    ChordDetector detector(kShift, kCtrl);
    Feed(detector, c.before);
    for (const KeyState& down : c.sweeps) {
        detector.SweepReleased([&](std::uint32_t vk) { return down.count(vk) == 1; });
    }
    EXPECT_EQ(detector.InProgress(), c.inProgressAfter);
    Feed(detector, c.after);
}

const KeyState kNone{};
const KeyState kShiftCtrl{0xA0, 0xA2};
const KeyState kLeftShift{0xA0};

INSTANTIATE_TEST_SUITE_P(
    LostKeyUps, ChordSweeps,
    ::testing::Values(
        SweepCase{"LostUpsAreForgottenAndTheNextChordFires",
                  "LCtrl+ LAlt+ Del+",
                  {kNone, kNone},
                  false,
                  "LShift+ LCtrl+ LCtrl- LShift-!"},
        SweepCase{"OneSweepIsNotEnough", "LShift+ LCtrl+", {kNone}, true, "LCtrl- LShift-!"},
        SweepCase{"KeysReallyHeldAreKept",
                  "LShift+ LCtrl+",
                  {kShiftCtrl, kShiftCtrl, kShiftCtrl},
                  true,
                  "LCtrl- LShift-!"},
        SweepCase{"DownBetweenTwoUpSweepsClearsTheSuspicion",
                  "LShift+ LCtrl+",
                  {kLeftShift, kShiftCtrl, kLeftShift},
                  true,
                  "LCtrl- LShift-!"},
        // What happened while the key-up was lost is unknown: the attempt cannot fire any more.
        SweepCase{"AnAttemptWithALostKeyNeverFires",
                  "LShift+ LCtrl+",
                  {kLeftShift, kLeftShift},
                  true,
                  "LShift- LCtrl+ LShift+ LShift- LCtrl-!"},
        SweepCase{"AbandonedAttemptNeverCompletes",
                  "LShift+ LCtrl+",
                  {kNone, kNone},
                  false,
                  "LCtrl- LShift- LCtrl+ LShift+ LShift- LCtrl-!"},
        SweepCase{
            "NothingHeldNothingChanges", "A+ A-", {kNone, kNone}, false, "LShift+ LCtrl+ LCtrl- LShift-!"}),
    CaseName<SweepCase>);

TEST(ChordSweeps, AnEventOfTheKeyBetweenSweepsRestartsTheCount) {
    ChordDetector detector(kShift, kCtrl);
    Feed(detector, "LShift+");
    const auto allUp = [](std::uint32_t) { return false; };
    detector.SweepReleased(allUp);
    Feed(detector, "LShift+");  // auto-repeat: the key is down whatever the system said
    detector.SweepReleased(allUp);
    EXPECT_TRUE(detector.InProgress());
    detector.SweepReleased(allUp);
    EXPECT_FALSE(detector.InProgress());
}

}  // namespace
}  // namespace rivo
