#include "ui/group_box.h"

namespace rivo::ui {

TGroupBox::TGroupBox(TForm& form, HWND parent, const std::string& caption, Bounds bounds)
    // WS_CLIPCHILDREN: the box erases its own interior (below), which must not paint over its
    // controls. WS_EX_CONTROLPARENT lets the dialog manager's helpers look inside it.
    : TControl(form, parent, L"Button", caption, bounds,
               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | BS_GROUPBOX, WS_EX_CONTROLPARENT) {
}

bool TGroupBox::WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            // A button-class window would drop its children's notifications; the form knows
            // which control each child window belongs to.
            result = ::SendMessageW(Form().Handle(), message, wParam, lParam);
            return true;

        case WM_ERASEBKGND:
            // The form clips its children, so nothing else paints the inside of the box.
            EraseBackground(reinterpret_cast<HDC>(wParam));
            result = 1;
            return true;

        case WM_NCHITTEST:
            // A plain group box is transparent to the mouse, which would send clicks on its
            // empty inside to whatever lies beneath it; its own controls are hit-tested first
            // either way.
            result = HTCLIENT;
            return true;

        default:
            return false;
    }
}

void TGroupBox::EraseBackground(HDC dc) const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, Form().BackgroundBrush());
}

HBRUSH TGroupBox::HandleColor(HDC dc) {
    return FormColors(dc);
}

}  // namespace rivo::ui
