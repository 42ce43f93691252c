// A program for the launcher's tests to register and start: it writes where it was started and how
// (its current directory and its whole command line, one per line, in code page 932 whatever the
// system's code page, as the tests hold their texts) into probe-<process id>.txt beside itself,
// and ends. It opens no window, so starting it never moves the foreground by itself.
#include <windows.h>

#include <string>

namespace {

std::string InCodePage932(const std::wstring& text) {
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::wstring OwnDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring CurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return {};
    std::wstring directory(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, directory.data());
    directory.resize(length < needed ? length : 0);
    return directory;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    return CloseHandle(file) && ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string report =
        InCodePage932(CurrentDirectory()) + "\r\n" + InCodePage932(GetCommandLineW()) + "\r\n";
    const std::wstring name = OwnDirectory() + L"\\probe-" + std::to_wstring(GetCurrentProcessId());
    // Written under another name first: a test polling for the report never reads half of it.
    if (!WriteWhole(name + L".tmp", report))
        return 2;
    return MoveFileExW((name + L".tmp").c_str(), (name + L".txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
