// Disabling the calling thread's top-level windows while a modal window or a message box is open.
#pragma once

#include <windows.h>

#include <vector>

namespace rivo::ui {

// Disables every enabled top-level window of the calling thread but `except`, hidden ones
// included (a hidden main window left enabled could be activated by the hook and take keys),
// and enables them again, in reverse order, when it goes.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND except = nullptr) noexcept;
    ~DisabledThreadWindows();
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

private:
    std::vector<HWND> windows_;
};

}  // namespace rivo::ui
