// What one key press in the launcher window does. The window performs the actions; the order and
// the conditions are decided here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/launcher_state.h"
#include "core/rivo_main_set.h"

namespace rivo {

enum class LaunchOutcome {
    Started,    // the shell started the command
    Failed,     // the shell refused it; the failure has been reported to the user
    Cancelled,  // the user declined to go on after the working directory could not be set
};

// The launcher window's side of a key press.
class KeyDispatchActions {
public:
    virtual ~KeyDispatchActions() = default;
    virtual void CloseMainWindow() = 0;
    virtual void OpenOptions() = 0;
    virtual LaunchOutcome Launch(std::uint8_t key) = 0;
    // Opens the registration dialog for `key` with its current command.
    virtual void Register(std::uint8_t key) = 0;
};

// What a key-down message of the launcher window hands to FormKeyDown, if anything: the key's
// slot (SlotOfKey). An auto-repeat of a held key hands nothing: a held key starts its command
// once.
std::optional<std::uint16_t> DispatchedKey(std::uint16_t key, bool repeat);

// When a key-down that the launcher window handles now went down, and whether Key1 is down on
// the keyboard now; the edge reads both for each key-down message (its time, GetAsyncKeyState).
struct KeyPress {
    std::uint32_t time = 0;  // the system's millisecond tick, which wraps after 49.7 days
    bool key1Held = true;
};

class KeyDispatcher {
public:
    // 1 while Key1 is held down in the launcher window.
    int Key1Pressed = 0;

    // The launcher window was activated (called up) at `tick`. Key1's key-up goes to the window
    // that has the focus when it is released: a Key1 pressed in the launcher and released in
    // another window would otherwise stay "held" into the next call-up, whose first key would
    // then open the registration dialog instead of starting its command.
    void CalledUp(std::uint32_t tick);

    // True unless the key's filter flag is exactly 1.
    static bool IsCommandKey(const TRivoMainSet& settings, std::uint16_t key);

    // A key-down of Key1 that went down before the launcher was called up, and is up again by now,
    // was typed while the launcher had no focus: its key-up went to another window, so it never
    // holds Key1 (keys typed while no window has the focus can wait in the queue of the thread
    // that had it last, and reach the launcher window only once it is called up).
    void FormKeyDown(std::uint16_t key, const TRivoMainSet& settings, const KeyStringTable& commands,
                     KeyDispatchActions& actions, const KeyPress& press = {});
    void FormKeyUp(std::uint16_t key, const TRivoMainSet& settings);

private:
    bool calledUp_ = false;
    std::uint32_t calledUpAt_ = 0;
};

// The shell's answer to a start, as the user is told about it.
enum class ShellStartError {
    None,
    OutOfMemory,
    FileNotFound,
    PathNotFound,
    BadFormat,
    ShareViolation,
    AssociationIncomplete,
    NoAssociation,
    Unknown,
};

// Results above 32 are success.
ShellStartError ClassifyShellExecuteResult(std::intptr_t result);

// The directory made current before a start: the stored one with a backslash appended, so an
// empty working directory means the root of the current drive.
std::string CurrentDirectoryForLaunch(const std::string& workDir);

}  // namespace rivo
