#include "ui/edit.h"

#include "platform/win32_error.h"

namespace rivo::ui {

TEdit::TEdit(TForm& form, HWND parent, Bounds bounds, bool readOnly)
    : TControl(form, parent, L"EDIT", "", bounds, WS_TABSTOP | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0),
               WS_EX_CLIENTEDGE) {
    // No 32767-character default cap: a command or a directory may be as long as Windows allows.
    ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void TEdit::SetReadOnly(bool readOnly) {
    ::SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

bool TEdit::ReadOnly() const {
    return (::GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

void TEdit::SetColor(Color color) {
    platform::UniqueBrush brush;
    if (!color.IsSystem()) {
        brush.reset(::CreateSolidBrush(color.Resolve()));
        if (!brush)
            throw platform::Win32Error("CreateSolidBrush");
    }
    color_ = color;
    ownBrush_ = std::move(brush);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool TEdit::WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_SETFOCUS)
        return false;
    Form().SetActiveControl(this);
    result = CallOriginal(message, wParam, lParam);
    // A click places the caret where it lands; any other way in selects everything.
    if (::GetKeyState(VK_LBUTTON) >= 0)
        ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
    return true;
}

bool TEdit::HandleCommand(WORD notifyCode) {
    if (notifyCode != EN_CHANGE)
        return false;
    if (OnChange)
        OnChange();
    return true;
}

HBRUSH TEdit::HandleColor(HDC dc) {
    // Read-only and disabled edits ask with WM_CTLCOLORSTATIC, others with WM_CTLCOLOREDIT; the
    // colour is the field's either way.
    ::SetBkColor(dc, color_.Resolve());
    if (Enabled())
        ::SetTextColor(dc, Form().FontColor().Resolve());
    return ownBrush_ ? ownBrush_.get() : ::GetSysColorBrush(color_.SystemIndex());
}

}  // namespace rivo::ui
