// rivo.exe started in a scratch directory of its own and seen from outside, as other programs
// and the user see it: what its windows show on the screen, its tray icon, its menus.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle.h"
#include "tests/win/driver/keys.h"
#include "tests/win/driver/launcher_process.h"
#include "tests/win/driver/scratch_dir.h"
#include "tests/win/driver/user_window.h"
#include "tests/win/driver/window_finder.h"

namespace rivo::test {

inline constexpr UINT kTrayCallback = WM_USER + 1;
inline constexpr WPARAM kTrayIconId = 100;

// Whether this runs under Wine, whose desktop differs from Windows' in what some tests can see.
bool UnderWine();

// "RRGGBB", for messages.
std::string Hex(COLORREF colour);

// What a window shows on the screen, read through a DC of the window as any program can.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
std::optional<Picture> CaptureClient(HWND window);
// The colour on the screen at a client point of a window (what is in front there).
COLORREF ScreenPixelOfClient(HWND window, int x, int y);

// The picture of the launcher's tray icon, seen in the Wine desktop's taskbar (or in Wine's
// stand-alone notification area when no desktop runs): the crossed-out icon has red in it, the
// plain one has not.
enum class TrayPicture { Missing, Plain, CrossedOut };
const char* Name(TrayPicture picture);
TrayPicture TrayIconPicture();

// Where the minimised launcher window is, when it is not where the launcher parks it: left of
// every monitor, clear of them (core's MinimisedPosition for the monitors and its size), rather
// than where the system parks a minimised window (Windows: a small title bar at the bottom-left of
// the primary work area for one without a taskbar button; Wine: -32000). Empty when it is there.
std::string WhereNotParked(HWND window);

// Makes `window` the foreground window as the hook library does on the call-up keys.
bool BringLauncherForward(HWND window);

// Makes a program the opener of .html files for as long as it lives, and puts back what was there.
// The shell reads associations from the machine's classes (Wine does not merge the user's).
class HtmlOpener {
public:
    explicit HtmlOpener(const std::string& program);
    ~HtmlOpener();
    HtmlOpener(const HtmlOpener&) = delete;
    HtmlOpener& operator=(const HtmlOpener&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
    bool createdExtension_ = false;
    std::wstring oldClass_;
};

// rivo.exe, rivo.dll and help.html copied into a scratch directory with a prepared settings
// file, and started there. The constructor returns once start-up has finished.
class RunningLauncher {
public:
    RunningLauncher(std::string_view tag, const std::string& ini);
    ~RunningLauncher();
    RunningLauncher(const RunningLauncher&) = delete;
    RunningLauncher& operator=(const RunningLauncher&) = delete;

    // Null when it did not start.
    HWND Window() const { return window_; }
    LauncherProcess& Process() { return *process_; }
    std::string Ini() const { return dir_.File("Rivo.ini"); }
    const ScratchDir& Dir() const { return dir_; }

    // Its open popup menu (class "#32768"), if one is shown.
    HWND Menu();
    void CloseMenus();
    // Ends it as its exit command does; its exit code.
    std::optional<DWORD> Stop();

private:
    ScratchDir dir_;
    std::optional<LauncherProcess> process_;
    HWND window_ = nullptr;
};

}  // namespace rivo::test
