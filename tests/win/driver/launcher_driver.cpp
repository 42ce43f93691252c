#include "tests/win/driver/launcher_driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "tests/win/driver/scratch_dir.h"

namespace rivo::test {

namespace {

constexpr UINT kCrossProcessTimeoutMs = 5000;

LPARAM KeyLParam(WORD vk, bool down) {
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (!down)
        lParam |= (1 << 30) | (1u << 31);
    return lParam;
}

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

struct ChildSearch {
    HWND parent;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, search->className) == 0)
        search->found.push_back(child);
    return TRUE;
}

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string WithoutTrailingBackslash(std::string path) {
    const bool driveRoot = path.size() == 3 && path[1] == ':';
    if (!driveRoot && path.size() > 1 && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

bool InjectKeys(const std::vector<InjectedKey>& keys) {
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i].vk;
        inputs[i].ki.wScan = static_cast<WORD>(MapVirtualKeyA(keys[i].vk, MAPVK_VK_TO_VSC));
        inputs[i].ki.dwFlags = keys[i].down ? 0 : KEYEVENTF_KEYUP;
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
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!InjectTap(vk))
        return std::nullopt;
    const DWORD started = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
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

SuspendedWindowThread::SuspendedWindowThread(HWND window)
    : thread_(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr))) {
    suspended_ = thread_ && SuspendThread(thread_.get()) != static_cast<DWORD>(-1);
}

SuspendedWindowThread::~SuspendedWindowThread() {
    if (suspended_)
        ResumeThread(thread_.get());
}

void PostKeyDown(HWND window, WORD vk) {
    PostMessageA(window, WM_KEYDOWN, vk, KeyLParam(vk, true));
}

void PostKeyUp(HWND window, WORD vk) {
    PostMessageA(window, WM_KEYUP, vk, KeyLParam(vk, false));
}

void PostKeyRepeat(HWND window, WORD vk) {
    PostMessageA(window, WM_KEYDOWN, vk, KeyLParam(vk, true) | (1 << 30));
}

void PostTap(HWND window, WORD vk) {
    PostKeyDown(window, vk);
    PostKeyUp(window, vk);
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    ProcessWindows search{processId, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> WindowsOwnedOutOfSight(DWORD processId, HWND neverShown) {
    std::vector<std::string> found;
    for (HWND window : VisibleWindowsOf(processId)) {
        const HWND owner = GetWindow(window, GW_OWNER);
        if (!owner || owner == neverShown)
            continue;
        if (IsIconic(owner) || !IsWindowVisible(owner)) {
            found.push_back("'" + TextOfWindow(window) + "' owned by '" + TextOfWindow(owner) + "', " +
                            (IsIconic(owner) ? "minimised" : "hidden"));
        }
    }
    return found;
}

HWND VisibleWindowWithCaption(DWORD processId, const std::string& caption) {
    for (HWND window : VisibleWindowsOf(processId)) {
        if (TextOfWindow(window) == caption)
            return window;
    }
    return nullptr;
}

std::string TextOfWindow(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs,
                             &length)) {
        return {};
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs, &copied)) {
        return {};
    }
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

bool SetTextOfWindow(HWND window, const std::string& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs, &result) != 0 &&
           result == TRUE;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    ChildSearch search{parent, className, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    std::vector<std::pair<POINT, HWND>> placed;
    for (HWND child : search.found) {
        RECT bounds{};
        GetWindowRect(child, &bounds);
        placed.push_back({POINT{bounds.left, bounds.top}, child});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
    });
    std::vector<HWND> sorted;
    for (const auto& entry : placed)
        sorted.push_back(entry.second);
    return sorted;
}

HWND ButtonWithCaption(HWND parent, const std::string& caption) {
    for (HWND button : ChildrenOfClass(parent, "Button")) {
        if (TextOfWindow(button) == caption)
            return button;
    }
    return nullptr;
}

void ClickButton(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

std::vector<ProbeReport> ProbeReports(const std::string& directory) {
    std::vector<ProbeReport> reports;
    for (const std::string& name : ListFiles(directory, "probe-*.txt")) {
        const std::string bytes = ReadBytes(directory + "\\" + name).value_or("");
        const std::size_t firstEnd = bytes.find("\r\n");
        if (firstEnd == std::string::npos)
            continue;
        const std::size_t secondEnd = bytes.find("\r\n", firstEnd + 2);
        reports.push_back(
            {bytes.substr(0, firstEnd),
             bytes.substr(firstEnd + 2,
                          secondEnd == std::string::npos ? std::string::npos : secondEnd - firstEnd - 2)});
    }
    return reports;
}

int ProcessesNamed(const char* exeName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, exeName) == 0)
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

bool SamePath(const std::string& a, const std::string& b) {
    return _stricmp(WithoutTrailingBackslash(a).c_str(), WithoutTrailingBackslash(b).c_str()) == 0;
}

std::string ProgramOfCommandLine(const std::string& commandLine, std::string* rest) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = std::min(commandLine.find(' '), commandLine.size());
    }
    if (rest != nullptr) {
        const std::size_t next = commandLine.find_first_not_of(' ', end);
        *rest = next == std::string::npos ? "" : commandLine.substr(next);
    }
    return Unquoted(commandLine.substr(0, end));
}

std::optional<std::string> IniValue(const std::string& bytes, const std::string& key) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
        start = end + 2;
    }
    return std::nullopt;
}

}  // namespace rivo::test
