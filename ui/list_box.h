// A list box in which a click toggles the selection of one row (several rows can be selected,
// without the extended Shift/Ctrl selection). Rows stay in the order they were added.
#pragma once

#include <windows.h>

#include <string>

#include "ui/control.h"

namespace rivo::ui {

class TListBox : public TControl {
public:
    // `itemHeight` in pixels at 96 DPI.
    TListBox(TForm& form, HWND parent, Bounds bounds, int itemHeight);

    // Appends a row; returns its index.
    int Add(const std::string& text);
    int Count() const;
    void Clear();
    std::string Item(int row) const;

    bool Selected(int row) const;
    // Selecting a row also moves the caret to it and scrolls it into view; unselecting leaves
    // the caret where it is.
    void SetSelected(int row, bool selected);
    int SelectedCount() const;

    int CaretIndex() const;
    int TopIndex() const;
    int ItemHeight() const;

    void ApplyDpi() override;

private:
    int itemHeight_;  // at 96 DPI
};

}  // namespace rivo::ui
