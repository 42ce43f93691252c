#include "ui/button.h"

namespace rivo::ui {

TButton::TButton(TForm& form, HWND parent, const std::string& caption, Bounds bounds, int modalResult)
    : TControl(form, parent, L"BUTTON", caption, bounds, WS_TABSTOP | BS_PUSHBUTTON),
      ModalResult(modalResult) {}

void TButton::Click() {
    if (ModalResult != kModalNone)
        Form().SetModalResult(ModalResult);
    if (OnClick)
        OnClick();
}

bool TButton::HandleCommand(WORD notifyCode) {
    if (notifyCode != BN_CLICKED)
        return false;
    Click();
    return true;
}

void TButton::Accelerate() {
    // An access key clicks without moving the focus, as a button's mnemonic does in a dialog.
    Click();
}

}  // namespace rivo::ui
