#include "tests/win/driver/x_keys.h"

#include <windows.h>

#include <cstdint>

#include "platform/unique_handle.h"
#include "tests/win/driver/running_launcher.h"
#include "tests/win/driver/wait.h"

namespace rivo::test {

namespace {

// Wine starts a Unix program by the DOS name of its path on the drive that maps the Unix root;
// its start.exe waits for one (a handle of Wine's for a Unix process is never signalled).
constexpr wchar_t kXdotool[] = L"Z:\\usr\\bin\\xdotool";
constexpr wchar_t kStart[] = L"C:\\windows\\system32\\start.exe";

}  // namespace

bool XKeysAvailable() {
    static const bool available = UnderWine() && GetFileAttributesW(kXdotool) != INVALID_FILE_ATTRIBUTES &&
                                  PressXKeys("getmouselocation");
    return available;
}

bool PressXKeys(const std::string& arguments, HWND through) {
    // The arguments are xdotool's key names, plain ASCII.
    std::wstring commandLine = std::wstring(kStart) + L" /wait /unix /usr/bin/xdotool ";
    if (through) {
        // Wine's x11 driver keeps each window's X window id in this property.
        const auto xWindow = reinterpret_cast<std::uintptr_t>(GetPropW(through, L"__wine_x11_whole_window"));
        if (xWindow == 0)
            return false;
        commandLine += L"windowfocus --sync " + std::to_wstring(xWindow) + L" ";
    }
    commandLine += std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(kStart, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    const platform::UniqueKernelHandle process(info.hProcess);
    const platform::UniqueKernelHandle thread(info.hThread);
    if (!WaitUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }))
        return false;
    DWORD code = 1;
    return GetExitCodeProcess(process.get(), &code) && code == 0;
}

}  // namespace rivo::test
