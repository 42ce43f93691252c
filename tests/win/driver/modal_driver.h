// Driving this process's modal windows as a user would. Two ways to run the user's side:
// - `Driver`: a script on a second thread while the test thread runs the modal loop; it waits for
//   windows, posts keys and clicks, reads controls and answers message boxes, and runs steps that
//   only the window's own thread can take through a `UiInvoker`;
// - `Script`: steps run from a timer inside whichever loop is running (the form's own, or one the
//   form enters, such as the open-file dialog's), for a test that must stay on one thread.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/win/driver/keys.h"
#include "tests/win/driver/wait.h"
#include "tests/win/driver/window_finder.h"

namespace rivo::test {

// A visible top-level window of this process with this class (null: any) and caption, once it
// shows; null after `timeoutMs`.
HWND WaitForWindow(const char* className, const std::string& caption, DWORD timeoutMs = kWaitMs);
bool WaitUntilHidden(HWND window, DWORD timeoutMs = kWaitMs);

// Waits for a message box of this process with `caption`, reads it and presses button `answer`
// (IDOK, IDYES...), then waits until it has gone; `found` is false when none showed.
MessageBoxSeen AnswerMessageBox(const std::string& caption, int answer, DWORD timeoutMs = kWaitMs);
// Whether a message box with `caption` shows up within `timeoutMs`.
bool MessageBoxAppears(const std::string& caption, DWORD timeoutMs);

// Answers the next message box with `caption` from a thread of its own, while this thread shows it.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer(std::string caption, int answer);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    // What it saw, once it has answered.
    const MessageBoxSeen& Seen();

private:
    MessageBoxSeen seen_;
    std::thread thread_;
};

// The DPI of the prefix the tests run in (RIVO_TEST_DPI, 96 when unset), at which layouts are
// checked; CTest runs the layout tests a second time in a prefix set to 144.
int TestDpi();
// Pixels of a 96-DPI layout at `dpi`, rounded as Windows rounds them (MulDiv).
int AtDpi(int pixelsAt96, int dpi);
// What Windows sends a per-monitor aware window that has moved to a monitor of `dpi` from one of
// `fromDpi`: WM_DPICHANGED with the window's rectangle scaled about its top-left, a little
// further (10, 20) so that whether the window takes the suggested position shows.
RECT SendDpiChanged(HWND window, int dpi, int fromDpi);

// Runs functions on the thread that made it, from any other thread, while that thread handles
// messages (also inside a modal loop or a message box): for steps that only the window's own
// thread can take, such as moving the focus.
class UiInvoker {
public:
    UiInvoker();
    ~UiInvoker();
    UiInvoker(const UiInvoker&) = delete;
    UiInvoker& operator=(const UiInvoker&) = delete;
    void Run(const std::function<void()>& step) const;
    // Runs `step` there and returns its result.
    template <class F>
    auto Get(F step) const {
        std::optional<decltype(step())> result;
        Run([&] { result = step(); });
        return *result;
    }
    // Returns once the thread has handled every message posted to it before this call (posted
    // messages are handled in order, sent ones ahead of them).
    void Flush() const;
    DWORD Thread() const noexcept { return thread_; }

private:
    HWND window_ = nullptr;
    DWORD thread_ = 0;
};

// Runs `script` on a second thread. When it ends, every window captioned as in `rescueCaptions`
// that is still visible a few seconds later has its message boxes answered and gets WM_CLOSE, so a
// failed script never leaves the test thread's modal loop running.
class Driver {
public:
    explicit Driver(std::function<void()> script, std::vector<std::string> rescueCaptions = {});
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    // Waits for the script; true when it did not need rescuing.
    bool Finish();

private:
    std::vector<std::string> rescueCaptions_;
    bool rescued_ = false;
    std::thread thread_;
};

// Runs `show` (a modal loop) on this thread while `script` drives the window of `className` and
// `caption` from a second one; the script does not run and `failure` says so when the window does
// not show. Windows captioned as in `rescueCaptions` are closed if the script leaves them open;
// whether it did not need that.
bool ShowAndDrive(const char* className, const std::string& caption, std::vector<std::string> rescueCaptions,
                  const std::function<void(HWND window)>& script, const std::function<void()>& show,
                  std::string* failure);

// Runs its steps one per timer tick inside whichever loop is running. A step returns true when
// done, false to be tried again at the next tick (waiting for a window to appear). Input a step
// posts is handled before the next step runs: WM_TIMER is only generated when nothing else is
// queued. A step that never completes runs `giveUp`, which must end the loop under test; the
// test asserts Finished() and shows Failure().
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

// A step that acts once and is done.
Script::Step Do(std::function<void()> action);

}  // namespace rivo::test
