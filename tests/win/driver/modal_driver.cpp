#include "tests/win/driver/modal_driver.h"

#include <cstdlib>
#include <utility>

namespace rivo::modal_test {

namespace {

constexpr UINT kInvoke = WM_APP + 77;
constexpr UINT kFlush = WM_APP + 78;
constexpr char kInvokerClass[] = "RivoModalTestInvoker";

struct FindData {
    const char* className;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindInProcess(HWND window, LPARAM data) {
    auto* find = reinterpret_cast<FindData*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window))
        return TRUE;
    char className[64] = {};
    char caption[256] = {};
    ::GetClassNameA(window, className, sizeof className);
    ::GetWindowTextA(window, caption, sizeof caption);
    if ((!find->className || lstrcmpiA(className, find->className) == 0) && *find->caption == caption) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK AddChild(HWND child, LPARAM out) {
    char className[64] = {};
    char text[1024] = {};
    ::GetClassNameA(child, className, sizeof className);
    ::GetWindowTextA(child, text, sizeof text);
    reinterpret_cast<std::vector<ChildWindow>*>(out)->push_back(
        {className, text, ::GetDlgCtrlID(child), ::GetWindowLongA(child, GWL_STYLE), child});
    return TRUE;
}

LRESULT CALLBACK InvokerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kInvoke) {
        try {
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
        } catch (...) {
            ::OutputDebugStringA("modal test: a step on the window thread threw\n");
        }
        return 0;
    }
    if (message == kFlush) {
        ::SetEvent(reinterpret_cast<HANDLE>(lParam));
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK AnswerOpenBox(HWND window, LPARAM answered) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window) ||
        lstrcmpA(className, "#32770") != 0)
        return TRUE;
    for (int id : {IDOK, IDNO, IDCANCEL}) {
        if (HWND button = ::GetDlgItem(window, id)) {
            ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            *reinterpret_cast<bool*>(answered) = true;
            break;
        }
    }
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return test::WaitUntil(condition, static_cast<DWORD>(timeoutMs));
}

HWND FindVisibleWindow(const char* className, const std::string& caption) {
    FindData find{className, &caption, nullptr};
    ::EnumWindows(FindInProcess, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND WaitForWindow(const char* className, const std::string& caption, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindVisibleWindow(className, caption)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitUntilHidden(HWND window, int timeoutMs) {
    return WaitUntil([window] { return !::IsWindow(window) || !::IsWindowVisible(window); }, timeoutMs);
}

std::vector<ChildWindow> ChildrenOf(HWND parent) {
    std::vector<ChildWindow> children;
    ::EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

MessageBoxSeen AnswerMessageBox(const std::string& caption, int answer, int timeoutMs) {
    MessageBoxSeen seen;
    HWND box = WaitForWindow("#32770", caption, timeoutMs);
    if (!box)
        return seen;
    seen.found = true;
    seen.owner = ::GetWindow(box, GW_OWNER);
    for (const ChildWindow& child : ChildrenOf(box)) {
        if (!(child.style & WS_VISIBLE))
            continue;
        if (lstrcmpiA(child.className.c_str(), "Button") == 0)
            seen.buttons.push_back(child.id);
        if (lstrcmpiA(child.className.c_str(), "Static") == 0 && (child.style & SS_TYPEMASK) != SS_ICON &&
            !child.text.empty())
            seen.text = child.text;
    }
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, answer)));
    WaitUntilHidden(box);
    return seen;
}

bool MessageBoxAppears(const std::string& caption, int timeoutMs) {
    return WaitForWindow("#32770", caption, timeoutMs) != nullptr;
}

void PostKey(HWND window, WORD key) {
    const UINT scan = ::MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    ::PostMessageA(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

void PostClick(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    PostClickAt(window, {client.right / 2, client.bottom / 2});
}

void PostClickAt(HWND window, POINT point) {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(window, WM_LBUTTONUP, 0, at);
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

UiInvoker::UiInvoker() : thread_(::GetCurrentThreadId()) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = InvokerProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kInvokerClass;
    ::RegisterClassA(&windowClass);  // fails harmlessly once registered
    window_ = ::CreateWindowExA(0, kInvokerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
}

UiInvoker::~UiInvoker() {
    if (window_)
        ::DestroyWindow(window_);
}

void UiInvoker::Run(const std::function<void()>& step) const {
    ::SendMessageA(window_, kInvoke, 0, reinterpret_cast<LPARAM>(&step));
}

void UiInvoker::Flush() const {
    const HANDLE handled = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!handled)
        return;
    if (::PostMessageA(window_, kFlush, 0, reinterpret_cast<LPARAM>(handled)))
        ::WaitForSingleObject(handled, 5000);
    ::CloseHandle(handled);
}

Driver::Driver(std::function<void()> script, std::vector<std::string> rescueCaptions)
    : rescueCaptions_(std::move(rescueCaptions)), thread_([this, script = std::move(script)] {
          script();
          // Whatever the script left open is closed, so the test thread's loop ends. A window
          // the script has just closed gets a moment to go.
          for (const std::string& caption : rescueCaptions_) {
              HWND window = FindVisibleWindow(nullptr, caption);
              if (!window || WaitUntilHidden(window, 3000))
                  continue;
              for (int round = 0; round < 50 && ::IsWindowVisible(window); ++round) {
                  rescued_ = true;
                  bool answered = false;
                  ::EnumWindows(AnswerOpenBox, reinterpret_cast<LPARAM>(&answered));
                  if (!answered)
                      ::PostMessageA(window, WM_CLOSE, 0, 0);
                  ::Sleep(100);
              }
          }
      }) {}

Driver::~Driver() {
    if (thread_.joinable())
        thread_.join();
}

bool Driver::Finish() {
    if (thread_.joinable())
        thread_.join();
    return !rescued_;
}

int TestDpi() {
    const char* dpi = std::getenv("RIVO_TEST_DPI");
    return dpi && std::atoi(dpi) > 0 ? std::atoi(dpi) : 96;
}

int AtDpi(int pixelsAt96, int dpi) {
    return ::MulDiv(pixelsAt96, dpi, 96);
}

RECT SendDpiChanged(HWND window, int dpi, int fromDpi) {
    RECT now{};
    ::GetWindowRect(window, &now);
    RECT suggested{now.left + 10, now.top + 20, 0, 0};
    suggested.right = suggested.left + ::MulDiv(now.right - now.left, dpi, fromDpi);
    suggested.bottom = suggested.top + ::MulDiv(now.bottom - now.top, dpi, fromDpi);
    constexpr UINT kDpiChanged = 0x02E0;
    ::SendMessageA(window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

}  // namespace rivo::modal_test
