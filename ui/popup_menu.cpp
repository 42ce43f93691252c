#include "ui/popup_menu.h"

#include "platform/foreground.h"
#include "platform/wide_text.h"
#include "platform/win32_error.h"
#include "ui/form.h"

namespace rivo::ui {

void TMenuItem::Click() {
    if (!IsSeparator() && OnClick)
        OnClick();
}

TPopupMenu::TPopupMenu(TForm& owner) : owner_(owner), menu_(::CreatePopupMenu()) {
    if (!menu_)
        throw platform::Win32Error("CreatePopupMenu");
}

TMenuItem& TPopupMenu::Add(const std::string& caption, std::function<void()> onClick) {
    const UINT id = static_cast<UINT>(items_.size()) + 1;  // 0 is TrackPopupMenu's "nothing chosen"
    auto item = std::make_unique<TMenuItem>(caption, std::move(onClick), id);
    const BOOL added = item->IsSeparator()
                           ? ::AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr)
                           : ::AppendMenuW(menu_.get(), MF_STRING, id, platform::Wide(caption).c_str());
    if (!added)
        throw platform::Win32Error("AppendMenuW");
    items_.push_back(std::move(item));
    return *items_.back();
}

void TPopupMenu::Popup(int x, int y) {
    HWND owner = owner_.Handle();
    // Without the owner in the foreground the menu would not close when the user clicks
    // elsewhere; the WM_NULL afterwards makes the next click after it behave as well.
    platform::BringToForeground(owner);
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0,
                         owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (chosen == 0 || chosen > items_.size())
        return;
    items_[chosen - 1]->Click();
}

}  // namespace rivo::ui
