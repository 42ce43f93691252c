// A single-line edit field with a background colour of its own, optionally read-only.
#pragma once

#include <functional>
#include <string>

#include "platform/unique_handle.h"
#include "ui/color.h"
#include "ui/control.h"

namespace rivo::ui {

class TEdit : public TControl {
public:
    TEdit(TForm& form, HWND parent, Bounds bounds, bool readOnly = false);

    void SetReadOnly(bool readOnly);
    bool ReadOnly() const;

    // The background, also while the field is read-only or disabled (default: the window colour).
    void SetColor(Color color);
    Color GetColor() const noexcept { return color_; }

    // EN_CHANGE: typing, pasting and SetText alike.
    std::function<void()> OnChange;

    bool HandleCommand(WORD notifyCode) override;
    HBRUSH HandleColor(HDC dc) override;

protected:
    // Focus that does not come from a mouse click selects the whole text, so that typing
    // replaces it, as in a dialog.
    bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Color color_ = Color::System(COLOR_WINDOW);
    platform::UniqueBrush ownBrush_;  // only for an RGB colour
};

}  // namespace rivo::ui
