#include "tests/win/driver/launcher_process.h"

#include <cstring>

namespace rivo::test {

namespace {

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + path;
}

std::string TextOf(HWND window) {
    char buffer[4096] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

struct Search {
    DWORD processId;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0) {
        const std::string text = TextOf(child);
        if (!text.empty()) {
            auto* collected = reinterpret_cast<std::string*>(param);
            if (!collected->empty())
                *collected += "\n";
            *collected += text;
        }
    }
    return TRUE;
}

}  // namespace

std::string BuiltFile(const std::string& name) {
    return WindowsPath(std::string(RIVO_BINARY_DIR) + "/launcher/" + name);
}

std::string BuildTreeFile(const std::string& relative) {
    return WindowsPath(std::string(RIVO_BINARY_DIR) + "/" + relative);
}

bool CopyBuiltFiles(const std::string& directory, const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (!CopyFileA(BuiltFile(file).c_str(), (directory + "\\" + file).c_str(), FALSE))
            return false;
    }
    return true;
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className) {
    Search search{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LauncherProcess::LauncherProcess(const std::string& exe, const std::string& directory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exe + "\"";
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       directory.c_str(), &startup, &info)) {
        process_ = info.hProcess;
        id_ = info.dwProcessId;
        CloseHandle(info.hThread);
    }
}

LauncherProcess::~LauncherProcess() {
    if (process_ == nullptr)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND LauncherProcess::WaitForMainWindow(DWORD timeoutMs) {
    const DWORD limit = Scaled(timeoutMs);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limit) {
        const std::vector<HWND> windows = WindowsOfProcess(id_, "TMainForm");
        if (!windows.empty()) {
            main_ = windows.front();
            WaitForInputIdle(process_, limit);
            return main_;
        }
        if (WaitForSingleObject(process_, 20) != WAIT_TIMEOUT)
            return nullptr;
    }
    return nullptr;
}

bool LauncherProcess::HasMessageBox() {
    for (HWND box : WindowsOfProcess(id_, "#32770")) {
        if (IsWindowVisible(box))
            return true;
    }
    return false;
}

std::optional<MessageBoxInfo> LauncherProcess::WaitForMessageBox(DWORD timeoutMs) {
    const DWORD limit = Scaled(timeoutMs);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limit) {
        for (HWND box : WindowsOfProcess(id_, "#32770")) {
            if (!IsWindowVisible(box))
                continue;
            MessageBoxInfo info;
            info.window = box;
            info.caption = TextOf(box);
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&info.text));
            return info;
        }
        if (WaitForSingleObject(process_, 20) != WAIT_TIMEOUT)
            return std::nullopt;
    }
    return std::nullopt;
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
    if (SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, limit, &ignored) == 0)
        return false;
    // A sent message overtakes posted ones, so the WM_NULL proves nothing about them (a call-up
    // the hook posted, a posted click). A posted sentinel does: a thread's posted messages are
    // handled in order, whichever of its windows they are for. The hook library's message-only
    // window on the launcher's window thread keeps what WM_SETICON gives it, for WM_GETICON.
    HWND callUp = nullptr;
    while ((callUp = FindWindowExA(HWND_MESSAGE, callUp, "RivoCallUpWindow", nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(callUp, &process);
        if (process == id_)
            break;
    }
    if (callUp == nullptr)  // no hook bound
        return WaitForInputIdle(process_, limit) == 0;
    const auto icon = [&] {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(callUp, WM_GETICON, ICON_BIG, 0, SMTO_NORMAL, limit, &answer);
        return reinterpret_cast<HICON>(answer);
    };
    // An icon of the launcher's own: a window keeps no icon that is not valid in its process.
    const auto own = reinterpret_cast<HICON>(GetClassLongPtrA(main_, GCLP_HICON));
    if (own == nullptr)
        return WaitForInputIdle(process_, limit) == 0;
    const HICON marker = icon() == own ? nullptr : own;
    if (!PostMessageA(callUp, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(marker)))
        return false;
    return WaitUntil([&] { return icon() == marker; }, timeoutMs);
}

void LauncherProcess::Close() {
    if (main_ == nullptr) {
        const std::vector<HWND> windows = WindowsOfProcess(id_, "TMainForm");
        if (!windows.empty())
            main_ = windows.front();
    }
    if (main_ != nullptr)
        PostMessageA(main_, WM_CLOSE, 0, 0);
}

void LauncherProcess::End() {
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

std::optional<DWORD> LauncherProcess::WaitForExit(DWORD timeoutMs) {
    // Handling this thread's messages meanwhile: a window of this thread may be the one the
    // launcher is still deactivating (a call-up sends to it), and it would wait for us.
    if (!WaitUntil([this] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs))
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool LauncherProcess::Running() {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void PressButton(HWND box, int id) {
    // The box's own window procedure turns this into the button's click.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

bool PressButtonAndWait(HWND box, int id, DWORD timeoutMs) {
    PressButton(box, id);
    return WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
}

}  // namespace rivo::test
