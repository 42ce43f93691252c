#include "ui/list_view.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

#include "platform/system_library.h"

namespace rivo::ui {

namespace {

// The list view class lives in comctl32 and exists only once the library has registered it.
const char* ListViewClass() {
    static const platform::SystemLibrary comctl32("comctl32.dll");
    static const bool registered = [] {
        using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        const auto init = comctl32.Function<InitFn>("InitCommonControlsEx");
        INITCOMMONCONTROLSEX classes{};
        classes.dwSize = sizeof classes;
        classes.dwICC = ICC_LISTVIEW_CLASSES;
        return init && init(&classes) != FALSE;
    }();
    (void)registered;
    return WC_LISTVIEWA;
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
    ::SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    if (HWND header = reinterpret_cast<HWND>(::SendMessageA(Handle(), LVM_GETHEADER, 0, 0))) {
        const LONG style = ::GetWindowLongA(header, GWL_STYLE);
        if (style & HDS_BUTTONS)
            ::SetWindowLongA(header, GWL_STYLE, style & ~HDS_BUTTONS);
    }
}

void TListView::AddColumn(const std::string& caption, int width) {
    std::vector<char> text(caption.begin(), caption.end());
    text.push_back('\0');
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = Form().Scale(width);
    column.pszText = text.data();
    column.iSubItem = columns_;
    if (::SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_),
                       reinterpret_cast<LPARAM>(&column)) < 0)
        throw std::runtime_error("LVM_INSERTCOLUMN failed");
    ++columns_;
    columnWidths_.push_back(width);
}

void TListView::ApplyDpi() {
    TControl::ApplyDpi();
    for (int column = 0; column < columns_; ++column) {
        ::SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       MAKELPARAM(Form().Scale(columnWidths_[static_cast<size_t>(column)]), 0));
    }
}

int TListView::ColumnCount() const {
    return columns_;
}

int TListView::ColumnWidth(int column) const {
    return static_cast<int>(::SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int TListView::AddRow(const std::string& caption, const std::string& second, void* data) {
    std::vector<char> first(caption.begin(), caption.end());
    first.push_back('\0');
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = first.data();
    item.lParam = reinterpret_cast<LPARAM>(data);
    const LRESULT row = ::SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (row < 0)
        throw std::runtime_error("LVM_INSERTITEM failed");

    std::vector<char> text(second.begin(), second.end());
    text.push_back('\0');
    LVITEMA sub{};
    sub.iSubItem = 1;
    sub.pszText = text.data();
    ::SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
    return static_cast<int>(row);
}

std::string TListView::RowText(int row, int column) const {
    // LVM_GETITEMTEXT reports only how much it copied, so grow until the text fits.
    for (std::size_t size = 256;; size *= 4) {
        std::vector<char> buffer(size, '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT copied = ::SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(&item));
        if (copied < 0)
            return {};
        if (static_cast<std::size_t>(copied) + 1 < size || size >= (std::size_t{1} << 24))
            return std::string(buffer.data(), static_cast<std::size_t>(copied));
    }
}

void* TListView::RowData(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!::SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<void*>(item.lParam);
}

int TListView::RowCount() const {
    return static_cast<int>(::SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TListView::DeleteRow(int row) {
    ::SendMessageA(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void TListView::Clear() {
    ::SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::Selected() const {
    return static_cast<int>(
        ::SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::Select(int row) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    ::SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (row < 0 || row >= RowCount())
        return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    ::SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void TListView::BeginUpdate() {
    if (updateDepth_++ == 0)
        ::SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
    if (updateDepth_ == 0)
        return;
    if (--updateDepth_ == 0) {
        ::SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
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
