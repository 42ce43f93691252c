// A report-style list view: columns with headers that do not react to clicks, grid lines, the
// whole row highlighted, one row selected at most, captions not editable, rows unsorted in the
// order added. Each row carries a pointer of data that the list does not own.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace rivo::ui {

class TListView : public TControl {
public:
    TListView(TForm& form, HWND parent, Bounds bounds);

    // `width` in pixels at 96 DPI.
    void AddColumn(const std::string& caption, int width);
    int ColumnCount() const;
    int ColumnWidth(int column) const;  // real pixels

    // Appends a row with its caption (first column), the second column's text and its data;
    // returns its index.
    int AddRow(const std::string& caption, const std::string& second, void* data);
    std::string RowText(int row, int column) const;
    void* RowData(int row) const;
    int RowCount() const;
    void DeleteRow(int row);
    void Clear();

    // -1 = none.
    int Selected() const;
    void Select(int row);

    // Nested pairs: the list is redrawn once, at the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    std::function<void()> OnDblClick;

    bool HandleNotify(NMHDR& header, LRESULT& result) override;

    // The columns get their widths of the layout at the form's new DPI.
    void ApplyDpi() override;

private:
    std::vector<int> columnWidths_;  // at 96 DPI
    int columns_ = 0;
    int updateDepth_ = 0;
};

}  // namespace rivo::ui
