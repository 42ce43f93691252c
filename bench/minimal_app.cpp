// The baseline of the launcher benchmarks: the least a Windows program with a window does. One
// borderless always-on-top window the size of the launcher's, a message loop, and a paint in red
// while it is the active window and in black otherwise, so that its activation can be seen on the
// screen the same way as the launcher's.
//
// Built a second time as baseline_app (RIVO_BASELINE_AS_LAUNCHER): the same, with what any program
// of the launcher's kind carries before its own work: the system libraries it needs (ole32,
// shell32, imm32, comctl32 6 through the launcher's manifest) and one hidden dialog with controls.
// Under Wine each of those libraries costs private memory and start-up time that Windows shares
// between processes, so the launcher's own extra is what it costs beyond this one.
#include <windows.h>

#ifdef RIVO_BASELINE_AS_LAUNCHER
#include <commctrl.h>
#include <imm.h>
#include <objbase.h>
#include <shellapi.h>
#endif

namespace {

constexpr wchar_t kClassName[] = L"RivoMinimalApp";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_ACTIVATE:
            InvalidateRect(window, nullptr, FALSE);
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            const bool active = GetForegroundWindow() == window;
            const HBRUSH brush = CreateSolidBrush(active ? RGB(255, 0, 0) : RGB(0, 0, 0));
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

#ifdef RIVO_BASELINE_AS_LAUNCHER
// A dialog the size of the registration dialog with as many controls, made hidden at start.
void MakeHiddenDialog(HINSTANCE instance) {
    const HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, L"STATIC", L"dialog", WS_POPUP | WS_CAPTION, 0,
                                        0, 240, 240, nullptr, nullptr, instance, nullptr);
    const wchar_t* classes[] = {L"STATIC", L"EDIT", L"BUTTON"};
    for (int i = 0; i < 9; ++i) {
        CreateWindowExW(0, classes[i % 3], L"text", WS_CHILD | WS_VISIBLE, 10, 10 + 22 * i, 100, 20, dialog,
                        nullptr, instance, nullptr);
    }
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef RIVO_BASELINE_AS_LAUNCHER
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass))
        return 1;
    const HWND window = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"minimal", WS_POPUP | WS_VISIBLE, 200, 0,
                                        104, 53, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
#ifdef RIVO_BASELINE_AS_LAUNCHER
    DragAcceptFiles(window, TRUE);
    ImmAssociateContextEx(window, nullptr, 0);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    DestroyIcon(ExtractIconW(instance, exe, 0));
    MakeHiddenDialog(instance);
#endif
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
