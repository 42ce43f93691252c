// Drawing on a device context with a brush, a pen and the form's font, the way the launcher's
// paint handlers describe it: a clear brush leaves the background alone (and writes text
// transparently), a solid one fills (and writes text on its colour).
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/unique_handle.h"
#include "ui/color.h"

namespace rivo::ui {

enum class BrushStyle { Solid, Clear };

class TCanvas {
public:
    // Borrows `dc` for the canvas's lifetime and restores its state afterwards. The brush starts
    // solid in `brushColor` (the form's colour), the pen black, the text colour `fontColor`.
    TCanvas(HDC dc, HFONT font, Color fontColor, Color brushColor);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const noexcept { return dc_; }

    // Setting a colour makes the brush solid.
    void SetBrushColor(Color color);
    void SetBrushStyle(BrushStyle style);
    BrushStyle GetBrushStyle() const noexcept { return brushStyle_; }
    void SetPenColor(Color color);
    void SetFontColor(Color color);

    // Fills left..right-1 x top..bottom-1 with the brush; nothing with a clear brush.
    void FillRect(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    // Draws from the current point to (x, y), not including (x, y).
    void LineTo(int x, int y);
    void Line(int x1, int y1, int x2, int y2);
    // Text in the canvas font at (x, y), its background transparent with a clear brush and the
    // brush colour with a solid one. `text` is code page 932.
    void TextOut(int x, int y, std::string_view text);

private:
    void UpdateBrush();

    HDC dc_;
    int savedState_;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    Color brushColor_;
    platform::UniqueBrush brush_;
    platform::UniquePen pen_;
};

// A canvas on a window's own DC outside WM_PAINT, for painting on demand.
class TWindowCanvas {
public:
    TWindowCanvas(HWND window, HFONT font, Color fontColor, Color brushColor);
    TWindowCanvas(const TWindowCanvas&) = delete;
    TWindowCanvas& operator=(const TWindowCanvas&) = delete;

    TCanvas& Canvas() noexcept { return canvas_; }

private:
    // Declared before the canvas so the DC is released only after the canvas has restored it.
    platform::WindowDC dc_;
    TCanvas canvas_;
};

}  // namespace rivo::ui
