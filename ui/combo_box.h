// A drop-down list: the user picks one of its rows and cannot type. Rows stay in the order
// they were added.
#pragma once

#include <windows.h>

#include <string>

#include "ui/control.h"

namespace rivo::ui {

class TComboBox : public TControl {
public:
    // `bounds.height` is the height of the closed box, at 96 DPI; the dropped list shows up to
    // `dropDownRows` rows below it.
    TComboBox(TForm& form, HWND parent, Bounds bounds, int dropDownRows = 8);

    // Appends a row; returns its index.
    int Add(const std::string& text);
    int Count() const;
    void Clear();
    std::string Item(int row) const;
    // -1 = no row selected.
    int ItemIndex() const;
    void SetItemIndex(int index);

    void ApplyDpi() override;

private:
    void FitClosedHeight();

    int closedHeight_;  // at 96 DPI
};

}  // namespace rivo::ui
