// A plain window of the test's own, standing for the program the user works in: it takes the
// foreground from the launcher the way another program does, and counts the keys it receives.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace rivo::test {

class UserWindow {
public:
    // Shown at `bounds` (screen coordinates); `topmost` keeps it above the launcher's window.
    explicit UserWindow(RECT bounds = {400, 300, 700, 500}, bool topmost = false);
    HWND Handle() const { return window_.get(); }
    // A point inside it, in screen coordinates.
    POINT Inside() const;
    // Makes it the foreground window and gives it the focus; false when the system refused.
    bool TakeForeground() const;
    // Key-ups windows of this kind have received.
    static long KeyUps();

private:
    RECT bounds_;
    platform::UniqueWindow window_;
};

}  // namespace rivo::test
