#include "tests/win/driver/dialog_driver.h"

namespace rivo::test {

namespace {

Script* current = nullptr;

// Generous: Wine under a loaded machine may take a while to show a window. Not a time limit
// the test asserts on, only the point where a hung step is abandoned.
constexpr int kMaxTries = 1500;
constexpr UINT kTickMs = 10;

LPARAM KeyData(WORD vk, bool up, bool alt) {
    const UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM data = 1 | static_cast<LPARAM>(scan << 16);
    if (alt)
        data |= LPARAM{1} << 29;
    if (up)
        data |= (LPARAM{1} << 30) | static_cast<LPARAM>(0x80000000u);
    return data;
}

HWND Target(HWND target) {
    return target ? target : ::GetFocus();
}

}  // namespace

Script::Script(std::vector<Step> steps, std::function<void()> giveUp)
    : steps_(std::move(steps)), giveUp_(std::move(giveUp)) {
    current = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMs, &Script::Tick);
    if (timer_ == 0)
        failure_ = "SetTimer failed";
}

Script::~Script() {
    if (timer_)
        ::KillTimer(nullptr, timer_);
    if (current == this)
        current = nullptr;
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (current)
        current->RunStep();
}

void Script::RunStep() {
    if (Finished() || gaveUp_)
        return;
    if (running_)
        return;
    running_ = true;
    bool done = false;
    try {
        done = steps_[next_]();
    } catch (const std::exception& error) {
        failure_ = "step " + std::to_string(next_) + " threw: " + error.what();
        done = true;
    }
    running_ = false;
    if (done) {
        ++next_;
        tries_ = 0;
        return;
    }
    if (++tries_ >= kMaxTries) {
        failure_ = "step " + std::to_string(next_) + " never completed";
        gaveUp_ = true;
        if (giveUp_)
            giveUp_();
    }
}

void PostKeyDown(WORD vk, HWND target) {
    ::PostMessageA(Target(target), WM_KEYDOWN, vk, KeyData(vk, false, false));
}

void PostKey(WORD vk, HWND target) {
    const HWND window = Target(target);
    ::PostMessageA(window, WM_KEYDOWN, vk, KeyData(vk, false, false));
    ::PostMessageA(window, WM_KEYUP, vk, KeyData(vk, true, false));
}

void PostAltKey(WORD vk, HWND target) {
    const HWND window = Target(target);
    ::PostMessageA(window, WM_SYSKEYDOWN, vk, KeyData(vk, false, true));
    ::PostMessageA(window, WM_SYSKEYUP, vk, KeyData(vk, true, true));
}

void WithKeyHeld(WORD vk, const std::function<void()>& action) {
    BYTE state[256];
    ::GetKeyboardState(state);
    state[vk] |= 0x80;
    ::SetKeyboardState(state);
    action();
    state[vk] &= static_cast<BYTE>(~0x80);
    ::SetKeyboardState(state);
}

std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

namespace {

struct OwnedSearch {
    HWND owner;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window) &&
        ::lstrcmpiA(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindOwnedWindow(HWND owner, const char* className) {
    OwnedSearch search{owner, className, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace rivo::test
