// A colour of a form or a drawing: either a fixed RGB value or a system colour index, resolved
// when it is used so that a theme change is followed.
#pragma once

#include <windows.h>

namespace rivo::ui {

class Color {
public:
    static constexpr Color Rgb(BYTE red, BYTE green, BYTE blue) noexcept {
        return Color(false, static_cast<int>(RGB(red, green, blue)));
    }
    static constexpr Color FromColorRef(COLORREF value) noexcept {
        return Color(false, static_cast<int>(value));
    }
    // `index` is a COLOR_* constant (COLOR_BTNFACE, COLOR_WINDOWTEXT, COLOR_3DLIGHT, ...).
    static constexpr Color System(int index) noexcept { return Color(true, index); }

    constexpr bool IsSystem() const noexcept { return system_; }
    // The COLOR_* index of a system colour.
    constexpr int SystemIndex() const noexcept { return system_ ? value_ : -1; }
    COLORREF Resolve() const noexcept {
        return system_ ? ::GetSysColor(value_) : static_cast<COLORREF>(value_);
    }

    friend constexpr bool operator==(const Color&, const Color&) = default;

private:
    constexpr Color(bool system, int value) noexcept : system_(system), value_(value) {}
    bool system_;
    int value_;
};

}  // namespace rivo::ui
