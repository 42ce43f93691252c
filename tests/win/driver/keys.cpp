#include "tests/win/driver/keys.h"

namespace rivo::test {

namespace {

LPARAM KeyLParam(WORD vk, bool down, bool alt = false) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (alt)
        lParam |= LPARAM{1} << 29;
    if (!down)
        lParam |= (LPARAM{1} << 30) | static_cast<LPARAM>(0x80000000u);
    return lParam;
}

// Injects `keys` and a tap of `vk` in one go, then pumps until the key-up of `vk` arrives at this
// thread; the milliseconds from before the injection.
std::optional<double> InjectThenType(std::vector<InjectedKey> keys, WORD vk, DWORD timeoutMs) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    keys.push_back({vk, true});
    keys.push_back({vk, false});
    if (!InjectKeys(keys))
        return std::nullopt;
    const DWORD started = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (msg.message == WM_KEYUP && msg.wParam == vk) {
                QueryPerformanceCounter(&now);
                return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                       static_cast<double>(frequency.QuadPart);
            }
        }
        if (GetTickCount() - started >= Scaled(timeoutMs))
            return std::nullopt;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace

bool InjectKeys(const std::vector<InjectedKey>& keys) {
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const InjectedKey& key = keys[i];
        INPUT& input = inputs[i];
        if (key.vk == VK_LBUTTON || key.vk == VK_RBUTTON) {
            input.type = INPUT_MOUSE;
            if (key.vk == VK_LBUTTON)
                input.mi.dwFlags = key.down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
            else
                input.mi.dwFlags = key.down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
            input.mi.dwExtraInfo = key.extraInfo;
            continue;
        }
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = key.down ? 0 : KEYEVENTF_KEYUP;
        input.ki.dwExtraInfo = key.extraInfo;
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool InjectCallUpChord() {
    return InjectKeys({{VK_SHIFT, true}, {VK_CONTROL, true}, {VK_CONTROL, false}, {VK_SHIFT, false}});
}

bool InjectTap(WORD vk) {
    return InjectKeys({{vk, true}, {vk, false}});
}

std::optional<double> TypeIntoOwnWindow(WORD vk, DWORD timeoutMs) {
    return InjectThenType({}, vk, timeoutMs);
}

bool InjectAndSettle(std::vector<InjectedKey> keys, WORD sentinel) {
    return InjectThenType(std::move(keys), sentinel, kWaitMs).has_value();
}

void PostKey(HWND window, WORD vk) {
    PostKeyDown(window, vk);
    PostKeyUp(window, vk);
}

void PostKeyDown(HWND window, WORD vk) {
    PostMessageW(window, WM_KEYDOWN, vk, KeyLParam(vk, true));
}

void PostKeyUp(HWND window, WORD vk) {
    PostMessageW(window, WM_KEYUP, vk, KeyLParam(vk, false));
}

void PostKeyRepeat(HWND window, WORD vk) {
    PostMessageW(window, WM_KEYDOWN, vk, KeyLParam(vk, true) | (LPARAM{1} << 30));
}

void PostAltKey(HWND window, WORD vk) {
    PostMessageW(window, WM_SYSKEYDOWN, vk, KeyLParam(vk, true, true));
    PostMessageW(window, WM_SYSKEYUP, vk, KeyLParam(vk, false, true));
}

void PostKey(WORD vk) {
    PostKey(GetFocus(), vk);
}

void PostKeyDown(WORD vk) {
    PostKeyDown(GetFocus(), vk);
}

void PostAltKey(WORD vk) {
    PostAltKey(GetFocus(), vk);
}

void WithKeyHeld(WORD vk, const std::function<void()>& action) {
    BYTE state[256];
    GetKeyboardState(state);
    state[vk] |= 0x80;
    SetKeyboardState(state);
    action();
    state[vk] &= static_cast<BYTE>(~0x80);
    SetKeyboardState(state);
}

void ClickButton(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PostClick(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    PostClickAt(window, {client.right / 2, client.bottom / 2});
}

void PostClickAt(HWND window, POINT point) {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

SuspendedWindowThread::SuspendedWindowThread(HWND window)
    : thread_(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr))) {
    suspended_ = thread_ && SuspendThread(thread_.get()) != static_cast<DWORD>(-1);
}

SuspendedWindowThread::~SuspendedWindowThread() {
    if (suspended_)
        ResumeThread(thread_.get());
}

}  // namespace rivo::test
