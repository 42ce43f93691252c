// A radio button. The buttons of one group (from a button made with `firstInGroup` up to the
// next such button among the same parent's children) exclude each other, whether checked by a
// click, by the arrow keys or from code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/control.h"

namespace rivo::ui {

class TRadioButton : public TControl {
public:
    TRadioButton(TForm& form, HWND parent, const std::string& caption, Bounds bounds, bool firstInGroup);

    bool Checked() const;
    void SetChecked(bool checked);

    bool HandleCommand(WORD notifyCode) override;
    HBRUSH HandleColor(HDC dc) override;

protected:
    bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The radio buttons of this one's group, in window order, this one included.
    std::vector<HWND> Group() const;
    // Only the checked button of a group is a tab stop (the first one while none is checked),
    // so Tab enters the group once and the arrow keys move within it.
    void UpdateTabStops() const;
    void MoveInGroup(bool forward);
};

}  // namespace rivo::ui
