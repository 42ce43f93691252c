#include "tests/win/driver/x_keys.h"

#include <windows.h>

#include "tests/win/driver/wait.h"
#include "platform/unique_handle.h"

namespace rivo::test {

namespace {

// Wine starts a Unix program by the DOS name of its path on the drive that maps the Unix root;
// its start.exe waits for one (a handle of Wine's for a Unix process is never signalled).
constexpr char kXdotool[] = "Z:\\usr\\bin\\xdotool";
constexpr char kStart[] = "C:\\windows\\system32\\start.exe";

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace

bool XKeysAvailable() {
    static const bool available = UnderWine() && GetFileAttributesA(kXdotool) != INVALID_FILE_ATTRIBUTES &&
                                  PressXKeys("getmouselocation");
    return available;
}

bool PressXKeys(const std::string& arguments) {
    std::string commandLine = std::string(kStart) + " /wait /unix /usr/bin/xdotool " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(kStart, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
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
