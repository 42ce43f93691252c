#include "tests/win/driver/launcher_process.h"

#include "platform/wide_text.h"
#include "tests/win/driver/scratch_dir.h"

namespace rivo::test {

namespace {

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + path;
}

}  // namespace

std::string BuiltFile(const std::string& name) {
    return WindowsPath(std::string(RIVO_BINARY_DIR) + "/launcher/" + name);
}

std::string BuildTreeFile(const std::string& relative) {
    return WindowsPath(std::string(RIVO_BINARY_DIR) + "/" + relative);
}

const std::vector<std::string>& LauncherFiles() {
    static const std::vector<std::string> files{"rivo.exe", "rivo.dll", "help.html"};
    return files;
}

bool CopyBuiltFiles(const std::string& directory, const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (!CopyTo(BuiltFile(file), directory + "\\" + file))
            return false;
    }
    return true;
}

bool InstallLauncher(const std::string& directory, const std::string& ini) {
    return CopyBuiltFiles(directory, LauncherFiles()) && WriteBytes(directory + "\\Rivo.ini", ini);
}

HWND CallUpWindowOf(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(HWND_MESSAGE, window, L"RivoCallUpWindow", nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == processId)
            return window;
    }
    return nullptr;
}

bool PostedSentinelHandled(HWND window, HICON icon, DWORD timeoutMs) {
    const auto held = [&] {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_GETICON, ICON_BIG, 0, SMTO_NORMAL, Scaled(timeoutMs), &answer);
        return reinterpret_cast<HICON>(answer);
    };
    const HICON marker = held() == icon ? nullptr : icon;
    return PostMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(marker)) &&
           WaitUntil([&] { return held() == marker; }, timeoutMs);
}

LauncherProcess::LauncherProcess(const std::string& exe, const std::string& directory)
    : LauncherProcess(platform::Wide(exe), platform::Wide(directory)) {}

LauncherProcess::LauncherProcess(const std::wstring& exe, const std::wstring& directory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.c_str(), &startup, &info)) {
        process_.reset(info.hProcess);
        id_ = info.dwProcessId;
        CloseHandle(info.hThread);
    }
}

LauncherProcess::LauncherProcess(const std::string& exe)
    : LauncherProcess(exe, exe.substr(0, exe.find_last_of('\\'))) {}

LauncherProcess::~LauncherProcess() {
    End();
}

HWND LauncherProcess::WaitForWindow(const char* className, DWORD timeoutMs) {
    if (!process_)
        return nullptr;
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> windows = WindowsOfProcess(id_, className);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr || !Running();
        },
        timeoutMs);
    if (found == nullptr)
        return nullptr;
    main_ = found;
    WaitForInputIdle(process_.get(), Scaled(timeoutMs));
    return main_;
}

bool LauncherProcess::HasMessageBox() {
    return !VisibleWindowsOf(id_, "#32770").empty();
}

std::optional<MessageBoxSeen> LauncherProcess::WaitForMessageBox(DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = VisibleWindowOf(id_, "#32770")) != nullptr || !Running(); }, timeoutMs);
    if (box == nullptr)
        return std::nullopt;
    return ReadMessageBox(box);
}

bool LauncherProcess::Settle(DWORD timeoutMs) {
    const DWORD limit = Scaled(timeoutMs);
    if (main_ == nullptr) {
        const std::vector<HWND> windows = WindowsOfProcess(id_, "TMainForm");
        if (windows.empty())
            return false;
        main_ = windows.front();
    }
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, limit, &ignored) == 0)
        return false;
    // A sent message overtakes posted ones, so the WM_NULL proves nothing about them (a call-up
    // the hook posted, a posted click); a posted sentinel does.
    const HWND callUp = CallUpWindowOf(id_);
    // An icon of the launcher's own, valid in its process.
    const auto own = reinterpret_cast<HICON>(GetClassLongPtrW(main_, GCLP_HICON));
    if (callUp == nullptr || own == nullptr)  // no hook bound
        return WaitForInputIdle(process_.get(), limit) == 0;
    return PostedSentinelHandled(callUp, own, timeoutMs);
}

void LauncherProcess::Close() {
    if (main_ == nullptr) {
        const std::vector<HWND> windows = WindowsOfProcess(id_, "TMainForm");
        if (!windows.empty())
            main_ = windows.front();
    }
    if (main_ != nullptr)
        PostMessageW(main_, WM_CLOSE, 0, 0);
}

void LauncherProcess::End() {
    if (Running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::optional<DWORD> LauncherProcess::CloseAndWait() {
    Close();
    std::optional<DWORD> code = WaitForExit();
    End();
    return code;
}

std::optional<DWORD> LauncherProcess::WaitForExit(DWORD timeoutMs) {
    // Handling this thread's messages meanwhile: a window of this thread may be the one the
    // launcher is still deactivating (a call-up sends to it), and it would wait for us.
    if (!process_ || !WaitUntil([this] { return !Running(); }, timeoutMs))
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool LauncherProcess::Running() {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace rivo::test
