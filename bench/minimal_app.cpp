// The baseline of the launcher benchmarks: the least a Windows program with a window does. One
// borderless always-on-top window the size of the launcher's, a message loop, and a paint in red
// while it is the active window and in black otherwise, so that its activation can be seen on the
// screen the same way as the launcher's.
#include <windows.h>

namespace {

constexpr char kClassName[] = "RivoMinimalApp";

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
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 1;
    const HWND window = CreateWindowExA(WS_EX_TOPMOST, kClassName, "minimal", WS_POPUP | WS_VISIBLE, 200, 0,
                                        104, 53, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
