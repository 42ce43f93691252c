// A framed, captioned container. Its controls are created with the group box as their parent,
// so the box passes their notifications on to the form, which routes them to their TControl.
#pragma once

#include <windows.h>

#include <string>

#include "ui/control.h"

namespace rivo::ui {

class TGroupBox : public TControl {
public:
    TGroupBox(TForm& form, HWND parent, const std::string& caption, Bounds bounds);

    HBRUSH HandleColor(HDC dc) override;

protected:
    bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void EraseBackground(HDC dc) const;
};

}  // namespace rivo::ui
