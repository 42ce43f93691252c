// The base of every child control of a form: a standard window created on the form (or on a
// container control), subclassed so that its key-downs reach an event, and found again from its
// window handle when the form routes WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* to it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/form.h"

namespace rivo::ui {

// Client pixels of the parent at 96 DPI; scaled with the form's Scale() when the control is made
// and again when the form moves to a monitor of another DPI.
struct Bounds {
    int left;
    int top;
    int width;
    int height;
};

class TControl {
public:
    // `parent` is the form's window or a container control's (group box); the control registers
    // with `form`, which routes its notifications and keeps the tab order (creation order among
    // WS_TABSTOP controls, unless TForm::SetTabOrder says otherwise). The font is the form's.
    TControl(TForm& form, HWND parent, const wchar_t* windowClass, const std::string& caption, Bounds bounds,
             DWORD style, DWORD exStyle = 0);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle() const noexcept { return handle_; }
    TForm& Form() const noexcept { return form_; }

    // The control that owns `window`, or null for a window that no TControl made.
    static TControl* FromHandle(HWND window) noexcept;

    std::string Text() const;
    void SetText(const std::string& text);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    // Also when the form is hidden: the form gives the focus back to this control when it is
    // activated.
    void SetFocus();
    bool Focused() const;
    // In the parent's client coordinates, real pixels.
    RECT BoundsRect() const;
    // Real pixels (for layouts that follow a resized form).
    void SetBounds(int left, int top, int width, int height);

    // Key-down in the control (WM_KEYDOWN and WM_SYSKEYDOWN); `key` is the virtual-key code.
    // Setting it to 0 consumes the key; otherwise the control's own handling gets it.
    std::function<void(WORD& key, ShiftState shift)> OnKeyDown;

    // Routed by the form from WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* of this control's window.
    virtual bool HandleCommand(WORD notifyCode);                // true = handled
    virtual bool HandleNotify(NMHDR& header, LRESULT& result);  // true = handled
    virtual HBRUSH HandleColor(HDC dc);                         // null = default colours

    // The control's access key (Alt + the letter after '&' in its caption) was pressed. By
    // default: focus, and for a check or radio button also a click. Buttons override it.
    virtual void Accelerate();

    // Whether `letter` (upper case) is the access key of this control's caption.
    bool HasAccessKey(char letter) const;

    // The form is laid out for a new DPI: the control takes the form's new font and its layout
    // bounds at that DPI. Controls with more geometry (row heights, columns) override it.
    virtual void ApplyDpi();

protected:
    // Sees every message of the control's window first; return true to consume it (with
    // `result`), false to let the control's key event and its original procedure have it.
    virtual bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window procedure the control had before it was subclassed.
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);
    // A key-down goes to the form's OnKeyDown first (with key preview), then to the control's;
    // either may change `key`. True when one of them consumed it (set it to 0).
    bool KeyDownEvents(WORD& key, ShiftState shift);
    // For HandleColor: text drawn in the form's own colours rather than the system's dialog
    // colours; the form's background brush.
    HBRUSH FormColors(HDC dc) const;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    TForm& form_;
    Bounds layoutBounds_;
    HWND handle_ = nullptr;
    WNDPROC original_ = nullptr;
};

}  // namespace rivo::ui
