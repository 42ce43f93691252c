#include "tests/win/driver/immutable_path.h"

#include <windows.h>

#include <string>

#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "tests/win/driver/wait.h"

namespace rivo::test {

namespace {

// How long a flag may take to show: chattr runs as a Unix process of its own.
constexpr DWORD kFlagWaitMs = 5000;

// The Unix name of a path of the prefix; empty when not under Wine.
std::string UnixPathOf(const std::wstring& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "wine_get_unix_file_name")));
    if (toUnix == nullptr)
        return {};
    char* name = toUnix(path.c_str());
    if (name == nullptr)
        return {};
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether the path refuses what the flag refuses: a new file in a folder, a write to a file.
bool Refuses(const std::wstring& path) {
    if (IsDirectory(path)) {
        // A new name each time: a probe created just before the flag lands can no longer be
        // deleted, and a second try of the same name would fail as existing, never as refused.
        static unsigned probes = 0;
        const std::wstring probe = path + L"\\immutable-probe-" + std::to_wstring(++probes);
        platform::UniqueFile created(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (created) {
            created.reset();
            DeleteFileW(probe.c_str());
            return false;
        }
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    platform::UniqueFile opened(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !opened && GetLastError() == ERROR_ACCESS_DENIED;
}

// Starts chattr on the path. Wine starts a Unix program as a process of its own, whose end it
// does not report: the caller waits for the flag's effect instead.
bool RunChattr(const char* change, const std::string& unixPath) {
    std::wstring program = platform::Wide("Z:" RIVO_CHATTR);
    for (wchar_t& c : program) {
        if (c == L'/')
            c = L'\\';
    }
    std::wstring command = platform::Wide(std::string("chattr ") + change + " \"" + unixPath + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

ImmutablePath::ImmutablePath(const std::string& path) : path_(platform::Wide(path)) {
    if (std::string(RIVO_CHATTR).empty()) {
        unsupported_ = "chattr is not installed";
        return;
    }
    unixPath_ = UnixPathOf(path_);
    if (unixPath_.empty()) {
        unsupported_ = "not under Wine: no Unix path for " + path;
        return;
    }
    if (!RunChattr("+i", unixPath_)) {
        unsupported_ = "chattr could not be started";
        return;
    }
    if (!WaitUntil([&] { return Refuses(path_); }, kFlagWaitMs)) {
        unsupported_ = "chattr +i has no effect on " + unixPath_ + " (not root, or a file system without it)";
    }
}

ImmutablePath::~ImmutablePath() {
    if (unixPath_.empty() || !RunChattr("-i", unixPath_))
        return;
    WaitUntil([&] { return !Refuses(path_); }, kFlagWaitMs);
}

}  // namespace rivo::test
