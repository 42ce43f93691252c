#include "ui/label.h"

#include <algorithm>

#include "platform/unique_handle.h"
#include "platform/window_text.h"

namespace rivo::ui {

TLabel::TLabel(TForm& form, HWND parent, const std::string& caption, Bounds bounds)
    : TControl(form, parent, L"STATIC", caption, bounds, SS_LEFTNOWORDWRAP) {
    FitCaption();
}

int TLabel::CaptionWidth() const {
    const std::wstring caption = platform::WideWindowText(Handle());
    const platform::WindowDC dc(Handle());
    if (!dc)
        return 0;
    const platform::SelectedObject font(dc.get(), Form().Font());
    RECT needed{0, 0, 0, 0};
    // DT_CALCRECT with the static control's own prefix handling: "&&" is one character.
    ::DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &needed,
                DT_CALCRECT | DT_SINGLELINE);
    return needed.right;
}

void TLabel::FitCaption() {
    const RECT bounds = BoundsRect();
    RECT parent{};
    ::GetClientRect(::GetParent(Handle()), &parent);
    // Up to the parent's edge at most: beyond it nothing would be seen anyway.
    const int width = std::min<int>(CaptionWidth(), parent.right - bounds.left);
    if (width > bounds.right - bounds.left)
        SetBounds(bounds.left, bounds.top, width, bounds.bottom - bounds.top);
}

void TLabel::ApplyDpi() {
    TControl::ApplyDpi();
    FitCaption();
}

HBRUSH TLabel::HandleColor(HDC dc) {
    return FormColors(dc);
}

}  // namespace rivo::ui
