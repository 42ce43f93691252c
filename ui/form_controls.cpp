// TForm's dialog side: its child controls, focus and tab order, dialog keys, routing of control
// notifications, modal showing and placement.
#include <algorithm>
#include <cctype>
#include <optional>
#include <stdexcept>

#include "core/window_geometry.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/control.h"
#include "ui/disabled_thread_windows.h"
#include "ui/form.h"

namespace rivo::ui {

namespace {

bool CanTakeFocus(HWND window, HWND form) {
    for (HWND w = window; w && w != form; w = ::GetParent(w)) {
        if (!::IsWindowEnabled(w) || !(::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE))
            return false;
    }
    return true;
}

// The control that `window` belongs to: itself, or the nearest ancestor a TControl made (the
// inner windows of a combo box or a list view's header).
TControl* ControlOf(HWND window, HWND form) {
    for (HWND w = window; w && w != form; w = ::GetParent(w)) {
        if (TControl* control = TControl::FromHandle(w))
            return control;
    }
    return nullptr;
}

}  // namespace

bool TakesActivationBackAfterModal(HWND previouslyActive) noexcept {
    if (!previouslyActive)
        return false;
    const TApplication* app = ApplicationOrNull();
    const TForm* form = app ? app->FormOfWindow(previouslyActive) : nullptr;
    return !form || form->TakesActivationBack();
}

HWND TForm::Owner() const noexcept {
    return ::GetWindow(handle_, GW_OWNER);
}

void TForm::AddControl(TControl* control) {
    controls_.push_back(control);
}

void TForm::RemoveControl(TControl* control) noexcept {
    std::erase(controls_, control);
    std::erase(tabOrder_, control);
    if (activeControl_ == control)
        activeControl_ = nullptr;
}

void TForm::SetTabOrder(std::vector<TControl*> order) {
    tabOrder_ = std::move(order);
}

std::vector<TControl*> TForm::TabOrder() const {
    const std::vector<TControl*>& order = tabOrder_.empty() ? controls_ : tabOrder_;
    std::vector<TControl*> stops;
    for (TControl* control : order) {
        if (control->Handle() && (::GetWindowLongW(control->Handle(), GWL_STYLE) & WS_TABSTOP))
            stops.push_back(control);
    }
    return stops;
}

void TForm::SelectNext(bool forward) {
    std::vector<TControl*> stops = TabOrder();
    std::erase_if(stops, [this](TControl* c) { return !CanTakeFocus(c->Handle(), handle_); });
    if (stops.empty())
        return;
    TControl* current = ControlOf(::GetFocus(), handle_);
    auto at = std::find(stops.begin(), stops.end(), current);
    TControl* next = nullptr;
    if (at == stops.end()) {
        next = forward ? stops.front() : stops.back();
    } else if (forward) {
        next = ++at == stops.end() ? stops.front() : *at;
    } else {
        next = at == stops.begin() ? stops.back() : *--at;
    }
    next->SetFocus();
    // As in a dialog, an edit entered by Tab has its whole text selected.
    if (::SendMessageW(next->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        ::SendMessageW(next->Handle(), EM_SETSEL, 0, -1);
}

void TForm::RestoreFocus() {
    if (activeControl_ && activeControl_->Handle() && CanTakeFocus(activeControl_->Handle(), handle_)) {
        ::SetFocus(activeControl_->Handle());
        return;
    }
    for (TControl* control : TabOrder()) {
        if (CanTakeFocus(control->Handle(), handle_)) {
            control->SetFocus();
            return;
        }
    }
}

bool TForm::HandleDialogKey(const MSG& msg) {
    if (controls_.empty())
        return false;
    if (msg.message == WM_SYSCHAR) {
        // Alt+letter, taken at the character as a dialog does: the key-down handlers have seen
        // the key by then (WM_SYSKEYDOWN reaches them like any other key).
        const auto letter = static_cast<char>(std::toupper(static_cast<unsigned char>(msg.wParam)));
        if (!std::isalnum(static_cast<unsigned char>(letter)))
            return false;
        for (TControl* control : controls_) {
            if (control->HasAccessKey(letter) && CanTakeFocus(control->Handle(), handle_)) {
                control->Accelerate();
                return true;
            }
        }
        return false;
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    const WORD key = LOWORD(msg.wParam);
    const ShiftState shift = KeyShiftState(msg.lParam);
    TControl* focused = ControlOf(msg.hwnd, handle_);

    if (key == VK_TAB && !shift.ctrl && !shift.alt) {
        if (focused && (::SendMessageW(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)) &
                        (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
            return false;
        SelectNext(!shift.shift);
        return true;
    }
    if (key == VK_RETURN && !shift.alt) {
        if (auto* button = dynamic_cast<TButton*>(focused); button && button->Enabled()) {
            button->Click();
            return true;
        }
        return false;
    }
    return false;
}

bool TForm::RouteToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            if (lParam) {
                TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam));
                if (control && control->HandleCommand(HIWORD(wParam))) {
                    result = 0;
                    return true;
                }
            }
            return false;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            TControl* control = header ? TControl::FromHandle(header->hwndFrom) : nullptr;
            return control && control->HandleNotify(*header, result);
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam));
            HBRUSH brush = control ? control->HandleColor(reinterpret_cast<HDC>(wParam)) : nullptr;
            if (!brush)
                return false;
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        default:
            return false;
    }
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    // Wakes the modal loop even when the result is set outside a message of this thread's queue.
    if (result != kModalNone && modal_ && handle_)
        ::PostMessageW(handle_, WM_NULL, 0, 0);
}

int TForm::ShowModal() {
    if (modal_)
        throw std::logic_error("ShowModal: the form is shown modally already");
    if (!handle_)
        throw std::logic_error("ShowModal: the form has no window");
    TApplication& app = Application();
    modalResult_ = kModalNone;
    const HWND previouslyActive = ::GetActiveWindow();

    const bool giveBack = TakesActivationBackAfterModal(previouslyActive);

    // Every enabled window of this thread, hidden ones included: a hidden owner or main window
    // that stayed enabled could be activated (by the hook) and start a second registration.
    std::optional<DisabledThreadWindows> others(std::in_place, handle_);
    modal_ = true;
    bool quit = false;
    {
        // Enabled again before the form is hidden, so that activation can go back to them. A
        // window that takes none back stays disabled until the form is hidden, so that the system
        // does not choose it as the next window to activate either.
        platform::ScopeExit restore([this, &others, giveBack] {
            modal_ = false;
            if (giveBack)
                others.reset();
        });
        Show(SW_SHOW);
        while (modalResult_ == kModalNone) {
            if (!app.HandleMessage()) {
                quit = true;
                modalResult_ = kModalCancel;
            } else if (!handle_ || !::IsWindowVisible(handle_)) {
                // Hidden or destroyed by someone else: there is nothing left to answer.
                modalResult_ = kModalCancel;
            }
        }
    }
    Hide();
    others.reset();
    if (giveBack && previouslyActive != handle_ && ::IsWindow(previouslyActive) &&
        ::IsWindowVisible(previouslyActive) && ::IsWindowEnabled(previouslyActive))
        ::SetActiveWindow(previouslyActive);
    if (quit)
        app.Terminate();
    return modalResult_;
}

void TForm::SetOuterSize(int width, int height) {
    ::SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CentreOnFullScreen() {
    const Point at = CentredPosition(::GetSystemMetrics(SM_CXFULLSCREEN), ::GetSystemMetrics(SM_CYFULLSCREEN),
                                     Width(), Height());
    SetTop(at.y);
    SetLeft(at.x);
}

}  // namespace rivo::ui
