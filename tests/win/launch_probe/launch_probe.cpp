// A program for the launcher's tests to register and start: it writes where it was started and how
// (its current directory and its whole command line, one per line, in the ANSI code page) into
// probe-<process id>.txt beside itself, and ends. It opens no window, so starting it never moves
// the foreground by itself.
#include <windows.h>

#include <string>

namespace {

std::string OwnDirectory() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    // The module path is a plain Windows path; its last backslash that is not a trail byte ends
    // the directory.
    std::size_t end = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\') {
            end = i;
        }
    }
    return path.substr(0, end);
}

std::string CurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0)
        return {};
    std::string directory(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, directory.data());
    directory.resize(length < needed ? length : 0);
    return directory;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    return CloseHandle(file) && ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string directory = OwnDirectory();
    const std::string report = CurrentDirectory() + "\r\n" + GetCommandLineA() + "\r\n";
    const std::string name = directory + "\\probe-" + std::to_string(GetCurrentProcessId());
    // Written under another name first: a test polling for the report never reads half of it.
    if (!WriteWhole(name + ".tmp", report))
        return 2;
    return MoveFileExA((name + ".tmp").c_str(), (name + ".txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
