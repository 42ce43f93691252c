// A program for the tests to register as the opener of a file type: it writes how the shell
// asked it to show itself (the show command of its start-up information, or -1 when none was
// given) and its command line, one per line, into shown-<process id>.txt beside itself, and ends
// without opening a window.
#include <windows.h>

#include <string>

namespace {

std::string OwnDirectory() {
    char path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length < sizeof path ? length : 0);
    // Plain ASCII build-tree paths: the last backslash ends the directory.
    const std::size_t end = directory.rfind('\\');
    return end == std::string::npos ? std::string() : directory.substr(0, end);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int shown = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::string report = std::to_string(shown) + "\r\n" + GetCommandLineA() + "\r\n";
    const std::string file = OwnDirectory() + "\\shown-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const HANDLE out =
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(out, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(out);
    return ok && written == report.size() ? 0 : 1;
}
