#include "ui/control.h"

#include <cctype>
#include <iterator>
#include <vector>

#include "core/code_page.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"
#include "platform/window_text.h"

namespace rivo::ui {

namespace {

// The owning TControl hangs on its window as a property rather than in GWLP_USERDATA, which
// some control classes are free to use themselves.
constexpr wchar_t kControlProperty[] = L"RivoControl";

bool IsOfClass(HWND window, const wchar_t* className) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return ::lstrcmpiW(name, className) == 0;
}

char UpperAscii(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

TControl::TControl(TForm& form, HWND parent, const wchar_t* windowClass, const std::string& caption,
                   Bounds bounds, DWORD style, DWORD exStyle)
    : form_(form), layoutBounds_(bounds) {
    // Identifiers only have to be distinct among the form's children; routing goes by handle.
    const auto id = static_cast<INT_PTR>(100 + form.Controls().size());
    handle_ = ::CreateWindowExW(exStyle, windowClass, platform::Wide(caption).c_str(),
                                style | WS_CHILD | WS_VISIBLE, form.Scale(bounds.left),
                                form.Scale(bounds.top), form.Scale(bounds.width), form.Scale(bounds.height),
                                parent, reinterpret_cast<HMENU>(id), ::GetModuleHandleW(nullptr), nullptr);
    if (!handle_)
        throw platform::Win32Error("CreateWindowExW");
    if (!::SetPropW(handle_, kControlProperty, this)) {
        const platform::Win32Error error("SetPropW");
        ::DestroyWindow(handle_);
        throw error;
    }
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TControl::SubclassProc)));
    ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form.Font()), FALSE);
    form_.AddControl(this);
}

TControl::~TControl() {
    form_.RemoveControl(this);
    OnKeyDown = nullptr;
    if (handle_) {
        const HWND window = handle_;
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::RemovePropW(window, kControlProperty);
        handle_ = nullptr;
        ::DestroyWindow(window);
    }
}

TControl* TControl::FromHandle(HWND window) noexcept {
    if (!window)
        return nullptr;
    return static_cast<TControl*>(::GetPropW(window, kControlProperty));
}

LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    TControl* control = FromHandle(window);
    if (!control || control->handle_ != window)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window goes (with its form, or on its own): the object stays, handle-less.
        const WNDPROC original = control->original_;
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropW(window, kControlProperty);
        control->handle_ = nullptr;
        control->form_.RemoveControl(control);
        return ::CallWindowProcW(original, window, message, wParam, lParam);
    }
    try {
        return control->WndProc(message, wParam, lParam);
    } catch (...) {
        ReportCallbackException();
        return 0;
    }
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (WndProcHook(message, wParam, lParam, result))
        return result;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WORD key = LOWORD(wParam);
            if (KeyDownEvents(key, KeyShiftState(lParam)))
                return 0;
            wParam = key;
            break;
        }
        case WM_SETFOCUS:
            form_.SetActiveControl(this);
            break;
        default:
            break;
    }
    return CallOriginal(message, wParam, lParam);
}

bool TControl::WndProcHook(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool TControl::KeyDownEvents(WORD& key, ShiftState shift) {
    if (form_.KeyPreview && form_.OnKeyDown) {
        form_.OnKeyDown(key, shift);
        if (key == 0)
            return true;
    }
    if (OnKeyDown) {
        OnKeyDown(key, shift);
        if (key == 0)
            return true;
    }
    return false;
}

HBRUSH TControl::FormColors(HDC dc) const {
    ::SetTextColor(dc, form_.FontColor().Resolve());
    ::SetBkColor(dc, form_.BackgroundColor().Resolve());
    return form_.BackgroundBrush();
}

LRESULT TControl::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(original_, handle_, message, wParam, lParam);
}

std::string TControl::Text() const {
    return platform::WindowText(handle_);
}

void TControl::SetText(const std::string& text) {
    platform::SetText(handle_, text);
}

bool TControl::Enabled() const {
    return handle_ && ::IsWindowEnabled(handle_);
}

void TControl::SetEnabled(bool enabled) {
    ::EnableWindow(handle_, enabled ? TRUE : FALSE);
}

bool TControl::Visible() const {
    return handle_ && (::GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetVisible(bool visible) {
    ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TControl::SetFocus() {
    form_.SetActiveControl(this);
    ::SetFocus(handle_);
}

bool TControl::Focused() const {
    return handle_ && ::GetFocus() == handle_;
}

RECT TControl::BoundsRect() const {
    RECT bounds{};
    ::GetWindowRect(handle_, &bounds);
    ::MapWindowPoints(nullptr, ::GetParent(handle_), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    ::SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::ApplyDpi() {
    ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.Font()), FALSE);
    SetBounds(form_.Scale(layoutBounds_.left), form_.Scale(layoutBounds_.top),
              form_.Scale(layoutBounds_.width), form_.Scale(layoutBounds_.height));
}

bool TControl::HandleCommand(WORD) {
    return false;
}

bool TControl::HandleNotify(NMHDR&, LRESULT&) {
    return false;
}

HBRUSH TControl::HandleColor(HDC) {
    return nullptr;
}

void TControl::Accelerate() {
    SetFocus();
    if (!IsOfClass(handle_, L"Button"))
        return;
    const LONG type = ::GetWindowLongW(handle_, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
        type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE)
        ::SendMessageW(handle_, BM_CLICK, 0, 0);
}

bool TControl::HasAccessKey(char letter) const {
    // Only buttons (push, radio, check, group) and labels show a caption; the text of an edit or
    // a combo box is the user's, and an '&' typed into it is no access key.
    if (!IsOfClass(handle_, L"Button") && !IsOfClass(handle_, L"Static"))
        return false;
    const std::string caption = Text();
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(caption[i]))) {
            ++i;  // a trail byte is never '&' or a letter of its own
            continue;
        }
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {  // "&&" is a literal ampersand
            ++i;
            continue;
        }
        return UpperAscii(caption[i + 1]) == UpperAscii(letter);
    }
    return false;
}

}  // namespace rivo::ui
