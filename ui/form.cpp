#include "ui/form.h"

#include <windows.h>
#include <windowsx.h>

#include "core/dpi_scale.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"
#include "platform/window_text.h"
#include "ui/application.h"
#include "ui/control.h"
#include "ui/popup_menu.h"
#include "ui/window_dpi.h"

namespace rivo::ui {

namespace {

// WM_DPICHANGED, which older headers do not define.
constexpr UINT kDpiChangedMessage = 0x02E0;

Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void RegisterFormClass(const std::wstring& name, WNDPROC procedure) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (::GetClassInfoExW(instance, name.c_str(), &windowClass))
        return;
    // No CS_DBLCLKS: a second quick click arrives as another press, which is what dragging
    // and the launcher's key-free window expect.
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&windowClass))
        throw platform::Win32Error("RegisterClassExW");
}

struct WindowStyles {
    DWORD style;
    DWORD exStyle;
};

WindowStyles StylesOf(const FormLayout& layout) {
    WindowStyles styles{WS_POPUP | WS_CLIPCHILDREN, 0};
    switch (layout.border) {
        case BorderStyle::None:
            break;
        case BorderStyle::Dialog:
            styles.style |= WS_CAPTION | WS_SYSMENU;
            styles.exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
        case BorderStyle::SizeableNoSysMenu:
            styles.style |= WS_CAPTION | WS_THICKFRAME;
            styles.exStyle |= WS_EX_WINDOWEDGE;
            break;
    }
    if (layout.topmost)
        styles.exStyle |= WS_EX_TOPMOST;
    return styles;
}

ShiftState MouseShiftState(WPARAM keys) {
    ShiftState state;
    state.shift = (keys & MK_SHIFT) != 0;
    state.ctrl = (keys & MK_CONTROL) != 0;
    state.alt = ::GetKeyState(VK_MENU) < 0;
    state.left = (keys & MK_LBUTTON) != 0;
    state.right = (keys & MK_RBUTTON) != 0;
    state.middle = (keys & MK_MBUTTON) != 0;
    return state;
}

// rcNormalPosition is in workspace coordinates (relative to the work area) for windows that
// are not tool windows; this is the offset that turns them into screen coordinates.
POINT WorkspaceOffset(HWND window) {
    if (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        return {0, 0};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        return {0, 0};
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

}  // namespace

ShiftState KeyShiftState(LPARAM keyData) {
    ShiftState state;
    state.shift = ::GetKeyState(VK_SHIFT) < 0;
    state.ctrl = ::GetKeyState(VK_CONTROL) < 0;
    state.alt = (keyData & (1 << 29)) != 0;  // the context code: Alt held with this key
    state.repeat = (keyData & (1 << 30)) != 0;
    return state;
}

void ReportCallbackException() noexcept {
    if (TApplication* app = ApplicationOrNull()) {
        app->ShowCurrentException();
    } else {
        ::OutputDebugStringW(L"rivo: exception in a window procedure without an application object\n");
    }
}

TForm::TForm(const FormLayout& layout) : TForm(layout, nullptr) {}

TForm::TForm(const FormLayout& layout, HWND owner)
    : dpi_(Application().Dpi()),
      fontSpec_(layout.font),
      layoutClientWidth_(layout.clientWidth),
      layoutClientHeight_(layout.clientHeight),
      sizeable_(layout.border == BorderStyle::SizeableNoSysMenu),
      placesItself_(layout.placesItself),
      color_(layout.color),
      fontColor_(layout.font.color) {
    TApplication& app = Application();
    const std::wstring className = platform::Wide(layout.className);
    RegisterFormClass(className, StaticWndProc);
    if (!color_.IsSystem()) {
        ownBackground_.reset(::CreateSolidBrush(color_.Resolve()));
        if (!ownBackground_)
            throw platform::Win32Error("CreateSolidBrush");
    }

    const WindowStyles styles = StylesOf(layout);
    const int clientWidth = Scale(layout.clientWidth);
    const int clientHeight = Scale(layout.clientHeight);
    RECT outer{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&outer, styles.style, FALSE, styles.exStyle);

    app.AddForm(this);
    platform::ScopeExit unregister([this, &app] { app.RemoveForm(this); });
    const HWND created = ::CreateWindowExW(
        styles.exStyle, className.c_str(), platform::Wide(layout.caption).c_str(), styles.style, layout.left,
        layout.top, outer.right - outer.left, outer.bottom - outer.top, owner ? owner : app.Handle(), nullptr,
        ::GetModuleHandleW(nullptr), this);
    if (!created)
        throw platform::Win32Error("CreateWindowExW");
    unregister.Dismiss();

    // Made at the system DPI; a per-monitor aware window on a monitor of another DPI is laid out
    // for that one before its controls are made.
    dpi_ = LayoutDpiOfWindow(handle_, app.Dpi());
    font_ = CreateSpecFont(fontSpec_, dpi_);
    FixClientSize(Scale(layout.clientWidth), Scale(layout.clientHeight));
    if (layout.border == BorderStyle::Dialog) {
        // A fixed dialog offers only Move and Close in its system menu.
        HMENU systemMenu = ::GetSystemMenu(handle_, FALSE);
        for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) {
            ::DeleteMenu(systemMenu, command, MF_BYCOMMAND);
        }
    }
}

TForm::~TForm() {
    // The derived object is gone: events that capture it must not run any more.
    inDestructor_ = true;
    static_cast<FormEvents&>(*this) = FormEvents{};
    popupMenu_ = nullptr;
    if (handle_)
        ::DestroyWindow(handle_);
    if (TApplication* app = ApplicationOrNull())
        app->RemoveForm(this);
}

void FormDeleter::operator()(TForm* form) const noexcept {
    form->DestroyHandle();
    delete form;
}

void TForm::DestroyHandle() noexcept {
    if (!handle_)
        return;
    // OnDestroy runs while the window is still whole: a message box it shows needs a live owner
    // (one created during WM_DESTROY is destroyed with its dying owner, and its loop never ends).
    if (!destroyFired_)
        FireDestroy();
    if (handle_)
        ::DestroyWindow(handle_);
}

void TForm::FireDestroy() noexcept {
    destroyFired_ = true;
    try {
        if (OnDestroy)
            OnDestroy();
    } catch (...) {
        ReportCallbackException();
    }
}

void TForm::FireCreate() noexcept {
    try {
        if (OnCreate)
            OnCreate();
    } catch (...) {
        ReportCallbackException();
    }
}

void TForm::FixClientSize(int width, int height) {
    if (::IsIconic(handle_))
        return;
    RECT client;
    if (!::GetClientRect(handle_, &client))
        return;
    const int dw = width - client.right;
    const int dh = height - client.bottom;
    if (dw == 0 && dh == 0)
        return;
    RECT outer;
    ::GetWindowRect(handle_, &outer);
    ::SetWindowPos(handle_, nullptr, 0, 0, outer.right - outer.left + dw, outer.bottom - outer.top + dh,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    TForm* form = nullptr;
    if (message == WM_NCCREATE) {
        form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->handle_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<TForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!form)
        return ::DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = form->WndProc(message, wParam, lParam);
    } catch (...) {
        ReportCallbackException();
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->handle_ = nullptr;
    }
    return result;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (WndProcHook(message, wParam, lParam, result))
        return result;
    return DefaultHandler(message, wParam, lParam);
}

bool TForm::WndProcHook(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool TForm::PreTranslateMessage(MSG& msg) {
    return HandleDialogKey(msg);
}

LRESULT TForm::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT routed = 0;
    if (RouteToControl(message, wParam, lParam, routed))
        return routed;
    if (const std::optional<LRESULT> answer = HandleMessage(message, wParam, lParam))
        return *answer;
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

std::optional<LRESULT> TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Not DefWindowProc, which would destroy the window: closing ends the loop or hides.
            Close();
            return 0;
        case WM_DESTROY:
            WMDestroy();
            return std::nullopt;
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_ACTIVATE:
            return WMActivate(wParam);
        case WM_SIZE:
            if (OnResize)
                OnResize();
            return std::nullopt;
        case kDpiChangedMessage:
            if (!lParam)
                return std::nullopt;
            HandleDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_PAINT:
            WMPaint();
            return 0;
        case WM_PRINTCLIENT:
            if (lParam & PRF_ERASEBKGND)
                EraseBackground(reinterpret_cast<HDC>(wParam));
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return KeyMessage(OnKeyDown, wParam, lParam);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return KeyMessage(OnKeyUp, wParam, lParam);
        case WM_SYSCOMMAND:
            return WMSysCommand(wParam);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            MouseButtonMessage(message, wParam, lParam);
            return std::nullopt;
        case WM_MOUSEMOVE:
            if (OnMouseMove)
                OnMouseMove(MouseShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return std::nullopt;
        case WM_CONTEXTMENU:
            return WMContextMenu(lParam);
        default:
            return std::nullopt;
    }
}

void TForm::WMDestroy() {
    if (!destroyFired_ && !inDestructor_)
        FireDestroy();
    TApplication* app = ApplicationOrNull();
    if (app && app->IsMainForm(this))
        app->Terminate();
}

std::optional<LRESULT> TForm::WMActivate(WPARAM state) {
    // DefWindowProc would give the focus to the form itself, away from its controls.
    if (LOWORD(state) != WA_INACTIVE && !HIWORD(state) && !controls_.empty()) {
        RestoreFocus();
        if (::GetFocus() != handle_ && ::GetFocus())
            return 0;
    }
    return std::nullopt;
}

void TForm::WMPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(handle_, &paint);
    // Ended on every path, or the paint DC would leak with each failing paint.
    platform::ScopeExit endPaint([this, &paint] { ::EndPaint(handle_, &paint); });
    Paint(dc);
}

std::optional<LRESULT> TForm::WMContextMenu(LPARAM position) {
    if (!popupMenu_)
        return std::nullopt;
    int x = GET_X_LPARAM(position);
    int y = GET_Y_LPARAM(position);
    if (x == -1 && y == -1) {  // from the keyboard: at the pointer
        POINT cursor{};
        ::GetCursorPos(&cursor);
        x = cursor.x;
        y = cursor.y;
    }
    popupMenu_->Popup(x, y);
    return 0;
}

std::optional<LRESULT> TForm::KeyMessage(const KeyEvent& event, WPARAM wParam, LPARAM lParam) {
    if (!event)
        return std::nullopt;
    WORD key = LOWORD(wParam);
    event(key, KeyShiftState(lParam));
    if (key == 0)
        return 0;
    return std::nullopt;
}

void TForm::MouseButtonMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const MouseButton button = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP   ? MouseButton::Left
                               : message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ? MouseButton::Right
                                                                                      : MouseButton::Middle;
    if (down) {
        ::SetCapture(handle_);
    } else if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == handle_) {
        ::ReleaseCapture();
    }
    const MouseButtonEvent& event = down ? OnMouseDown : OnMouseUp;
    if (event)
        event(button, MouseShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    // DefWindowProc turns the right button's release into WM_CONTEXTMENU.
}

std::optional<LRESULT> TForm::WMSysCommand(WPARAM command) {
    // F10 or Alt (or Alt with a letter) would enter the window's menu mode and swallow the next
    // keys; a form that takes keys itself keeps them.
    if ((command & 0xFFF0) == SC_KEYMENU && HandlesKeys())
        return 0;
    return std::nullopt;
}

HBRUSH TForm::BackgroundBrush() const noexcept {
    return ownBackground_ ? ownBackground_.get() : ::GetSysColorBrush(color_.SystemIndex());
}

void TForm::EraseBackground(HDC dc) const {
    RECT client;
    ::GetClientRect(handle_, &client);
    ::FillRect(dc, &client, BackgroundBrush());
}

void TForm::Paint(HDC dc) {
    if (!OnPaint)
        return;
    TCanvas canvas(dc, Font(), fontColor_, color_);
    OnPaint(canvas);
}

void TForm::Close() {
    TApplication* app = ApplicationOrNull();
    if (modal_) {
        SetModalResult(kModalCancel);
    } else if (app && app->IsMainForm(this)) {
        app->Terminate();
    } else {
        Hide();
    }
}

void TForm::Show(int showCommand) {
    if (showCommand != SW_HIDE && !Visible()) {
        FollowMonitorDpi();
        if (OnShow)
            OnShow();
    }
    ::ShowWindow(handle_, showCommand);
}

void TForm::Hide() {
    ::ShowWindow(handle_, SW_HIDE);
}

bool TForm::Visible() const {
    return handle_ && ::IsWindowVisible(handle_);
}

std::string TForm::Caption() const {
    return platform::WindowText(handle_);
}

void TForm::SetCaption(const std::string& caption) {
    platform::SetText(handle_, caption);
}

int TForm::ClientWidth() const {
    RECT client{};
    ::GetClientRect(handle_, &client);
    return client.right;
}

int TForm::ClientHeight() const {
    RECT client{};
    ::GetClientRect(handle_, &client);
    return client.bottom;
}

RECT TForm::BoundsRect() const {
    if (::IsIconic(handle_))
        return RestoredBounds();
    RECT bounds{};
    ::GetWindowRect(handle_, &bounds);
    return bounds;
}

RECT TForm::RestoredBounds() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(handle_, &placement);
    RECT bounds = placement.rcNormalPosition;
    const POINT offset = WorkspaceOffset(handle_);
    ::OffsetRect(&bounds, offset.x, offset.y);
    return bounds;
}

void TForm::SetRestoredBounds(const RECT& bounds) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(handle_, &placement);
    const POINT offset = WorkspaceOffset(handle_);
    placement.rcNormalPosition = bounds;
    ::OffsetRect(&placement.rcNormalPosition, -offset.x, -offset.y);
    placement.showCmd = ::IsWindowVisible(handle_) ? SW_SHOWMINNOACTIVE : SW_HIDE;
    ::SetWindowPlacement(handle_, &placement);
}

int TForm::Width() const {
    const RECT bounds = BoundsRect();
    return bounds.right - bounds.left;
}

int TForm::Height() const {
    const RECT bounds = BoundsRect();
    return bounds.bottom - bounds.top;
}

int TForm::Left() const {
    return BoundsRect().left;
}

int TForm::Top() const {
    return BoundsRect().top;
}

void TForm::SetLeft(int left) {
    MoveTo(left, Top());
}

void TForm::SetTop(int top) {
    MoveTo(Left(), top);
}

void TForm::MoveTo(int left, int top) {
    if (::IsIconic(handle_)) {
        // SetWindowPos would move the minimised icon; the position that matters is the one the
        // window comes back to.
        RECT bounds = RestoredBounds();
        ::OffsetRect(&bounds, left - bounds.left, top - bounds.top);
        SetRestoredBounds(bounds);
        return;
    }
    ::SetWindowPos(handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TForm::Scale(int pixelsAt96) const {
    return ScaleToDpi(pixelsAt96, dpi_);
}

void TForm::FollowMonitorDpi() {
    if (!handle_)
        return;
    TApplication* app = ApplicationOrNull();
    const int dpi = LayoutDpiOfWindow(handle_, app ? app->Dpi() : dpi_);
    if (dpi == dpi_)
        return;
    // The rectangle Windows would suggest: the same top-left, the size scaled.
    const RECT now = BoundsRect();
    const RECT suggested{now.left, now.top, now.left + ::MulDiv(now.right - now.left, dpi, dpi_),
                         now.top + ::MulDiv(now.bottom - now.top, dpi, dpi_)};
    HandleDpiChanged(dpi, suggested);
}

void TForm::HandleDpiChanged(int announcedDpi, const RECT& suggested) {
    const DpiChange change =
        DecideDpiChange(dpi_, announcedDpi, ToRect(BoundsRect()), ToRect(suggested), placesItself_);
    // The old font lives until every control has the new one.
    ResolvedFont previousFont;
    if (change.relayout) {
        dpi_ = change.dpi;
        previousFont = std::move(font_);
        font_ = CreateSpecFont(fontSpec_, dpi_);
    }
    const Rect& b = change.bounds;
    if (::IsIconic(handle_)) {
        // The size and place the window comes back to, as MoveTo does for the position.
        SetRestoredBounds({b.left, b.top, b.right, b.bottom});
    } else {
        ::SetWindowPos(handle_, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!change.relayout)
        return;
    // The suggested rectangle scales the frame too, and rounds on its own: the client area is
    // what the layout fixes. A sizeable form keeps the width the user gave it.
    if (!sizeable_)
        FixClientSize(Scale(layoutClientWidth_), Scale(layoutClientHeight_));
    // After the form has its new size: a label grows to fit its caption only as far as the
    // form's edge at the new DPI.
    for (TControl* control : controls_) {
        control->ApplyDpi();
    }
    if (OnDpiChanged)
        OnDpiChanged();
    ::RedrawWindow(handle_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

TWindowCanvas TForm::Canvas() const {
    return TWindowCanvas(handle_, Font(), fontColor_, color_);
}

}  // namespace rivo::ui
