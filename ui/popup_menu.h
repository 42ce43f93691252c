// A popup menu: captions with click handlers and separators, opened at a screen point or
// attached to a form, whose right click opens it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace rivo::ui {

class TForm;

class TMenuItem {
public:
    TMenuItem(std::string caption, std::function<void()> onClick, UINT id)
        : OnClick(std::move(onClick)), caption_(std::move(caption)), id_(id) {}

    std::function<void()> OnClick;

    const std::string& Caption() const noexcept { return caption_; }
    bool IsSeparator() const noexcept { return caption_ == "-"; }
    UINT Id() const noexcept { return id_; }
    // Runs the item's handler as a click by the user would; nothing for a separator.
    void Click();

private:
    std::string caption_;
    UINT id_;
};

class TPopupMenu {
public:
    // `owner` receives the menu's messages and is made the foreground window while it is open.
    explicit TPopupMenu(TForm& owner);
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    // Appends an item; the caption "-" makes a separator. `caption` is code page 932, with an
    // ampersand before the access key. The reference stays valid while the menu exists.
    TMenuItem& Add(const std::string& caption, std::function<void()> onClick = {});
    TMenuItem& Item(size_t index) { return *items_.at(index); }
    size_t Count() const noexcept { return items_.size(); }

    // Shows the menu at a screen point and waits until it is closed; the chosen item's handler
    // runs after the menu has gone.
    void Popup(int x, int y);

    HMENU Handle() const noexcept { return menu_.get(); }

private:
    TForm& owner_;
    platform::UniqueMenu menu_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

}  // namespace rivo::ui
