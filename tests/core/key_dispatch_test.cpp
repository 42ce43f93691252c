#include "core/key_dispatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace rivo {
namespace {

class RecordingActions : public KeyDispatchActions {
public:
    LaunchOutcome nextLaunch = LaunchOutcome::Started;
    std::vector<std::string> log;

    void CloseMainWindow() override { log.push_back("close"); }
    void OpenOptions() override { log.push_back("options"); }
    LaunchOutcome Launch(std::uint8_t key) override {
        log.push_back("launch " + std::to_string(key));
        return nextLaunch;
    }
    void Register(std::uint8_t key) override { log.push_back("register " + std::to_string(key)); }
};

struct Launcher {
    TRivoMainSet settings;
    KeyStringTable commands;
    KeyDispatcher dispatcher;
    RecordingActions actions;

    Launcher() { settings.ForceKeyFilters(); }
    void Down(std::uint16_t key, const KeyPress& press = {}) {
        dispatcher.FormKeyDown(key, settings, commands, actions, press);
    }
    void Up(std::uint16_t key) { dispatcher.FormKeyUp(key, settings); }
};

using Log = std::vector<std::string>;

TEST(KeyDispatch, RegisteredKeyLaunchesAndEmptySlotRegisters) {
    Launcher l;
    l.commands[0x45] = "edit.exe";
    l.Down(0x45);
    l.Down(0x46);
    EXPECT_EQ(l.actions.log, (Log{"launch 69", "register 70"}));
}

TEST(KeyDispatch, CodesFrom240OnDoNothingEvenAsKey1) {
    Launcher l;
    l.settings.Key1 = 0xF5;
    l.commands[0xF5] = "x.exe";
    for (std::uint16_t key : {0xF0, 0xF5, 0xFF, 0x1FF})
        l.Down(key);
    EXPECT_TRUE(l.actions.log.empty());
    EXPECT_EQ(l.dispatcher.Key1Pressed, 0);
}

TEST(KeyDispatch, HoldingKey1OpensTheDialogAndAfterReleaseTheKeyLaunches) {
    Launcher l;
    l.commands[0x45] = "edit.exe";
    l.Down(16);  // Key1, filtered: nothing but the flag
    EXPECT_EQ(l.dispatcher.Key1Pressed, 1);
    l.Down(0x45);
    EXPECT_EQ(l.dispatcher.Key1Pressed, 0) << "a key press that starts nothing clears the flag";
    l.Up(16);
    l.Down(0x45);
    EXPECT_EQ(l.actions.log, (Log{"register 69", "launch 69"}));
}

TEST(KeyDispatch, Key1ReleaseClearsTheFlag) {
    Launcher l;
    l.commands[0x45] = "edit.exe";
    l.Down(16);
    l.Up(16);
    l.Down(0x45);
    EXPECT_EQ(l.actions.log, (Log{"launch 69"}));
}

// Key1's key-up goes to whichever window has the focus when it is released. A Key1 that the
// launcher window saw go down but will never see go up does not hold the change key into the
// next call-up; one it saw go down late, because its thread was busy, still does.
TEST(KeyDispatch, Key1WhoseKeyUpWentElsewhereHoldsNothing) {
    constexpr std::uint32_t kCallUp = 1000;
    const struct {
        const char* name;
        std::uint32_t calledUpAt;
        std::optional<KeyPress> key1Down;  // handled after the call-up; nullopt: handled before it
        const char* outcome;
    } cases[] = {
        {"pressed in the launcher, released in another window, called up again", kCallUp, std::nullopt,
         "launch 69"},
        {"pressed before the call-up, handled after it, released in another window", kCallUp,
         KeyPress{kCallUp - 30, false}, "launch 69"},
        {"pressed in the same tick as the call-up, released", kCallUp, KeyPress{kCallUp, false}, "launch 69"},
        {"pressed before the call-up and held on", kCallUp, KeyPress{kCallUp - 30, true}, "register 69"},
        {"pressed after the call-up, released before the busy window handled it", kCallUp,
         KeyPress{kCallUp + 40, false}, "register 69"},
        {"pressed after a call-up just before the tick counter wrapped", 0xFFFFFFF0u, KeyPress{0x10, false},
         "register 69"},
        {"pressed before a call-up just after the tick counter wrapped", 0x10, KeyPress{0xFFFFFFF0u, false},
         "launch 69"},
    };
    for (const auto& c : cases) {
        Launcher l;
        l.commands[0x45] = "edit.exe";
        if (!c.key1Down)
            l.Down(16);
        l.dispatcher.CalledUp(c.calledUpAt);
        if (c.key1Down)
            l.Down(16, *c.key1Down);
        l.Down(0x45, KeyPress{c.calledUpAt + 100, false});
        EXPECT_EQ(l.actions.log, (Log{c.outcome})) << c.name;
    }
}

TEST(KeyDispatch, FailedLaunchOpensTheDialogFilledIn) {
    Launcher l;
    l.commands[0x45] = "missing.exe";
    l.actions.nextLaunch = LaunchOutcome::Failed;
    l.Down(0x45);
    EXPECT_EQ(l.actions.log, (Log{"launch 69", "register 69"}));
}

TEST(KeyDispatch, CancelledDirectoryQuestionStartsNothingAndOpensNoDialog) {
    Launcher l;
    l.commands[0x45] = "edit.exe";
    l.actions.nextLaunch = LaunchOutcome::Cancelled;
    l.Down(0x45);
    EXPECT_EQ(l.actions.log, (Log{"launch 69"}));
}

TEST(KeyDispatch, ShiftStartsItsCommandButNeverOpensTheDialog) {
    Launcher l;
    l.settings.Key1 = 0x20;
    l.settings.Key2 = 0x11;
    l.settings.Filter.fill(0);
    l.settings.ForceKeyFilters();
    l.Down(16);  // empty slot
    l.commands[16] = "shift.exe";
    l.Down(16);
    l.actions.nextLaunch = LaunchOutcome::Failed;
    l.Down(16);
    EXPECT_EQ(l.actions.log, (Log{"launch 16", "launch 16"}));
}

TEST(KeyDispatch, FilteredKeysDoNothingUnlessTheyAreCommandKeys) {
    Launcher l;
    l.settings.Filter[0x41] = 1;
    l.commands[0x41] = "a.exe";
    l.Down(0x41);
    l.Down(17);  // Key2
    EXPECT_TRUE(l.actions.log.empty());
    l.Down(45);
    l.Down(46);
    EXPECT_EQ(l.actions.log, (Log{"options", "close"}));
}

TEST(KeyDispatch, FilterValuesOtherThanOneLetTheKeyThrough) {
    Launcher l;
    l.settings.Filter[0x41] = 2;
    l.commands[0x41] = "a.exe";
    l.Down(0x41);
    EXPECT_EQ(l.actions.log, (Log{"launch 65"}));
    EXPECT_TRUE(KeyDispatcher::IsCommandKey(l.settings, 0x41));
    l.settings.Filter[0x41] = 1;
    EXPECT_FALSE(KeyDispatcher::IsCommandKey(l.settings, 0x41));
}

TEST(KeyDispatch, EndKeyThatIsAlsoSetKeyClosesThenOpensOptions) {
    Launcher l;
    l.settings.SetKey = 46;
    l.Down(46);
    EXPECT_EQ(l.actions.log, (Log{"close", "options"}));
}

TEST(KeyDispatch, UnfilteredCommandKeyIsAnOrdinaryKey) {
    // The filters are forced only at load and on confirming the options; a hand-cleared flag
    // makes the command key behave like any other.
    Launcher l;
    l.settings.Filter[46] = 0;
    l.Down(46);
    EXPECT_EQ(l.actions.log, (Log{"register 46"}));
}

// What a key-down message of the launcher window hands on: one dispatch per press, and the
// Hankaku/Zenkaku key's own codes for its slot 229, which VK_PROCESSKEY never reaches.
TEST(KeyDispatch, KeyDownMessagesHandOnTheirSlotOncePerPress) {
    const struct {
        std::uint16_t key;
        bool repeat;
        std::optional<std::uint16_t> handed;
    } cases[] = {
        {'E', false, 'E'},          {'E', true, std::nullopt}, {0x10, true, std::nullopt},
        {0xF3, false, 229},         {0xF4, false, 229},        {0xF3, true, std::nullopt},
        {229, false, std::nullopt}, {0xF0, false, 0xF0},       {0xF5, false, 0xF5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DispatchedKey(c.key, c.repeat), c.handed) << c.key << (c.repeat ? " repeated" : "");
    }
}

TEST(ShellStart, ResultsMapToTheirMessages) {
    const std::pair<std::intptr_t, ShellStartError> table[] = {
        {33, ShellStartError::None},           {42, ShellStartError::None},
        {0, ShellStartError::OutOfMemory},     {2, ShellStartError::FileNotFound},
        {3, ShellStartError::PathNotFound},    {11, ShellStartError::BadFormat},
        {26, ShellStartError::ShareViolation}, {27, ShellStartError::AssociationIncomplete},
        {31, ShellStartError::NoAssociation},  {5, ShellStartError::Unknown},
        {32, ShellStartError::Unknown},        {-1, ShellStartError::Unknown},
    };
    for (auto [result, error] : table) {
        EXPECT_EQ(ClassifyShellExecuteResult(result), error) << result;
    }
}

TEST(ShellStart, CurrentDirectoryGetsABackslash) {
    EXPECT_EQ(CurrentDirectoryForLaunch("C:\\Tools"), "C:\\Tools\\");
    EXPECT_EQ(CurrentDirectoryForLaunch(""), "\\");
}

}  // namespace
}  // namespace rivo
