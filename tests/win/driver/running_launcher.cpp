#include "tests/win/driver/running_launcher.h"

#include <algorithm>
#include <cstdio>

#include "core/window_geometry.h"
#include "platform/wide_text.h"

namespace rivo::test {

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    const RECT& m = info.rcMonitor;
    const RECT& w = info.rcWork;
    try {
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
            {{m.left, m.top, m.right, m.bottom}, {w.left, w.top, w.right, w.bottom}});
    } catch (...) {
        return FALSE;  // the list stays short, and the position compared with it wrong
    }
    return TRUE;
}

}  // namespace

std::string WhereNotParked(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    const Point parked =
        MinimisedPosition(monitors, {bounds.right - bounds.left, bounds.bottom - bounds.top});
    if (MonitorFromRect(&bounds, MONITOR_DEFAULTTONULL) == nullptr && bounds.left == parked.x &&
        bounds.top == parked.y)
        return "";
    return "minimised at " + std::to_string(bounds.left) + "," + std::to_string(bounds.top) + " (" +
           std::to_string(bounds.right - bounds.left) + "x" + std::to_string(bounds.bottom - bounds.top) +
           "), parked at " + std::to_string(parked.x) + "," + std::to_string(parked.y);
}

std::string Hex(COLORREF colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

namespace {

// The pixels of a rectangle of `source`, copied the way a screenshot is.
std::optional<Picture> CaptureRect(HDC source, int left, int top, int width, int height) {
    if (width <= 0 || height <= 0)
        return std::nullopt;
    Picture picture;
    picture.width = width;
    picture.height = height;
    platform::UniqueMemoryDC memory(CreateCompatibleDC(source));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::UniqueBitmap bitmap(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap)
        return std::nullopt;
    const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    const BOOL copied = BitBlt(memory.get(), 0, 0, picture.width, picture.height, source, left, top, SRCCOPY);
    GdiFlush();
    SelectObject(memory.get(), old);
    if (!copied)
        return std::nullopt;
    const auto* quads = static_cast<const RGBQUAD*>(bits);
    picture.pixels.reserve(static_cast<size_t>(picture.width * picture.height));
    for (int i = 0; i < picture.width * picture.height; ++i) {
        picture.pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
    }
    return picture;
}

// What the screen shows in `rect` (screen coordinates).
std::optional<Picture> CaptureScreen(const RECT& rect) {
    HDC screen = GetDC(nullptr);
    if (!screen)
        return std::nullopt;
    platform::ScopeExit release([&] { ReleaseDC(nullptr, screen); });
    return CaptureRect(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace

std::optional<Picture> CaptureClient(HWND window) {
    RECT client{};
    if (!GetClientRect(window, &client))
        return std::nullopt;
    HDC source = GetDC(window);
    if (!source)
        return std::nullopt;
    platform::ScopeExit release([&] { ReleaseDC(window, source); });
    return CaptureRect(source, 0, 0, client.right, client.bottom);
}

COLORREF ScreenPixelOfClient(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

const char* Name(TrayPicture picture) {
    switch (picture) {
        case TrayPicture::Missing:
            return "missing";
        case TrayPicture::Plain:
            return "plain";
        case TrayPicture::CrossedOut:
            return "crossed out";
    }
    return "?";
}

TrayPicture TrayIconPicture() {
    // In a Wine desktop the icons sit at the right end of the taskbar, one taskbar height or so
    // wide each, drawn by windows that other processes cannot enumerate: read the screen there.
    // Without a desktop, Wine's stand-alone notification area is a window of its own.
    std::optional<Picture> picture;
    if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr); taskbar && IsWindowVisible(taskbar)) {
        RECT bar{};
        GetWindowRect(taskbar, &bar);
        bar.left = bar.right - 2 * (bar.bottom - bar.top);
        picture = CaptureScreen(bar);
    } else if (HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
               tray && IsWindowVisible(tray)) {
        picture = CaptureClient(tray);
    }
    if (!picture)
        return TrayPicture::Missing;
    int red = 0;
    int black = 0;
    for (COLORREF c : picture->pixels) {
        if (GetRValue(c) >= 0xC0 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60)
            ++red;
        if (c == RGB(0, 0, 0))
            ++black;
    }
    if (black == 0)
        return TrayPicture::Missing;
    return red > 0 ? TrayPicture::CrossedOut : TrayPicture::Plain;
}

bool BringLauncherForward(HWND window) {
    AllowSetForegroundWindow(ASFW_ANY);
    SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; });
}

RunningLauncher::RunningLauncher(std::string_view tag, const std::string& ini) : dir_(tag) {
    if (!InstallLauncher(dir_.Path(), ini))
        return;
    for (int attempt = 0; attempt < 5; ++attempt) {
        process_.emplace(dir_.File("rivo.exe"), dir_.Path());
        window_ = process_->WaitForMainWindow();
        // The previous case's launcher may still be ending and hold the single-instance mutex;
        // this one then exits with code 1 at once. Start again once that one is gone.
        if (window_ || process_->WaitForExit(0) != std::optional<DWORD>(1))
            break;
        WaitUntil([] { return !platform::UniqueKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, L"rivo")); },
                  15000);
    }
    // The window exists before start-up has loaded the settings and placed it; start-up ends by
    // deactivating the launcher, which crosses the tray icon out.
    if (window_ && UnderWine()) {
        WaitUntil([] { return TrayIconPicture() == TrayPicture::CrossedOut; }, 15000);
    }
}

RunningLauncher::~RunningLauncher() {
    CloseMenus();
}

namespace {

constexpr wchar_t kHtmlClass[] = L"RivoTestHelpPage";

bool SetDefaultValue(HKEY key, const wchar_t* subKey, const std::wstring& value) {
    return RegSetKeyValueW(key, subKey, nullptr, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

HtmlOpener::HtmlOpener(const std::string& program) {
    HKEY extension = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L".html", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &extension,
                        &disposition) != ERROR_SUCCESS) {
        return;
    }
    createdExtension_ = disposition == REG_CREATED_NEW_KEY;
    wchar_t old[256] = {};
    DWORD size = sizeof old;
    if (!createdExtension_ &&
        RegGetValueW(extension, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS)
        oldClass_ = old;
    const bool set = SetDefaultValue(extension, nullptr, kHtmlClass);
    RegCloseKey(extension);
    const std::wstring command = L"\"" + platform::Wide(program) + L"\" \"%1\"";
    ok_ = set && SetDefaultValue(HKEY_CLASSES_ROOT,
                                 (std::wstring(kHtmlClass) + L"\\shell\\open\\command").c_str(), command);
}

HtmlOpener::~HtmlOpener() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kHtmlClass);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kHtmlClass);
    if (createdExtension_) {
        RegDeleteKeyW(HKEY_CLASSES_ROOT, L".html");
    } else if (!oldClass_.empty()) {
        SetDefaultValue(HKEY_CLASSES_ROOT, L".html", oldClass_);
    }
}

HWND RunningLauncher::Menu() {
    if (!process_)
        return nullptr;
    return VisibleWindowOf(process_->Id(), "#32768");
}

void RunningLauncher::CloseMenus() {
    for (int i = 0; i < 5; ++i) {
        HWND menu = Menu();
        if (!menu)
            return;
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitUntil([&] { return !IsWindowVisible(menu); }, 2000);
    }
}

std::optional<DWORD> RunningLauncher::Stop() {
    CloseMenus();
    process_->Close();
    return process_->WaitForExit();
}

}  // namespace rivo::test
