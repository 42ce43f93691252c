#include "tests/win/driver/window_finder.h"

#include <algorithm>
#include <iterator>

#include "platform/wide_text.h"
#include "tests/win/driver/wait.h"

namespace rivo::test {

namespace {

// Long enough for a busy window thread under Wine; a hung one gives an empty text.
constexpr UINT kCrossProcessTimeoutMs = 5000;

struct ProcessWindows {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || (search->visibleOnly && !IsWindowVisible(window)))
        return TRUE;
    if (search->className == nullptr || IsClass(window, search->className))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> Collect(DWORD processId, const char* className, bool visibleOnly) {
    ProcessWindows search{processId, className, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM out) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

struct OwnedSearch {
    HWND owner;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
        IsClass(window, search->className)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string ClassOf(HWND window) {
    wchar_t className[256] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return platform::Narrow(className);
}

bool IsClass(HWND window, std::string_view name) {
    wchar_t actual[256] = {};
    GetClassNameW(window, actual, static_cast<int>(std::size(actual)));
    return lstrcmpiW(actual, platform::Wide(name).c_str()) == 0;
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className) {
    return Collect(processId, className, false);
}

std::vector<HWND> VisibleWindowsOf(DWORD processId, const char* className) {
    return Collect(processId, className, true);
}

HWND VisibleWindowOf(DWORD processId, const char* className) {
    const std::vector<HWND> windows = VisibleWindowsOf(processId, className);
    return windows.empty() ? nullptr : windows.front();
}

HWND VisibleWindowWithCaption(DWORD processId, const std::string& caption, const char* className) {
    for (HWND window : VisibleWindowsOf(processId, className)) {
        if (TextOfWindow(window) == caption)
            return window;
    }
    return nullptr;
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

HWND FindOwnedWindow(HWND owner, const char* className) {
    OwnedSearch search{owner, className, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOfWindow(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs,
                             &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs, &copied)) {
        return {};
    }
    text.resize(std::min<std::size_t>(copied, length));
    return platform::Narrow(text);
}

bool SetTextOfWindow(HWND window, const std::string& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(platform::Wide(text).c_str()),
                               SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs, &result) != 0 &&
           result == TRUE;
}

std::vector<ChildWindow> ChildrenOf(HWND parent) {
    std::vector<ChildWindow> children;
    for (HWND child : Children(parent)) {
        children.push_back({ClassOf(child), TextOfWindow(child), GetDlgCtrlID(child),
                            GetWindowLongW(child, GWL_STYLE), child});
    }
    return children;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    std::vector<std::pair<POINT, HWND>> placed;
    for (HWND child : Children(parent)) {
        if (!IsClass(child, className))
            continue;
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

HWND ChildWithText(HWND parent, const std::string& text) {
    for (HWND child : Children(parent)) {
        if (TextOfWindow(child) == text)
            return child;
    }
    return nullptr;
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

DWORD ThreadOf(HWND window) {
    return GetWindowThreadProcessId(window, nullptr);
}

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.found = true;
    seen.window = box;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.caption = TextOfWindow(box);
    for (const ChildWindow& child : ChildrenOf(box)) {
        if (!(child.style & WS_VISIBLE))
            continue;
        if (_stricmp(child.className.c_str(), "Button") == 0)
            seen.buttons.push_back(child.id);
        if (_stricmp(child.className.c_str(), "Static") != 0)
            continue;
        if ((child.style & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR icon = 0;
            SendMessageTimeoutW(child.handle, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kCrossProcessTimeoutMs,
                                &icon);
            seen.icon = reinterpret_cast<HICON>(icon);
        } else if (!child.text.empty()) {
            seen.text += (seen.texts.empty() ? "" : "\n") + child.text;
            seen.texts.push_back(child.text);
        }
    }
    return seen;
}

void PressButton(HWND box, int id) {
    // The box's own window procedure turns this into the button's click.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

bool PressButtonAndWait(HWND box, int id) {
    PressButton(box, id);
    return WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

}  // namespace rivo::test
