#include "bench/launcher_bench_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rivo::bench {

namespace {

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + path;
}

std::string Replaced(std::string text, const std::string& token, const std::string& value) {
    for (std::size_t at = text.find(token); at != std::string::npos;
         at = text.find(token, at + value.size())) {
        text.replace(at, token.size(), value);
    }
    return text;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::string(className) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

long userKeyUps = 0;

LRESULT CALLBACK UserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_KEYUP || message == WM_SYSKEYUP)
        ++userKeyUps;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Summary Summarise(std::vector<double> samples) {
    Summary summary;
    summary.count = samples.size();
    if (samples.empty())
        return summary;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    summary.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    summary.p90 =
        samples[std::min(n - 1, static_cast<std::size_t>(std::ceil(0.9 * static_cast<double>(n))) - 1)];
    summary.min = samples.front();
    return summary;
}

std::string BenchFile(const std::string& name) {
    return WindowsPath(std::string(RIVO_BINARY_DIR) + "/bench/" + name);
}

LauncherInstall::LauncherInstall(const std::string& entries) {
    const std::string launcherDir = WindowsPath(std::string(RIVO_BINARY_DIR) + "/launcher/");
    ok_ = true;
    for (const char* file : {"rivo.exe", "rivo.dll", "help.html"}) {
        ok_ = ok_ && CopyFileA((launcherDir + file).c_str(), dir_.File(file).c_str(), FALSE);
    }
    ok_ = ok_ && CopyFileA(BenchFile("launch_probe.exe").c_str(), Probe().c_str(), FALSE);
    const std::string ini = Replaced(Replaced("[Rivo]\r\n" + entries, "{probe}", Probe()), "{dir}", Dir());
    ok_ = ok_ && test::WriteBytes(dir_.File("Rivo.ini"), ini);
}

StartedProgram::StartedProgram(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exe + "\"";
    const std::string directory = exe.substr(0, exe.find_last_of('\\'));
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.c_str(), &startup, &info)) {
        process_ = info.hProcess;
        id_ = info.dwProcessId;
        CloseHandle(info.hThread);
    }
}

StartedProgram::~StartedProgram() {
    if (process_ == nullptr)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND StartedProgram::WaitUntilReady(const char* className, DWORD timeoutMs) {
    if (process_ == nullptr)
        return nullptr;
    // Idle means the program has finished its start-up and waits in its message loop (for the
    // launcher: the tray icon is added and the hook set, both before its loop starts).
    if (WaitForInputIdle(process_, timeoutMs) != 0)
        return nullptr;
    HWND window = nullptr;
    PollUntil([&] { return (window = WindowOfProcess(id_, className)) != nullptr; }, timeoutMs);
    return window;
}

void StartedProgram::CloseWindowAndWait(HWND window, DWORD timeoutMs) {
    if (process_ == nullptr)
        return;
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

HWND WindowOfProcess(DWORD processId, const char* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

UserWindow::UserWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = UserWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RivoBenchUserWindow";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&wc);
    // Away from the launcher's (0, 0) and the minimal program's (200, 0) windows, whose pixels are read.
    handle_ = CreateWindowExA(0, wc.lpszClassName, "user", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 300,
                              200, nullptr, nullptr, wc.hInstance, nullptr);
}

UserWindow::~UserWindow() {
    if (handle_)
        DestroyWindow(handle_);
}

bool UserWindow::TakeForeground() const {
    SetForegroundWindow(handle_);
    return PollUntil([&] { return GetForegroundWindow() == handle_; }, 5000);
}

long UserWindow::KeyUps() {
    return userKeyUps;
}

COLORREF ScreenPixelOfClient(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool AnotherLauncherRunning() {
    const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "rivo");
    if (mutex == nullptr)
        return false;
    CloseHandle(mutex);
    return true;
}

std::string Ms(std::optional<double> value) {
    if (!value)
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", *value);
    return text;
}

}  // namespace rivo::bench
