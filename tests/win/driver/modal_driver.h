// Driving modal windows from a second thread, as a user would: the test thread runs the modal
// loop; the driver waits for windows, posts keys and clicks, reads controls and answers
// message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/win/driver/wait.h"

namespace rivo::modal_test {

// Polls until `condition` holds; false when it does not within `timeoutMs` (scaled as every
// wait is, tests/win/wait.h).
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = static_cast<int>(test::kWaitMs));

// A visible top-level window of this process with this class (null: any) and caption.
HWND FindVisibleWindow(const char* className, const std::string& caption);
HWND WaitForWindow(const char* className, const std::string& caption,
                   int timeoutMs = static_cast<int>(test::kWaitMs));
bool WaitUntilHidden(HWND window, int timeoutMs = static_cast<int>(test::kWaitMs));

struct ChildWindow {
    std::string className;
    std::string text;
    int id;
    LONG style;
    HWND handle;
};
std::vector<ChildWindow> ChildrenOf(HWND parent);

// What a message box showed, read before it was answered.
struct MessageBoxSeen {
    bool found = false;
    std::string text;          // the message (the box's one non-empty static text)
    std::vector<int> buttons;  // ids of the visible push buttons
    HWND owner = nullptr;
};
// Waits for a message box with `caption`, reads it and presses button `answer` (IDOK, IDYES...).
MessageBoxSeen AnswerMessageBox(const std::string& caption, int answer,
                                int timeoutMs = static_cast<int>(test::kWaitMs));
// Whether a message box with `caption` shows up within `timeoutMs`.
bool MessageBoxAppears(const std::string& caption, int timeoutMs);

// A key press as the focused window gets it: WM_KEYDOWN then WM_KEYUP, posted.
void PostKey(HWND window, WORD key);
// A left click at the centre of `window` (or at `point` in its client area), posted.
void PostClick(HWND window);
void PostClickAt(HWND window, POINT point);

// The window that has the keyboard focus in `thread`'s input state.
HWND FocusOf(DWORD thread);

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

}  // namespace rivo::modal_test
