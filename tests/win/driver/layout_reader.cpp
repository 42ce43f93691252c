#include "tests/win/driver/layout_reader.h"

#include <iterator>

#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "platform/window_text.h"

namespace rivo::test {

namespace {

SIZE ExtentOf(HFONT font, const std::wstring& text) {
    const platform::WindowDC screen(nullptr);
    const platform::SelectedObject selected(screen.get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace

RECT BoundsInParent(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HFONT FontOf(HWND window) {
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

LONG FontHeight(HFONT font) {
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof logFont, &logFont);
    return logFont.lfHeight;
}

std::string FaceSelected(HFONT font) {
    const platform::WindowDC screen(nullptr);
    const platform::SelectedObject selected(screen.get(), font);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(screen.get(), static_cast<int>(std::size(face)), face);
    return platform::Narrow(face);
}

TEXTMETRICW MetricsOf(HFONT font) {
    const platform::WindowDC screen(nullptr);
    const platform::SelectedObject selected(screen.get(), font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen.get(), &metrics);
    return metrics;
}

SIZE TextExtent(HFONT font, std::string_view text) {
    return ExtentOf(font, platform::Wide(text));
}

SIZE TextExtentOfWindow(HWND window, HFONT font) {
    return ExtentOf(font, platform::WideWindowText(window));
}

}  // namespace rivo::test
