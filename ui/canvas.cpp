#include "ui/canvas.h"

#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace rivo::ui {

TCanvas::TCanvas(HDC dc, HFONT font, Color fontColor, Color brushColor)
    : dc_(dc), savedState_(::SaveDC(dc)), brushColor_(brushColor) {
    if (font)
        ::SelectObject(dc_, font);
    ::SetTextColor(dc_, fontColor.Resolve());
    SetPenColor(Color::Rgb(0, 0, 0));
    UpdateBrush();
}

TCanvas::~TCanvas() {
    // Deselects our pen and brush before their owners delete them.
    ::RestoreDC(dc_, savedState_);
}

void TCanvas::SetBrushColor(Color color) {
    brushColor_ = color;
    brushStyle_ = BrushStyle::Solid;
    UpdateBrush();
}

void TCanvas::SetBrushStyle(BrushStyle style) {
    brushStyle_ = style;
    UpdateBrush();
}

void TCanvas::UpdateBrush() {
    HBRUSH next = brushStyle_ == BrushStyle::Clear ? static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH))
                                                   : ::CreateSolidBrush(brushColor_.Resolve());
    if (!next)
        throw platform::Win32Error("CreateSolidBrush");
    ::SelectObject(dc_, next);
    brush_.reset(brushStyle_ == BrushStyle::Clear ? nullptr : next);
}

void TCanvas::SetPenColor(Color color) {
    HPEN next = ::CreatePen(PS_SOLID, 1, color.Resolve());
    if (!next)
        throw platform::Win32Error("CreatePen");
    ::SelectObject(dc_, next);
    pen_.reset(next);
}

void TCanvas::SetFontColor(Color color) {
    ::SetTextColor(dc_, color.Resolve());
}

void TCanvas::FillRect(int left, int top, int right, int bottom) {
    if (brushStyle_ == BrushStyle::Clear)
        return;
    const RECT rect{left, top, right, bottom};
    ::FillRect(dc_, &rect, brush_.get());
}

void TCanvas::MoveTo(int x, int y) {
    ::MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    ::LineTo(dc_, x, y);
}

void TCanvas::Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    if (brushStyle_ == BrushStyle::Clear) {
        ::SetBkMode(dc_, TRANSPARENT);
    } else {
        ::SetBkMode(dc_, OPAQUE);
        ::SetBkColor(dc_, brushColor_.Resolve());
    }
    const std::wstring wide = platform::Wide(text);
    ::TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

namespace {

HDC Checked(const platform::WindowDC& dc) {
    if (!dc)
        throw platform::Win32Error("GetDC");
    return dc.get();
}

}  // namespace

TWindowCanvas::TWindowCanvas(HWND window, HFONT font, Color fontColor, Color brushColor)
    : dc_(window), canvas_(Checked(dc_), font, fontColor, brushColor) {}

}  // namespace rivo::ui
