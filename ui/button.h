// A push button that can carry a modal result for its form.
#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace rivo::ui {

class TButton : public TControl {
public:
    TButton(TForm& form, HWND parent, const std::string& caption, Bounds bounds, int modalResult = 0);

    // Given to the form when the button is clicked (kModalNone: none).
    int ModalResult = 0;
    std::function<void()> OnClick;

    // Applies ModalResult to the form first (if non-zero), then runs OnClick.
    void Click();

    bool HandleCommand(WORD notifyCode) override;
    void Accelerate() override;
};

}  // namespace rivo::ui
