#include "ui/radio_button.h"

#include <algorithm>
#include <iterator>

namespace rivo::ui {

namespace {

bool IsRadioButton(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (::lstrcmpiW(className, L"Button") != 0)
        return false;
    const LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool StartsGroup(HWND window) {
    return (::GetWindowLongW(window, GWL_STYLE) & WS_GROUP) != 0;
}

void SetTabStop(HWND window, bool tabStop) {
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    const LONG wanted = tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style)
        ::SetWindowLongW(window, GWL_STYLE, wanted);
}

}  // namespace

TRadioButton::TRadioButton(TForm& form, HWND parent, const std::string& caption, Bounds bounds,
                           bool firstInGroup)
    : TControl(form, parent, L"Button", caption, bounds,
               WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (firstInGroup ? WS_GROUP : 0)) {
    UpdateTabStops();
}

bool TRadioButton::Checked() const {
    return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TRadioButton::SetChecked(bool checked) {
    if (checked) {
        for (HWND other : Group()) {
            if (other != Handle())
                ::SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    UpdateTabStops();
}

bool TRadioButton::HandleCommand(WORD notifyCode) {
    // An automatic radio button has checked itself and unchecked its group by now.
    if (notifyCode == BN_CLICKED)
        UpdateTabStops();
    return false;
}

bool TRadioButton::WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_KEYDOWN)
        return false;
    const bool backward = wParam == VK_UP || wParam == VK_LEFT;
    const bool forward = wParam == VK_DOWN || wParam == VK_RIGHT;
    if (!backward && !forward)
        return false;
    // The arrows move within the group as in a dialog, once the form's key preview and the
    // button's own key event have had the key and left it.
    result = 0;
    WORD key = LOWORD(wParam);
    if (!KeyDownEvents(key, KeyShiftState(lParam)))
        MoveInGroup(forward);
    return true;
}

std::vector<HWND> TRadioButton::Group() const {
    const HWND parent = ::GetParent(Handle());
    std::vector<HWND> siblings;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        siblings.push_back(child);
    }
    const auto self = std::find(siblings.begin(), siblings.end(), Handle());
    if (self == siblings.end())
        return {Handle()};
    auto first = self;
    while (first != siblings.begin() && !StartsGroup(*first))
        --first;
    auto last = self + 1;
    while (last != siblings.end() && !StartsGroup(*last))
        ++last;
    std::vector<HWND> group;
    std::copy_if(first, last, std::back_inserter(group), IsRadioButton);
    return group;
}

void TRadioButton::UpdateTabStops() const {
    const std::vector<HWND> group = Group();
    const auto checked = std::find_if(group.begin(), group.end(), [](HWND button) {
        return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    });
    const HWND stop = checked != group.end() ? *checked : group.front();
    for (HWND button : group) {
        SetTabStop(button, button == stop);
    }
}

void TRadioButton::MoveInGroup(bool forward) {
    std::vector<HWND> group = Group();
    std::erase_if(group,
                  [](HWND button) { return !::IsWindowEnabled(button) || !::IsWindowVisible(button); });
    const auto self = std::find(group.begin(), group.end(), Handle());
    if (group.size() < 2 || self == group.end())
        return;
    const std::size_t index = static_cast<std::size_t>(self - group.begin());
    const std::size_t next = forward ? (index + 1) % group.size() : (index + group.size() - 1) % group.size();
    TControl* target = TControl::FromHandle(group[next]);
    if (!target)
        return;
    // As in a dialog: the button the arrow moves to is checked as well as focused.
    target->SetFocus();
    ::SendMessageW(group[next], BM_CLICK, 0, 0);
}

HBRUSH TRadioButton::HandleColor(HDC dc) {
    return FormColors(dc);
}

}  // namespace rivo::ui
