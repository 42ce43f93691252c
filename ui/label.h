// A static text on a form, drawn in the form's background and font colours. Like a label sized
// to its caption, it never cuts the caption: when the font draws it wider than the layout says
// (another face standing in for the designed one), the label grows to the right, as far as its
// parent's edge.
#pragma once

#include <string>

#include "ui/control.h"

namespace rivo::ui {

class TLabel : public TControl {
public:
    TLabel(TForm& form, HWND parent, const std::string& caption, Bounds bounds);

    HBRUSH HandleColor(HDC dc) override;
    void ApplyDpi() override;

    // Real pixels the caption takes in the form's font (0 when it cannot be measured).
    int CaptionWidth() const;

private:
    void FitCaption();
};

}  // namespace rivo::ui
