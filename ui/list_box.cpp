#include "ui/list_box.h"

#include <stdexcept>

#include "platform/wide_text.h"

namespace rivo::ui {

TListBox::TListBox(TForm& form, HWND parent, Bounds bounds, int itemHeight)
    // LBS_NOINTEGRALHEIGHT: the box keeps the height it is given instead of shrinking to whole rows.
    : TControl(form, parent, L"ListBox", "", bounds,
               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_MULTIPLESEL | LBS_NOTIFY |
                   LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
               WS_EX_CLIENTEDGE),
      itemHeight_(itemHeight) {
    ::SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(form.Scale(itemHeight), 0));
}

void TListBox::ApplyDpi() {
    TControl::ApplyDpi();
    ::SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Form().Scale(itemHeight_), 0));
}

int TListBox::Add(const std::string& text) {
    const LRESULT index =
        ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Wide(text).c_str()));
    // Thrown rather than skipped: a missing row would shift every later row against the
    // caller's index of them.
    if (index == LB_ERR || index == LB_ERRSPACE)
        throw std::runtime_error("LB_ADDSTRING failed");
    return static_cast<int>(index);
}

int TListBox::Count() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

void TListBox::Clear() {
    ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
}

std::string TListBox::Item(int row) const {
    const LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return platform::Narrow(text);
}

bool TListBox::Selected(int row) const {
    return ::SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
}

void TListBox::SetSelected(int row, bool selected) {
    if (row < 0 || row >= Count())
        return;
    ::SendMessageW(Handle(), LB_SETSEL, selected ? TRUE : FALSE, row);
    if (selected) {
        // Not every list box implementation moves the caret on LB_SETSEL; FALSE = scroll until
        // the row is fully visible.
        ::SendMessageW(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
    }
}

int TListBox::SelectedCount() const {
    const LRESULT count = ::SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

int TListBox::CaretIndex() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0));
}

int TListBox::TopIndex() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
}

int TListBox::ItemHeight() const {
    return static_cast<int>(::SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

}  // namespace rivo::ui
