#include "tests/win/driver/modal_driver.h"

#include <cstdlib>
#include <string>
#include <utility>

namespace rivo::test {

namespace {

constexpr UINT kInvoke = WM_APP + 77;
constexpr UINT kFlush = WM_APP + 78;
constexpr wchar_t kInvokerClass[] = L"RivoModalTestInvoker";
constexpr UINT kTickMs = 10;

Script* currentScript = nullptr;

LRESULT CALLBACK InvokerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kInvoke) {
        try {
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
        } catch (...) {
            ::OutputDebugStringW(L"modal test: a step on the window thread threw\n");
        }
        return 0;
    }
    if (message == kFlush) {
        ::SetEvent(reinterpret_cast<HANDLE>(lParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Answers every message box this process shows with the first of OK, No, Cancel it has.
bool AnswerOpenBoxes() {
    bool answered = false;
    for (HWND box : VisibleWindowsOf(GetCurrentProcessId(), "#32770")) {
        for (int id : {IDOK, IDNO, IDCANCEL}) {
            if (GetDlgItem(box, id)) {
                PressButton(box, id);
                answered = true;
                break;
            }
        }
    }
    return answered;
}

}  // namespace

HWND WaitForWindow(const char* className, const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            return (found = VisibleWindowWithCaption(GetCurrentProcessId(), caption, className)) != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitUntilHidden(HWND window, DWORD timeoutMs) {
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

MessageBoxSeen AnswerMessageBox(const std::string& caption, int answer, DWORD timeoutMs) {
    HWND box = WaitForWindow("#32770", caption, timeoutMs);
    if (!box)
        return {};
    MessageBoxSeen seen = ReadMessageBox(box);
    PressButton(box, answer);
    WaitUntilHidden(box);
    return seen;
}

bool MessageBoxAppears(const std::string& caption, DWORD timeoutMs) {
    return WaitForWindow("#32770", caption, timeoutMs) != nullptr;
}

MessageBoxAnswerer::MessageBoxAnswerer(std::string caption, int answer)
    : thread_([this, caption = std::move(caption), answer] { seen_ = AnswerMessageBox(caption, answer); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    if (thread_.joinable())
        thread_.join();
}

const MessageBoxSeen& MessageBoxAnswerer::Seen() {
    if (thread_.joinable())
        thread_.join();
    return seen_;
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
    ::SendMessageW(window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

UiInvoker::UiInvoker() : thread_(::GetCurrentThreadId()) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = InvokerProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kInvokerClass;
    ::RegisterClassW(&windowClass);  // fails harmlessly once registered
    window_ = ::CreateWindowExW(0, kInvokerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
}

UiInvoker::~UiInvoker() {
    if (window_)
        ::DestroyWindow(window_);
}

void UiInvoker::Run(const std::function<void()>& step) const {
    ::SendMessageW(window_, kInvoke, 0, reinterpret_cast<LPARAM>(&step));
}

void UiInvoker::Flush() const {
    const platform::UniqueKernelHandle handled(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (handled && ::PostMessageW(window_, kFlush, 0, reinterpret_cast<LPARAM>(handled.get())))
        ::WaitForSingleObject(handled.get(), Scaled(kWaitMs));
}

Driver::Driver(std::function<void()> script, std::vector<std::string> rescueCaptions)
    : rescueCaptions_(std::move(rescueCaptions)), thread_([this, script = std::move(script)] {
          script();
          // Whatever the script left open is closed, so the test thread's loop ends. A window
          // the script has just closed gets a moment to go.
          for (const std::string& caption : rescueCaptions_) {
              HWND window = VisibleWindowWithCaption(GetCurrentProcessId(), caption);
              if (!window || WaitUntilHidden(window, 3000))
                  continue;
              rescued_ = true;
              WaitUntil(
                  [window] {
                      if (!AnswerOpenBoxes())
                          PostMessageW(window, WM_CLOSE, 0, 0);
                      return !IsWindowVisible(window);
                  },
                  5000, 100);
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

bool ShowAndDrive(const char* className, const std::string& caption, std::vector<std::string> rescueCaptions,
                  const std::function<void(HWND window)>& script, const std::function<void()>& show,
                  std::string* failure) {
    Driver driver(
        [&] {
            HWND window = WaitForWindow(className, caption);
            if (!window) {
                *failure = "'" + caption + "' did not show";
                return;
            }
            script(window);
        },
        std::move(rescueCaptions));
    show();
    return driver.Finish();
}

Script::Script(std::vector<Step> steps, std::function<void()> giveUp)
    : steps_(std::move(steps)), giveUp_(std::move(giveUp)) {
    currentScript = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMs, &Script::Tick);
    if (timer_ == 0)
        failure_ = "SetTimer failed";
}

Script::~Script() {
    if (timer_)
        ::KillTimer(nullptr, timer_);
    if (currentScript == this)
        currentScript = nullptr;
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (currentScript)
        currentScript->RunStep();
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
    if (++tries_ >= static_cast<int>(Scaled(kWaitMs) / kTickMs)) {
        failure_ = "step " + std::to_string(next_) + " never completed";
        gaveUp_ = true;
        if (giveUp_)
            giveUp_();
    }
}

Script::Step Do(std::function<void()> action) {
    return [action = std::move(action)] {
        action();
        return true;
    };
}

}  // namespace rivo::test
