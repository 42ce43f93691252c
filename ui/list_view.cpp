#include "ui/list_view.h"

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <vector>

#include "platform/system_library.h"
#include "platform/wide_text.h"

namespace rivo::ui {

namespace {

// The list view class lives in comctl32 and exists only once the library has registered it.
const wchar_t* ListViewClass() {
    static const platform::SystemLibrary comctl32(L"comctl32.dll");
    static const bool registered = [] {
        using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        const auto init = comctl32.Function<InitFn>("InitCommonControlsEx");
        INITCOMMONCONTROLSEX classes{};
        classes.dwSize = sizeof classes;
        classes.dwICC = ICC_LISTVIEW_CLASSES;
        return init && init(&classes) != FALSE;
    }();
    (void)registered;
    return WC_LISTVIEWW;
}

}  // namespace

TListView::TListView(TForm& form, HWND parent, Bounds bounds)
    // LVS_NOSORTHEADER: headers without HDS_BUTTONS, which neither press nor notify on a click.
    // LVS_SHOWSELALWAYS: the row a button next to the list acts on stays visible while the
    // button has the focus.
    : TControl(form, parent, ListViewClass(), "", bounds,
               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER |
                   LVS_SHOWSELALWAYS,
               WS_EX_CLIENTEDGE) {
    const DWORD extended = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    if (HWND header = reinterpret_cast<HWND>(::SendMessageW(Handle(), LVM_GETHEADER, 0, 0))) {
        const LONG style = ::GetWindowLongW(header, GWL_STYLE);
        if (style & HDS_BUTTONS)
            ::SetWindowLongW(header, GWL_STYLE, style & ~HDS_BUTTONS);
    }
}

void TListView::AddColumn(const std::string& caption, int width) {
    std::wstring text = platform::Wide(caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = Form().Scale(width);
    column.pszText = text.data();
    column.iSubItem = columns_;
    if (::SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(columns_),
                       reinterpret_cast<LPARAM>(&column)) < 0)
        throw std::runtime_error("LVM_INSERTCOLUMN failed");
    ++columns_;
    columnWidths_.push_back(width);
}

void TListView::ApplyDpi() {
    TControl::ApplyDpi();
    for (int column = 0; column < columns_; ++column) {
        ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       MAKELPARAM(Form().Scale(columnWidths_[static_cast<size_t>(column)]), 0));
    }
}

int TListView::ColumnCount() const {
    return columns_;
}

int TListView::ColumnWidth(int column) const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int TListView::AddRow(const std::string& caption, const std::string& second, void* data) {
    std::wstring first = platform::Wide(caption);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = first.data();
    item.lParam = reinterpret_cast<LPARAM>(data);
    const LRESULT row = ::SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (row < 0)
        throw std::runtime_error("LVM_INSERTITEM failed");

    std::wstring text = platform::Wide(second);
    LVITEMW sub{};
    sub.iSubItem = 1;
    sub.pszText = text.data();
    ::SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
    return static_cast<int>(row);
}

std::string TListView::RowText(int row, int column) const {
    // LVM_GETITEMTEXT reports only how much it copied, so grow until the text fits.
    for (std::size_t size = 256;; size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT copied = ::SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(&item));
        if (copied < 0)
            return {};
        if (static_cast<std::size_t>(copied) + 1 < size || size >= (std::size_t{1} << 24))
            return platform::Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
    }
}

void* TListView::RowData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!::SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<void*>(item.lParam);
}

int TListView::RowCount() const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TListView::DeleteRow(int row) {
    ::SendMessageW(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void TListView::Clear() {
    ::SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::Selected() const {
    return static_cast<int>(
        ::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::Select(int row) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    ::SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (row < 0 || row >= RowCount())
        return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void TListView::BeginUpdate() {
    if (updateDepth_++ == 0)
        ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
    if (updateDepth_ == 0)
        return;
    if (--updateDepth_ == 0) {
        ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

bool TListView::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.code == NM_DBLCLK) {
        if (OnDblClick)
            OnDblClick();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace rivo::ui
