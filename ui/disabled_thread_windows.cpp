#include "ui/disabled_thread_windows.h"

namespace rivo::ui {

namespace {

struct ThreadWindows {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectEnabled(HWND window, LPARAM data) noexcept {
    auto* found = reinterpret_cast<ThreadWindows*>(data);
    if (window != found->except && ::IsWindowEnabled(window)) {
        try {
            found->windows.push_back(window);
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

DisabledThreadWindows::DisabledThreadWindows(HWND except) noexcept {
    ThreadWindows found{except, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&found));
    windows_ = std::move(found.windows);
    for (HWND window : windows_) {
        ::EnableWindow(window, FALSE);
    }
}

DisabledThreadWindows::~DisabledThreadWindows() {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (::IsWindow(*it))
            ::EnableWindow(*it, TRUE);
    }
}

}  // namespace rivo::ui
