// Drives a modal form from inside its own message loop: a script of steps run from a thread
// timer, and keyboard input posted to the focused window as the keyboard would deliver it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace rivo::test {

// Runs its steps one per timer tick inside whichever loop is running (a form's ShowModal, the
// open-file dialog's own loop). A step returns true when done, false to be tried again at the
// next tick (waiting for a window to appear). Input a step posts is handled before the next
// step runs: WM_TIMER is only generated when nothing else is queued. A step that never
// completes runs `giveUp`, which must end the loop under test; the test asserts Finished() and
// shows Failure().
class Script {
public:
    using Step = std::function<bool()>;
    Script(std::vector<Step> steps, std::function<void()> giveUp);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // True once every step has completed, none of them by throwing.
    bool Finished() const { return next_ == steps_.size() && failure_.empty(); }
    // What went wrong: a step that threw or never completed; empty when nothing did.
    const std::string& Failure() const { return failure_; }
    // How many steps completed.
    size_t Completed() const { return next_; }
    // Whether a step never completed and `giveUp` was run.
    bool GaveUp() const { return gaveUp_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void RunStep();

    std::vector<Step> steps_;
    std::function<void()> giveUp_;
    size_t next_ = 0;
    int tries_ = 0;
    bool gaveUp_ = false;
    std::string failure_;
    bool running_ = false;  // a step that starts a nested loop must not be re-entered by its ticks
    UINT_PTR timer_ = 0;
};

// Key-down and key-up of `vk` posted to `target` (default: the focused window of this thread);
// WM_SYSKEYDOWN/UP with the Alt context bit when `alt`. TranslateMessage in the loop turns them
// into characters as for real keys.
void PostKey(WORD vk, HWND target = nullptr);
void PostAltKey(WORD vk, HWND target = nullptr);
// Only the key-down (a key held, or one whose release goes elsewhere).
void PostKeyDown(WORD vk, HWND target = nullptr);

// Runs `action` with `vk` reported as held by GetKeyState for this thread, then releases it.
// Posted messages do not change the key state; the form reads the modifiers from it.
void WithKeyHeld(WORD vk, const std::function<void()>& action);

// The text of any window (GetWindowTextA), as code page 932 bytes.
std::string WindowText(HWND window);

// A visible window of class `className` owned by `owner`, or null.
HWND FindOwnedWindow(HWND owner, const char* className);

}  // namespace rivo::test
