#include "ui/combo_box.h"

#include <stdexcept>

#include "platform/wide_text.h"

namespace rivo::ui {

namespace {

// The window of a combo box is made as tall as the closed box and its dropped list together.
Bounds WithDropDown(Bounds bounds, int rows) {
    constexpr int kRowHeight = 14;
    bounds.height += rows * kRowHeight + 2;
    return bounds;
}

}  // namespace

TComboBox::TComboBox(TForm& form, HWND parent, Bounds bounds, int dropDownRows)
    : TControl(form, parent, L"ComboBox", "", WithDropDown(bounds, dropDownRows),
               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS),
      closedHeight_(bounds.height) {
    FitClosedHeight();
}

void TComboBox::ApplyDpi() {
    TControl::ApplyDpi();
    FitClosedHeight();
}

void TComboBox::FitClosedHeight() {
    // The closed height follows from the height of its selection field, which the system takes
    // from the font; the field is adjusted until the closed box has the height of the layout.
    // Measured each round rather than computed: Wine reports a field 2 pixels higher than it
    // was set to.
    const int wanted = Form().Scale(closedHeight_);
    LRESULT request = ::SendMessageW(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && request != CB_ERR; ++attempt) {
        RECT closed{};
        ::GetWindowRect(Handle(), &closed);
        const int actual = closed.bottom - closed.top;
        if (actual == wanted || request + (wanted - actual) <= 0)
            break;
        request += wanted - actual;
        ::SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
    }
}

int TComboBox::Add(const std::string& text) {
    const LRESULT index =
        ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Wide(text).c_str()));
    // Thrown rather than skipped: a missing row would shift every later row against the
    // caller's index of them.
    if (index == CB_ERR || index == CB_ERRSPACE)
        throw std::runtime_error("CB_ADDSTRING failed");
    return static_cast<int>(index);
}

int TComboBox::Count() const {
    return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

void TComboBox::Clear() {
    ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

std::string TComboBox::Item(int row) const {
    const LRESULT length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(row),
                                          reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return platform::Narrow(text);
}

int TComboBox::ItemIndex() const {
    const LRESULT index = ::SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count())
        index = -1;
    ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace rivo::ui
