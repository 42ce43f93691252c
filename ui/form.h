// The base of every window of the launcher: a top-level window built from layout data, with its
// events as std::function members and a raw-message hook for the messages a form handles itself.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"
#include "ui/canvas.h"
#include "ui/color.h"
#include "ui/font.h"

namespace rivo::ui {

class TPopupMenu;
class TControl;

// Modal results: what ShowModal returns (and the close box of a modal form gives Cancel).
inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

enum class BorderStyle {
    None,               // no frame, no caption, no border icons
    Dialog,             // fixed-size frame with a caption and a close box only
    SizeableNoSysMenu,  // sizeable frame with a caption and no system menu or border icons
};

// A form's description. Sizes are pixels at 96 DPI and are scaled to the DPI of the form's
// monitor (the system DPI where Windows does not scale per monitor); the position is in screen
// pixels and is not scaled.
struct FormLayout {
    std::string className = "RivoForm";  // window class, for FindWindow
    std::string caption;                 // code page 932
    int clientWidth = 0;
    int clientHeight = 0;
    int left = 0;
    int top = 0;
    BorderStyle border = BorderStyle::Dialog;
    bool topmost = false;
    Color color = Color::System(COLOR_BTNFACE);
    FontSpec font;
    // The form keeps the top-left it gives itself when it moves to a monitor of another DPI, and
    // takes only the size Windows suggests (see DecideDpiChange).
    bool placesItself = false;
};

struct ShiftState {
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
    bool left = false;
    bool right = false;
    bool middle = false;
    bool repeat = false;  // a key-down that the keyboard's auto-repeat sent while the key is held
};

enum class MouseButton { Left, Right, Middle };

// The modifiers of a key message (its lParam): Shift and Ctrl from the key state, Alt from the
// message's context code, repeat from its previous key state.
ShiftState KeyShiftState(LPARAM keyData);

// Shows the exception being handled in the application's error box (or the debugger output
// without an application); for the catch blocks of window procedures.
void ReportCallbackException() noexcept;

// A form's events, apart from the rest of it so that the form can clear them all at once.
struct FormEvents {
    // Each is called on the UI thread; an exception escaping one is shown in the
    // application's error box. OnCreate runs once the most derived constructor has finished
    // (MakeForm / TApplication::CreateForm), OnDestroy once while the window is destroyed.
    std::function<void()> OnCreate;
    std::function<void()> OnDestroy;
    // WM_KEYDOWN and WM_SYSKEYDOWN (a window without the focus gets every key as a system key).
    // Setting `key` to 0 consumes it; otherwise it goes on to the default handling.
    using KeyEvent = std::function<void(WORD& key, ShiftState shift)>;
    KeyEvent OnKeyDown;
    KeyEvent OnKeyUp;
    // Client coordinates; the mouse is captured from a button press to its release.
    using MouseButtonEvent = std::function<void(MouseButton button, ShiftState shift, int x, int y)>;
    MouseButtonEvent OnMouseDown;
    std::function<void(ShiftState shift, int x, int y)> OnMouseMove;
    MouseButtonEvent OnMouseUp;
    // On WM_PAINT (after the background has been erased in the form's colour) and WM_PRINTCLIENT.
    std::function<void(TCanvas& canvas)> OnPaint;
    // Right before Show or ShowModal makes the hidden window visible.
    std::function<void()> OnShow;
    // WM_SIZE.
    std::function<void()> OnResize;
    // After the form has laid itself out again for a new DPI (WM_DPICHANGED): its font, client
    // size and controls follow the layout at the new DPI; what a form changed of that layout
    // since it was made (a label moved to fit its text) is to be done again here.
    std::function<void()> OnDpiChanged;
};

class TForm : public FormEvents {
public:
    explicit TForm(const FormLayout& layout);
    // `owner` null: owned by the application's hidden window, like every form by default.
    TForm(const FormLayout& layout, HWND owner);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    // When true, OnKeyDown sees every key-down of the form's controls first (before the
    // control's own OnKeyDown; setting the key to 0 consumes it). Tab, Shift+Tab and Enter on a
    // push button are dialog keys and reach neither; Alt+letter reaches both, and its character
    // (WM_SYSCHAR) then triggers the control with that access key.
    bool KeyPreview = false;

    // Disables the owner and the thread's other enabled top-level windows, shows the form and
    // handles messages until a modal result is set; then enables them again, hides the form and
    // returns the result. A WM_QUIT during the loop ends it with kModalCancel and is re-posted.
    int ShowModal();
    // Whether a modal form or message box gives the activation back to this form when it closes,
    // as an owner gets it back from its dialog. A form whose activation means more than the focus
    // (the launcher window is called up by it) says no.
    virtual bool TakesActivationBack() const { return true; }
    int ModalResult() const noexcept { return modalResult_; }
    // A non-zero result ends a running ShowModal once the current message has been handled.
    void SetModalResult(int result);
    bool InModalLoop() const noexcept { return modal_; }

    HWND Handle() const noexcept { return handle_; }
    HWND Owner() const noexcept;

    // The main form ends the application's message loop; any other form is hidden.
    void Close();
    void Show(int showCommand = SW_SHOW);
    void Hide();
    bool Visible() const;

    std::string Caption() const;
    void SetCaption(const std::string& caption);

    int ClientWidth() const;
    int ClientHeight() const;
    // Outer size and position; while the window is minimised these are its normal (restored)
    // bounds, so a position saved at that moment is still the one the user sees on restore.
    int Width() const;
    int Height() const;
    int Left() const;
    int Top() const;
    void SetLeft(int left);
    void SetTop(int top);
    RECT BoundsRect() const;
    // Outer size in real pixels.
    void SetOuterSize(int width, int height);
    // On the primary screen's full-screen client area (SM_CXFULLSCREEN x SM_CYFULLSCREEN), each
    // halving truncating: Top first, then Left.
    void CentreOnFullScreen();

    // Lays the form out for the DPI of the monitor it is on now, when that is not the one it is
    // laid out for. Windows tells a window that moves to a monitor of another DPI with
    // WM_DPICHANGED, but a hidden window moved by code (the launcher window placed where the
    // settings file says) is not sure to be told. Show does it for a form about to be shown.
    void FollowMonitorDpi();

    // Pixels at 96 DPI to pixels at the DPI this form is laid out for now.
    int Scale(int pixelsAt96) const;
    int Dpi() const noexcept { return dpi_; }

    HFONT Font() const noexcept { return font_.font.get(); }
    // The face the font was created with, after any fallback.
    const std::string& FontFace() const noexcept { return font_.face; }
    Color FontColor() const noexcept { return fontColor_; }
    Color BackgroundColor() const noexcept { return color_; }
    // The brush the background is erased with (owned by the form or the system).
    HBRUSH BackgroundBrush() const noexcept;

    // A canvas on the window's DC, for painting outside WM_PAINT.
    TWindowCanvas Canvas() const;

    // A right click (WM_CONTEXTMENU) on the form opens `menu` at the pointer. Not owned.
    void SetPopupMenu(TPopupMenu* menu) noexcept { popupMenu_ = menu; }
    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }

    // Runs OnDestroy (once) and destroys the window; the object stays usable but handle-less.
    void DestroyHandle() noexcept;

    // Called by the application's message loop for every message queued for this form or one
    // of its child windows, before TranslateMessage/DispatchMessage; returning true drops it.
    // The base handles the dialog keys of a form with controls (Tab, Shift+Tab, Enter on a push
    // button, Alt+access key); an override calls it for the keys it does not take itself.
    virtual bool PreTranslateMessage(MSG& msg);

    // Runs OnCreate; used by MakeForm and TApplication::CreateForm.
    void FireCreate() noexcept;

    // Child controls register themselves here (TControl does it); creation order is the tab
    // order unless SetTabOrder gives one.
    void AddControl(TControl* control);
    void RemoveControl(TControl* control) noexcept;
    const std::vector<TControl*>& Controls() const noexcept { return controls_; }
    void SetTabOrder(std::vector<TControl*> order);
    // The WS_TABSTOP controls in tab order (whether or not they can take the focus now).
    std::vector<TControl*> TabOrder() const;
    // Moves the focus to the next (or previous) enabled, visible tab stop, wrapping around.
    void SelectNext(bool forward);
    // The control that has the focus, or had it when the form was last deactivated.
    TControl* ActiveControl() const noexcept { return activeControl_; }
    // The control that gets the focus when the form is activated next; controls set it when
    // they get the focus (or are given it while the form is hidden or inactive).
    void SetActiveControl(TControl* control) noexcept { activeControl_ = control; }

protected:
    // Sees every message first. Return true to consume it (`result` is then the window
    // procedure's answer), false to let the form's own handling and DefWindowProc have it.
    virtual bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The form's own handling of a message, followed by DefWindowProc where appropriate.
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The form's own answer to a message, or none where DefWindowProc is to have it.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void WMDestroy();
    std::optional<LRESULT> WMActivate(WPARAM state);
    void WMPaint();
    std::optional<LRESULT> WMContextMenu(LPARAM position);
    std::optional<LRESULT> WMSysCommand(WPARAM command);
    std::optional<LRESULT> KeyMessage(const KeyEvent& event, WPARAM wParam, LPARAM lParam);
    void MouseButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FireDestroy() noexcept;
    // The bounds a minimised window comes back to, in screen coordinates.
    RECT RestoredBounds() const;
    void SetRestoredBounds(const RECT& bounds);
    void EraseBackground(HDC dc) const;
    void Paint(HDC dc);
    bool HandlesKeys() const noexcept { return OnKeyDown || OnKeyUp; }
    bool HandleDialogKey(const MSG& msg);
    bool RouteToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void RestoreFocus();
    void FixClientSize(int width, int height);
    void MoveTo(int left, int top);
    void HandleDpiChanged(int announcedDpi, const RECT& suggested);

    HWND handle_ = nullptr;
    int dpi_;
    FontSpec fontSpec_;
    int layoutClientWidth_;
    int layoutClientHeight_;
    bool sizeable_;
    bool placesItself_;
    Color color_;
    Color fontColor_;
    ResolvedFont font_;
    platform::UniqueBrush ownBackground_;  // only for an RGB colour; system colours use the system brush
    TPopupMenu* popupMenu_ = nullptr;
    bool destroyFired_ = false;
    bool inDestructor_ = false;
    int modalResult_ = kModalNone;
    bool modal_ = false;
    std::vector<TControl*> controls_;
    std::vector<TControl*> tabOrder_;  // empty: creation order
    TControl* activeControl_ = nullptr;
};

// Whether the window that was active before a modal form or message box opened gets the
// activation back when it closes: a window of no form does, a form as it says.
bool TakesActivationBackAfterModal(HWND previouslyActive) noexcept;

// Destroys a form the way its events expect: OnDestroy runs while the whole object still exists.
struct FormDeleter {
    void operator()(TForm* form) const noexcept;
};
template <class T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

// Creates a form that its caller owns (dialogs), running OnCreate after its constructor.
template <class T, class... Args>
FormPtr<T> MakeForm(Args&&... args) {
    FormPtr<T> form(std::make_unique<T>(std::forward<Args>(args)...).release());
    form->FireCreate();
    return form;
}

}  // namespace rivo::ui
