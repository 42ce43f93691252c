// The form framework driven with real windows and real window messages under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/win/driver/layout_reader.h"
#include "tests/win/driver/modal_driver.h"
#include "ui/application.h"
#include "ui/form.h"
#include "ui/popup_menu.h"

namespace rivo::ui {
namespace {

FormLayout Layout(int width, int height, BorderStyle border = BorderStyle::None) {
    FormLayout layout;
    layout.caption = "Rivo";
    layout.clientWidth = width;
    layout.clientHeight = height;
    layout.left = 40;
    layout.top = 30;
    layout.border = border;
    return layout;
}

// A form whose raw-message hook is a function, so each test scripts its own reactions.
class HookForm : public TForm {
public:
    explicit HookForm(const FormLayout& layout) : TForm(layout) {}
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> hook;
    std::vector<UINT> seen;

protected:
    bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        seen.push_back(message);
        return hook && hook(message, wParam, lParam, result);
    }
};

bool Saw(const HookForm& form, UINT message) {
    for (UINT m : form.seen) {
        if (m == message)
            return true;
    }
    return false;
}

using test::MessageBoxAnswerer;
using test::MessageBoxSeen;

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    for (const auto& t : texts) {
        if (t == text)
            return true;
    }
    return false;
}

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { app.emplace(); }
    void TearDown() override { app.reset(); }
    std::optional<TApplication> app;
};

// ---------------------------------------------------------------------------------------------
// Geometry and styles

struct GeometryCase {
    const char* name;
    BorderStyle border;
    int width;
    int height;
    bool topmost;
};

TEST_F(UiTest, ClientSizeAndStylesFollowTheLayout) {
    const GeometryCase cases[] = {
        {"launcher window", BorderStyle::None, 104, 53, true},
        {"registration dialog", BorderStyle::Dialog, 233, 205, false},
        {"options dialog", BorderStyle::Dialog, 346, 309, false},
        {"command list", BorderStyle::SizeableNoSysMenu, 389, 395, true},
    };
    ASSERT_EQ(app->Dpi(), 96) << "these sizes assume Wine's default DPI";
    for (const auto& c : cases) {
        FormLayout layout = Layout(c.width, c.height, c.border);
        layout.topmost = c.topmost;
        HookForm form(layout);
        RECT client;
        ASSERT_TRUE(::GetClientRect(form.Handle(), &client)) << c.name;
        EXPECT_EQ(client.right, c.width) << c.name;
        EXPECT_EQ(client.bottom, c.height) << c.name;
        EXPECT_EQ(form.ClientWidth(), c.width) << c.name;
        EXPECT_EQ(form.ClientHeight(), c.height) << c.name;

        const LONG style = ::GetWindowLongA(form.Handle(), GWL_STYLE);
        const LONG exStyle = ::GetWindowLongA(form.Handle(), GWL_EXSTYLE);
        EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, c.topmost) << c.name;
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << c.name;
        EXPECT_FALSE(style & WS_VISIBLE) << c.name << ": forms start hidden";
        switch (c.border) {
            case BorderStyle::None:
                EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) << c.name;
                EXPECT_EQ(form.Width(), c.width) << c.name;
                break;
            case BorderStyle::Dialog:
                EXPECT_EQ(style & WS_CAPTION, WS_CAPTION) << c.name;
                EXPECT_TRUE(style & WS_SYSMENU) << c.name;
                EXPECT_FALSE(style & WS_THICKFRAME) << c.name;
                EXPECT_GT(form.Width(), c.width) << c.name;
                break;
            case BorderStyle::SizeableNoSysMenu:
                EXPECT_EQ(style & WS_CAPTION, WS_CAPTION) << c.name;
                EXPECT_TRUE(style & WS_THICKFRAME) << c.name;
                EXPECT_FALSE(style & WS_SYSMENU) << c.name;
                break;
        }
        // Owned by the hidden application window, hence no taskbar button of its own.
        EXPECT_EQ(::GetWindow(form.Handle(), GW_OWNER), app->Handle()) << c.name;
    }
}

// On a monitor of another DPI (WM_DPICHANGED) a form lays itself out again: client size, font and
// Scale follow the new DPI. A dialog takes the suggested rectangle; a form that places itself
// (the launcher window) keeps its top-left and takes only the size.
TEST_F(UiTest, SizesAndFontAreScaledToTheDpiOfTheMonitor) {
    const int systemDpi = test::TestDpi();
    const int otherDpi = systemDpi == 96 ? 144 : 96;
    for (const bool placesItself : {true, false}) {
        SCOPED_TRACE(placesItself ? "places itself" : "dialog");
        FormLayout layout = Layout(104, 53, placesItself ? BorderStyle::None : BorderStyle::Dialog);
        layout.placesItself = placesItself;
        HookForm form(layout);
        for (const int dpi : {systemDpi, otherDpi, systemDpi}) {
            SCOPED_TRACE(dpi);
            const RECT before = form.BoundsRect();
            RECT suggested = before;
            if (dpi != form.Dpi())
                suggested = test::SendDpiChanged(form.Handle(), dpi, form.Dpi());
            EXPECT_EQ(form.Dpi(), dpi);
            EXPECT_EQ(form.ClientWidth(), test::AtDpi(104, dpi));
            EXPECT_EQ(form.ClientHeight(), test::AtDpi(53, dpi));  // 79.5 rounds up at 144
            EXPECT_EQ(form.Scale(15), test::AtDpi(15, dpi));
            LOGFONTA font{};
            ::GetObjectA(form.Font(), sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -test::AtDpi(12, dpi)) << "a character height, not a cell height";
            const RECT after = form.BoundsRect();
            EXPECT_EQ(after.left, placesItself ? before.left : suggested.left);
            EXPECT_EQ(after.top, placesItself ? before.top : suggested.top);
        }
        // Laid out for another monitor while hidden, then shown where it is: shown at the DPI of
        // the monitor it is on, whether or not WM_DPICHANGED came.
        test::SendDpiChanged(form.Handle(), otherDpi, form.Dpi());
        ASSERT_EQ(form.Dpi(), otherDpi);
        form.Show(SW_SHOWNA);
        EXPECT_EQ(form.Dpi(), systemDpi);
        EXPECT_EQ(form.ClientWidth(), test::AtDpi(104, systemDpi));
        EXPECT_EQ(form.ClientHeight(), test::AtDpi(53, systemDpi));
        form.Hide();
    }
}

TEST_F(UiTest, PositionIsTheNormalPositionWhileMinimised) {
    FormLayout layout = Layout(104, 53, BorderStyle::Dialog);
    layout.left = 100;
    layout.top = 120;
    HookForm form(layout);
    EXPECT_EQ(form.Left(), 100);
    EXPECT_EQ(form.Top(), 120);

    form.SetTop(40);
    form.SetLeft(300);
    RECT bounds;
    ::GetWindowRect(form.Handle(), &bounds);
    EXPECT_EQ(bounds.left, 300);
    EXPECT_EQ(bounds.top, 40);
    const int width = form.Width();

    form.Show(SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(::IsIconic(form.Handle()));
    EXPECT_EQ(form.Left(), 300);
    EXPECT_EQ(form.Top(), 40);
    EXPECT_EQ(form.Width(), width);

    form.SetLeft(500);
    EXPECT_TRUE(::IsIconic(form.Handle())) << "moving does not restore the window";
    EXPECT_EQ(form.Left(), 500);
    form.Show(SW_RESTORE);
    ::GetWindowRect(form.Handle(), &bounds);
    EXPECT_EQ(bounds.left, 500);
    EXPECT_EQ(bounds.top, 40);
}

TEST_F(UiTest, CaptionRoundTripsAsCodePage932) {
    struct CaptionCase {
        std::string cp932;
        std::wstring utf16;
    };
    const CaptionCase cases[] = {
        {"登録ダイアログ", L"登録ダイアログ"},
        {"コマンド一覧", L"コマンド一覧"},
        {"ソ表", L"ソ表"},  // trail bytes 0x5C
        {"Rivo", L"Rivo"},
    };
    for (const auto& c : cases) {
        FormLayout layout = Layout(233, 205, BorderStyle::Dialog);
        layout.caption = c.cp932;
        HookForm form(layout);
        char bytes[256] = {};
        ::GetWindowTextA(form.Handle(), bytes, sizeof bytes);
        EXPECT_EQ(std::string(bytes), c.cp932);
        wchar_t wide[256] = {};
        ::GetWindowTextW(form.Handle(), wide, 256);
        EXPECT_EQ(std::wstring(wide), c.utf16) << c.cp932;
        EXPECT_EQ(form.Caption(), c.cp932);

        form.SetCaption("設定" + c.cp932);
        EXPECT_EQ(form.Caption(), "設定" + c.cp932);
    }
}

// ---------------------------------------------------------------------------------------------
// Raw messages, keys and the mouse

TEST_F(UiTest, HookSeesMessagesBeforeTheDefaultHandlingAndMayConsumeThem) {
    for (bool consume : {true, false}) {
        TApplication& a = *app;
        HookForm& main = a.CreateForm<HookForm>(Layout(104, 53));
        bool sawPosted = false;
        main.hook = [&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
            if (message == WM_APP + 1) {
                sawPosted = wParam == 77;
                return true;
            }
            if (message == WM_APP + 2) {
                result = 42;
                return true;
            }
            return message == WM_CLOSE && consume;
        };
        ::PostMessageA(main.Handle(), WM_APP + 1, 77, 0);
        a.ProcessMessages();
        EXPECT_TRUE(sawPosted);
        EXPECT_EQ(::SendMessageA(main.Handle(), WM_APP + 2, 0, 0), 42) << "the hook's result is the answer";

        // Closing the main form ends the application unless the hook keeps WM_CLOSE to itself.
        ::SendMessageA(main.Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(a.Terminated(), !consume) << "consume=" << consume;
        app.reset();
        app.emplace();
    }
}

struct KeyCase {
    UINT message;
    WORD key;
    LPARAM keyData;
    bool down;
    bool alt;
};

TEST_F(UiTest, KeyEventsGetPlainAndSystemKeys) {
    const KeyCase cases[] = {
        {WM_KEYDOWN, 'E', 0x00120001, true, false},
        {WM_KEYUP, 'E', static_cast<LPARAM>(0xC0120001), false, false},
        // A window that is active without having the focus receives every key as a system key.
        {WM_SYSKEYDOWN, VK_INSERT, 0x01520001, true, false},
        {WM_SYSKEYUP, VK_INSERT, static_cast<LPARAM>(0xC1520001), false, false},
        {WM_SYSKEYDOWN, 'Q', 0x20100001, true, true},
        {WM_KEYDOWN, VK_F12, 0x00580001, true, false},
    };
    HookForm form(Layout(104, 53));
    struct Event {
        WORD key;
        bool down;
        bool alt;
    };
    std::vector<Event> events;
    form.OnKeyDown = [&](WORD& key, ShiftState shift) { events.push_back({key, true, shift.alt}); };
    form.OnKeyUp = [&](WORD& key, ShiftState shift) { events.push_back({key, false, shift.alt}); };
    for (const auto& c : cases) {
        events.clear();
        ::PostMessageA(form.Handle(), c.message, c.key, c.keyData);
        app->ProcessMessages();
        ASSERT_EQ(events.size(), 1u) << "message " << c.message << " key " << c.key;
        EXPECT_EQ(events[0].key, c.key);
        EXPECT_EQ(events[0].down, c.down);
        EXPECT_EQ(events[0].alt, c.alt);
    }
}

TEST_F(UiTest, AKeyLeftUnconsumedGoesOnToTheDefaultHandling) {
    // Alt+F4 reaches DefWindowProc, which closes the window, only when the handler leaves it.
    for (bool consume : {false, true}) {
        HookForm& main = app->CreateForm<HookForm>(Layout(233, 205, BorderStyle::Dialog));
        main.OnKeyDown = [consume](WORD& key, ShiftState) {
            if (consume)
                key = 0;
        };
        ::SendMessageA(main.Handle(), WM_SYSKEYDOWN, VK_F4, 0x203E0001);
        app->ProcessMessages();
        EXPECT_EQ(app->Terminated(), !consume) << "consume=" << consume;
        app.reset();
        app.emplace();
    }
}

TEST_F(UiTest, KeyMenuCommandOpensNoWindowMenuOnAFormThatTakesKeys) {
    // F10 or Alt left to DefWindowProc come back as SC_KEYMENU, which would enter the window
    // menu's loop and eat the next keys. The control case (no key handlers) shows the menu opens.
    for (bool takesKeys : {false, true}) {
        HookForm form(Layout(233, 205, BorderStyle::Dialog));
        form.Show(SW_SHOW);
        ::SetForegroundWindow(form.Handle());
        if (takesKeys) {
            form.OnKeyDown = [](WORD&, ShiftState) {};
            form.OnKeyUp = [](WORD&, ShiftState) {};
        }
        bool sawKeyMenu = false;
        constexpr UINT_PTR kLeaveMenu = 7;
        form.hook = [&form, &sawKeyMenu](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
            if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU)
                sawKeyMenu = true;
            if (message == WM_ENTERMENULOOP)
                ::SetTimer(form.Handle(), kLeaveMenu, 50, nullptr);
            if (message == WM_TIMER && wParam == kLeaveMenu) {
                ::KillTimer(form.Handle(), kLeaveMenu);
                ::EndMenu();
                return true;
            }
            return false;
        };
        ::PostMessageA(form.Handle(), WM_SYSKEYDOWN, VK_F10, 0x00440001);
        ::PostMessageA(form.Handle(), WM_SYSKEYUP, VK_F10, static_cast<LPARAM>(0xC0440001));
        app->ProcessMessages();
        EXPECT_TRUE(sawKeyMenu) << "takesKeys=" << takesKeys;

        form.seen.clear();
        ::SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
        app->ProcessMessages();
        EXPECT_EQ(Saw(form, WM_ENTERMENULOOP), !takesKeys) << "takesKeys=" << takesKeys;
    }
}

struct MouseEvent {
    char kind;  // 'd'own, 'm'ove, 'u'p
    MouseButton button;
    int x;
    int y;
    bool captured;
    friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

std::ostream& operator<<(std::ostream& out, const MouseEvent& e) {
    return out << e.kind << static_cast<int>(e.button) << "(" << e.x << "," << e.y << ")" << e.captured;
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

TEST_F(UiTest, MouseEventsGetClientCoordinatesAndCaptureTheMouseWhilePressed) {
    struct ButtonCase {
        MouseButton button;
        UINT down, up;
        WPARAM held;
    };
    const ButtonCase cases[] = {
        {MouseButton::Left, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
        {MouseButton::Right, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON},
        {MouseButton::Middle, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
    };
    HookForm form(Layout(104, 53));
    form.Show(SW_SHOWNOACTIVATE);
    std::vector<MouseEvent> events;
    const HWND handle = form.Handle();
    form.OnMouseDown = [&](MouseButton b, ShiftState, int x, int y) {
        events.push_back({'d', b, x, y, ::GetCapture() == handle});
    };
    form.OnMouseMove = [&](ShiftState, int x, int y) {
        events.push_back({'m', MouseButton::Left, x, y, ::GetCapture() == handle});
    };
    form.OnMouseUp = [&](MouseButton b, ShiftState, int x, int y) {
        events.push_back({'u', b, x, y, ::GetCapture() == handle});
    };
    for (const auto& c : cases) {
        events.clear();
        ::PostMessageA(handle, c.down, c.held, Point(7, 9));
        // Outside the window, left of and above it, while the button is held.
        ::PostMessageA(handle, WM_MOUSEMOVE, c.held, Point(-5, -300));
        ::PostMessageA(handle, c.up, 0, Point(200, 2));
        app->ProcessMessages();
        const std::vector<MouseEvent> expected = {
            {'d', c.button, 7, 9, true},
            {'m', MouseButton::Left, -5, -300, true},
            {'u', c.button, 200, 2, false},
        };
        EXPECT_EQ(events, expected) << "button " << static_cast<int>(c.button);
    }
}

// ---------------------------------------------------------------------------------------------
// Painting

constexpr COLORREF kBack = RGB(10, 20, 30);
constexpr COLORREF kInk = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

FormLayout PaintLayout() {
    FormLayout layout = Layout(104, 53);
    layout.color = Color::FromColorRef(kBack);
    layout.font.color = Color::FromColorRef(kInk);
    return layout;
}

// The form painted through WM_PRINTCLIENT into a 32-bit memory bitmap.
class Snapshot {
public:
    explicit Snapshot(TForm& form) : width_(form.ClientWidth()), height_(form.ClientHeight()) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dc_.reset(::CreateCompatibleDC(nullptr));
        bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = ::SelectObject(dc_.get(), bitmap_.get());
        ::SendMessageA(form.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()),
                       PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Snapshot() { ::SelectObject(dc_.get(), old_); }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }
    // How many pixels of `colour` lie in the rectangle.
    int Count(COLORREF colour, RECT area) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                count += At(x, y) == colour;
        }
        return count;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    platform::UniqueMemoryDC dc_;
    platform::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

SIZE TextSize(TForm& form, const char* text) {
    return test::TextExtent(form.Font(), text);
}

struct PaintCase {
    const char* name;
    std::function<void(TCanvas&)> paint;
    std::function<void(const Snapshot&, TForm&)> check;
};

TEST_F(UiTest, CanvasDrawsWhatThePaintHandlerAsks) {
    const PaintCase cases[] = {
        {"background in the form colour, untouched by a clear fill",
         [](TCanvas& c) {
             c.SetBrushStyle(BrushStyle::Clear);
             c.FillRect(0, 0, 104, 53);
         },
         [](const Snapshot& s, TForm&) {
             EXPECT_EQ(s.Count(kBack, {0, 0, s.Width(), s.Height()}), 104 * 53);
         }},
        {"solid fill excludes the right and bottom edges",
         [](TCanvas& c) {
             c.SetBrushColor(Color::FromColorRef(kRed));
             c.FillRect(10, 10, 20, 15);
         },
         [](const Snapshot& s, TForm&) {
             EXPECT_EQ(s.Count(kRed, {0, 0, s.Width(), s.Height()}), 10 * 5);
             EXPECT_EQ(s.At(10, 10), kRed);
             EXPECT_EQ(s.At(19, 14), kRed);
             EXPECT_EQ(s.At(20, 14), kBack);
             EXPECT_EQ(s.At(19, 15), kBack);
         }},
        {"setting a colour makes a clear brush solid",
         [](TCanvas& c) {
             c.SetBrushStyle(BrushStyle::Clear);
             c.SetBrushColor(Color::FromColorRef(kRed));
             EXPECT_EQ(c.GetBrushStyle(), BrushStyle::Solid);
             c.FillRect(0, 0, 2, 2);
         },
         [](const Snapshot& s, TForm&) { EXPECT_EQ(s.At(1, 1), kRed); }},
        {"lines stop before their end point",
         [](TCanvas& c) {
             c.SetPenColor(Color::FromColorRef(kGreen));
             c.Line(0, 0, 104, 0);
             c.Line(0, 0, 0, 53);
             c.Line(0, 52, 103, 52);
             c.Line(103, 0, 103, 52);
         },
         [](const Snapshot& s, TForm&) {
             EXPECT_EQ(s.Count(kGreen, {0, 0, 104, 1}), 104);
             EXPECT_EQ(s.Count(kGreen, {0, 0, 1, 53}), 53);
             EXPECT_EQ(s.Count(kGreen, {0, 52, 104, 53}), 103) << "(103,52) is an end point";
             EXPECT_EQ(s.Count(kGreen, {103, 0, 104, 53}), 52) << "(103,52) is an end point";
             EXPECT_EQ(s.At(103, 52), kBack);
             EXPECT_EQ(s.Count(kGreen, {1, 1, 103, 52}), 0);
         }},
        {"text with a clear brush leaves the background between the strokes",
         [](TCanvas& c) {
             c.SetBrushStyle(BrushStyle::Clear);
             c.TextOut(15, 20, "Push any key");
         },
         [](const Snapshot& s, TForm& form) {
             const SIZE size = TextSize(form, "Push any key");
             const RECT box{15, 20, std::min<LONG>(15 + size.cx, s.Width()), 20 + size.cy};
             const int area = (box.right - box.left) * (box.bottom - box.top);
             const int ink = s.Count(kInk, box);
             EXPECT_GT(ink, 20);
             EXPECT_EQ(ink + s.Count(kBack, box), area) << "only ink and background";
             EXPECT_EQ(s.Count(kInk, {0, 0, 15, s.Height()}), 0);
         }},
        {"text with a solid brush sits on the brush colour",
         [](TCanvas& c) {
             c.SetBrushColor(Color::FromColorRef(kYellow));
             c.TextOut(25, 30, "Rivo Ver 1.18");
         },
         [](const Snapshot& s, TForm& form) {
             const SIZE size = TextSize(form, "Rivo Ver 1.18");
             const RECT box{25, 30, std::min<LONG>(25 + size.cx, s.Width()),
                            std::min<LONG>(30 + size.cy, s.Height())};
             const int area = (box.right - box.left) * (box.bottom - box.top);
             EXPECT_GT(s.Count(kInk, box), 20);
             EXPECT_EQ(s.Count(kBack, box), 0);
             EXPECT_GT(s.Count(kYellow, box), area / 3);
         }},
        {"system colours resolve",
         [](TCanvas& c) {
             c.SetPenColor(Color::System(COLOR_3DDKSHADOW));
             c.Line(0, 5, 50, 5);
         },
         [](const Snapshot& s, TForm&) { EXPECT_EQ(s.At(10, 5), ::GetSysColor(COLOR_3DDKSHADOW)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HookForm form(PaintLayout());
        form.OnPaint = c.paint;
        Snapshot snapshot(form);
        c.check(snapshot, form);
    }
}

TEST_F(UiTest, WindowIsPaintedOnWmPaintAndOnDemand) {
    HookForm form(PaintLayout());
    int paints = 0;
    form.OnPaint = [&paints](TCanvas& c) {
        ++paints;
        c.SetBrushColor(Color::FromColorRef(kRed));
        c.FillRect(0, 0, 50, 53);
    };
    form.Show(SW_SHOWNOACTIVATE);
    ::InvalidateRect(form.Handle(), nullptr, TRUE);
    ::UpdateWindow(form.Handle());
    EXPECT_GE(paints, 1);
    HDC dc = ::GetDC(form.Handle());
    EXPECT_EQ(::GetPixel(dc, 10, 10), kRed);
    EXPECT_EQ(::GetPixel(dc, 80, 10), kBack) << "erased in the form colour";

    // Painting outside WM_PAINT, as the launcher does when it is activated.
    {
        TWindowCanvas onDemand = form.Canvas();
        onDemand.Canvas().SetBrushColor(Color::FromColorRef(kGreen));
        onDemand.Canvas().FillRect(60, 0, 104, 53);
    }
    EXPECT_EQ(::GetPixel(dc, 80, 10), kGreen);
    ::ReleaseDC(form.Handle(), dc);
}

// ---------------------------------------------------------------------------------------------
// Fonts

int CALLBACK TakeHorizontalFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM out) {
    if (font->lfFaceName[0] == '@')
        return 1;  // vertical variants
    *reinterpret_cast<std::string*>(out) = font->lfFaceName;
    return 0;
}

std::string InstalledFace(BYTE charset) {
    std::string found;
    LOGFONTA query{};
    query.lfCharSet = charset;
    HDC screen = ::GetDC(nullptr);
    ::EnumFontFamiliesExA(screen, &query, TakeHorizontalFace, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, screen);
    return found;
}

std::string FaceOfDefaultGuiFont() {
    LOGFONTA gui{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    return gui.lfFaceName;
}

TEST_F(UiTest, MissingFontFallsBackInOrder) {
    const std::string japanese = InstalledFace(SHIFTJIS_CHARSET);
    ASSERT_FALSE(japanese.empty()) << "no Japanese font installed";
    ASSERT_FALSE(FontFamilyExists("RivoNoSuchFont", SHIFTJIS_CHARSET));

    struct FontCase {
        const char* name;
        std::string face;
        std::vector<std::string> fallbacks;
        std::string expected;
        bool selectable;  // GetTextFace names the same face (not true of substitutes)
    };
    const FontCase cases[] = {
        {"installed face is kept", japanese, {"RivoNoSuchFont"}, japanese, true},
        {"first installed fallback", "RivoNoSuchFont", {"RivoAlsoMissing", japanese}, japanese, true},
        {"nothing installed: the GUI font's face",
         "RivoNoSuchFont",
         {"RivoAlsoMissing"},
         FaceOfDefaultGuiFont(),
         false},
    };
    for (const auto& c : cases) {
        FormLayout layout = Layout(104, 53);
        layout.font.face = c.face;
        layout.font.fallbacks = c.fallbacks;
        HookForm form(layout);
        EXPECT_EQ(form.FontFace(), c.expected) << c.name;
        if (c.selectable) {
            EXPECT_EQ(test::FaceSelected(form.Font()), c.expected) << c.name;
        }
    }

    // A face installed only without Japanese glyphs does not count.
    const std::string western = InstalledFace(ANSI_CHARSET);
    if (!western.empty() && !FontFamilyExists(western, SHIFTJIS_CHARSET)) {
        FormLayout layout = Layout(104, 53);
        layout.font.face = western;
        layout.font.fallbacks = {japanese};
        HookForm form(layout);
        EXPECT_EQ(form.FontFace(), japanese) << western;
    }
}

TEST_F(UiTest, StandardFontIsTwelvePixelJapanese) {
    HookForm form(Layout(104, 53));
    EXPECT_TRUE(FontFamilyExists(form.FontFace(), SHIFTJIS_CHARSET) ||
                form.FontFace() == FaceOfDefaultGuiFont())
        << form.FontFace();
    const TEXTMETRICW metrics = test::MetricsOf(form.Font());
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 12);
    EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET);
}

// ---------------------------------------------------------------------------------------------
// Creation, destruction and the message loop

class LoggingForm : public TForm {
public:
    LoggingForm(const FormLayout& layout, std::vector<std::string>& log, std::string name)
        : TForm(layout), log_(log), name_(std::move(name)), whole_(true) {
        OnCreate = [this] {
            log_.push_back(name_ + (whole_ ? " create" : " create-early"));
            if (Application().MainForm() == this)
                log_.push_back(name_ + " is main");
        };
        OnDestroy = [this] {
            log_.push_back(name_ + (whole_ && ::IsWindow(Handle()) ? " destroy" : " destroy-broken"));
        };
    }
    ~LoggingForm() override { whole_ = false; }

private:
    std::vector<std::string>& log_;
    std::string name_;
    bool whole_;
};

TEST_F(UiTest, CreateAndDestroyEventsRunOnceOnTheWholeObject) {
    std::vector<std::string> log;
    app->CreateForm<LoggingForm>(Layout(104, 53), log, "main");
    app->CreateForm<LoggingForm>(Layout(104, 53), log, "second");
    {
        FormPtr<LoggingForm> dialog = MakeForm<LoggingForm>(Layout(104, 53), log, "dialog");
        EXPECT_NE(app->MainForm(), dialog.get());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"main create", "main is main", "second create", "dialog create",
                                             "dialog destroy"}));
    log.clear();
    app->DestroyForms();
    EXPECT_EQ(log, (std::vector<std::string>{"second destroy", "main destroy"})) << "newest first";
    EXPECT_EQ(app->MainForm(), nullptr);
}

TEST_F(UiTest, ClosingTheMainFormEndsRun) {
    for (bool showMainForm : {true, false}) {
        HookForm& main = app->CreateForm<HookForm>(Layout(104, 53));
        HookForm& other = app->CreateForm<HookForm>(Layout(104, 53));
        int destroyed = 0;
        main.OnDestroy = [&destroyed] { ++destroyed; };
        std::vector<std::string> steps;
        other.Show(SW_SHOWNOACTIVATE);
        other.hook = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message != WM_APP)
                return false;
            steps.push_back(main.Visible() ? "main shown" : "main hidden");
            other.Close();  // not the main form: only hidden
            ::PostMessageA(main.Handle(), WM_APP, 0, 0);
            return true;
        };
        main.hook = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message != WM_APP)
                return false;
            steps.push_back(other.Visible() ? "other shown" : "other hidden");
            main.Close();
            return true;
        };
        ::PostMessageA(other.Handle(), WM_APP, 0, 0);
        app->SetShowMainForm(showMainForm);
        app->Run();
        EXPECT_EQ(steps,
                  (std::vector<std::string>{showMainForm ? "main shown" : "main hidden", "other hidden"}));
        EXPECT_TRUE(app->Terminated());
        EXPECT_EQ(destroyed, 0) << "the loop ends, the form lives on until the application goes";
        app->DestroyForms();
        EXPECT_EQ(destroyed, 1);
        app.reset();
        app.emplace();
    }
}

TEST_F(UiTest, RunEndsWhenTheMainWindowIsDestroyedOrWasTerminatedBefore) {
    {
        HookForm& main = app->CreateForm<HookForm>(Layout(104, 53));
        main.hook = [&main](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message == WM_APP)
                ::DestroyWindow(main.Handle());
            return false;
        };
        ::PostMessageA(main.Handle(), WM_APP, 0, 0);
        app->Run();
        EXPECT_EQ(main.Handle(), nullptr);
    }
    app.reset();
    app.emplace();
    {
        HookForm& main = app->CreateForm<HookForm>(Layout(104, 53));
        app->Terminate();
        app->Run();
        EXPECT_FALSE(main.Visible()) << "a terminated application does not show its main form";
    }
    app.reset();
    app.emplace();
    {
        // An OnDestroy that throws is reported, and the main window's end still ends the run.
        app->SetTitle("RivoTest");
        HookForm& main = app->CreateForm<HookForm>(Layout(104, 53));
        main.OnDestroy = [] { throw std::runtime_error("boom in OnDestroy"); };
        bool endedByTheDestroy = false;
        main.hook = [&](UINT message, WPARAM, LPARAM, LRESULT&) {
            if (message != WM_APP)
                return false;
            ::DestroyWindow(main.Handle());
            endedByTheDestroy = app->Terminated();
            app->Terminate();  // the loop ends however the destroy went
            return true;
        };
        MessageBoxAnswerer answerer("RivoTest", IDOK);
        ::PostMessageW(main.Handle(), WM_APP, 0, 0);
        app->Run();
        EXPECT_TRUE(Contains(answerer.Seen().texts, "boom in OnDestroy"));
        EXPECT_TRUE(endedByTheDestroy);
    }
}

// ---------------------------------------------------------------------------------------------
// Message boxes and the error box

TEST_F(UiTest, MessageBoxReturnsTheButtonPressed) {
    struct BoxCase {
        UINT flags;
        int press;
    };
    const BoxCase cases[] = {{MB_OK, IDOK},     {MB_OKCANCEL, IDCANCEL}, {MB_OKCANCEL, IDOK},
                             {MB_YESNO, IDYES}, {MB_YESNO, IDNO},        {MB_YESNO | MB_ICONQUESTION, IDNO}};
    for (const auto& c : cases) {
        MessageBoxAnswerer answerer("確認", c.press);
        const int result = app->MessageBox("コマンドを削除しますか？", "確認", c.flags);
        const MessageBoxSeen& seen = answerer.Seen();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(result, c.press) << "flags " << c.flags;
        EXPECT_TRUE(Contains(seen.texts, "コマンドを削除しますか？"));
    }
}

TEST_F(UiTest, MessageBoxesStillWorkAfterTheLoopHasEnded) {
    // The main form's destroy handler reports failures in boxes after Run() has returned, and
    // asks the application to end on its way out; no stale WM_QUIT may close those boxes.
    HookForm& main = app->CreateForm<HookForm>(Layout(104, 53));
    std::vector<int> answers;
    bool quitQueued = false;
    main.OnDestroy = [&answers, &quitQueued] {
        MessageBoxAnswerer first("Message", IDNO);
        answers.push_back(Application().MessageBox("rivo.dllの解放に失敗！", "Message", MB_YESNO));
        Application().Terminate();
        MSG quit;
        quitQueued = ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
        MessageBoxAnswerer second("確認", IDNO);
        answers.push_back(Application().MessageBox("もう一度", "確認", MB_YESNO));
    };
    main.hook = [&main](UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_APP)
            main.Close();
        return message == WM_APP;
    };
    ::PostMessageA(main.Handle(), WM_APP, 0, 0);
    app->SetShowMainForm(false);
    app->Run();
    app->DestroyForms();
    EXPECT_EQ(answers, (std::vector<int>{IDNO, IDNO}));
    // A message box ends at once, as if answered, when a WM_QUIT is in the queue.
    EXPECT_FALSE(quitQueued) << "Terminate() outside the loop left a WM_QUIT behind";
}

// Not owned by the active window, which may be the launcher window that minimises or hides as the
// box takes the activation (Windows hides what a minimised window owns); the forms are disabled
// meanwhile, as under a modal form, hidden ones too, and enabled again afterwards.
TEST_F(UiTest, MessageBoxIsOwnedByTheApplicationWindowAndDisablesTheForms) {
    std::vector<WPARAM> formEnabling;
    std::vector<WPARAM> hiddenEnabling;
    HookForm form(Layout(233, 205, BorderStyle::Dialog));
    HookForm hidden(Layout(100, 50, BorderStyle::None));
    form.Show(SW_SHOW);
    ::SetActiveWindow(form.Handle());
    ASSERT_EQ(::GetActiveWindow(), form.Handle());
    form.hook = [&formEnabling](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_ENABLE)
            formEnabling.push_back(wParam);
        return false;
    };
    hidden.hook = [&hiddenEnabling](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_ENABLE)
            hiddenEnabling.push_back(wParam);
        return false;
    };
    MessageBoxAnswerer answerer("Message", IDOK);
    app->MessageBox("rivo.dllが見つかりません。", "Message", MB_OK);
    EXPECT_EQ(answerer.Seen().owner, app->Handle());
    EXPECT_EQ(formEnabling, (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_EQ(hiddenEnabling, (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_TRUE(::IsWindowEnabled(form.Handle()));
    EXPECT_TRUE(::IsWindowEnabled(hidden.Handle()));
}

TEST_F(UiTest, ShowExceptionIsAStopBoxCaptionedWithTheTitle) {
    app->SetTitle("Rivo");
    MessageBoxAnswerer answerer("Rivo", IDOK);
    app->ShowException("何かが壊れました");
    const MessageBoxSeen& seen = answerer.Seen();
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(Contains(seen.texts, "何かが壊れました"));
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(seen.icon, ::LoadIconW(nullptr, IDI_HAND));
}

TEST_F(UiTest, ExceptionsInEventsEndInTheErrorBoxNotInTheCaller) {
    app->SetTitle("RivoTest");
    struct Throwing {
        const char* what;
        std::function<void(HookForm&)> provoke;
    };
    const Throwing cases[] = {
        {"boom in a key handler",
         [](HookForm& form) {
             form.OnKeyDown = [](WORD&, ShiftState) { throw std::runtime_error("boom in a key handler"); };
             ::SendMessageA(form.Handle(), WM_KEYDOWN, 'A', 0);
         }},
        {"boom in a paint handler",
         [](HookForm& form) {
             form.OnPaint = [](TCanvas&) { throw std::runtime_error("boom in a paint handler"); };
             form.Show(SW_SHOWNOACTIVATE);
             ::InvalidateRect(form.Handle(), nullptr, TRUE);
             ::UpdateWindow(form.Handle());
         }},
        {"boom in a mouse handler",
         [](HookForm& form) {
             form.OnMouseDown = [](MouseButton, ShiftState, int, int) {
                 throw std::logic_error("boom in a mouse handler");
             };
             ::SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
         }},
    };
    for (const auto& c : cases) {
        HookForm form(Layout(104, 53));
        MessageBoxAnswerer answerer("RivoTest", IDOK);
        c.provoke(form);
        const MessageBoxSeen& seen = answerer.Seen();
        ASSERT_TRUE(seen.found) << c.what;
        EXPECT_TRUE(Contains(seen.texts, c.what)) << c.what;
    }

    // An OnCreate that throws is reported too, and the form is created all the same.
    class FailingCreate : public TForm {
    public:
        FailingCreate() : TForm(Layout(104, 53)) {
            OnCreate = [] { throw std::runtime_error("boom in OnCreate"); };
        }
    };
    MessageBoxAnswerer answerer("RivoTest", IDOK);
    FailingCreate& created = app->CreateForm<FailingCreate>();
    ASSERT_TRUE(answerer.Seen().found);
    EXPECT_TRUE(Contains(answerer.Seen().texts, "boom in OnCreate"));
    EXPECT_NE(created.Handle(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Popup menu

TEST_F(UiTest, MenuItemsClickFromCode) {
    HookForm form(Layout(104, 53));
    TPopupMenu menu(form);
    std::vector<std::string> clicked;
    const char* captions[] = {"設定(&S)", "ヘルプ(&H)", "-", "終了(&X)"};
    for (const char* caption : captions) {
        menu.Add(caption, [&clicked, caption] { clicked.push_back(caption); });
    }
    ASSERT_EQ(menu.Count(), 4u);
    ASSERT_EQ(::GetMenuItemCount(menu.Handle()), 4);
    for (size_t i = 0; i < menu.Count(); ++i) {
        clicked.clear();
        menu.Item(i).Click();
        const bool separator = i == 2;
        EXPECT_EQ(menu.Item(i).IsSeparator(), separator);
        EXPECT_EQ(clicked, separator ? std::vector<std::string>{} : std::vector<std::string>{captions[i]});
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoA(menu.Handle(), static_cast<UINT>(i), TRUE, &info);
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, separator) << i;
        if (!separator) {
            char text[64] = {};
            ::GetMenuStringA(menu.Handle(), static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            EXPECT_EQ(std::string(text), captions[i]);
        }
    }
}

// True while a menu window of this process is on the screen.
bool MenuOpen() {
    return test::VisibleWindowOf(::GetCurrentProcessId(), "#32768") != nullptr;
}

// Drives the popup menu of `form`, once it is open, with keys posted from a timer (the menu's
// own loop dispatches timers), so the test needs no real pointer.
void ChooseFromMenuLater(HookForm& form, std::vector<WPARAM> keys, bool& menuWasOpen) {
    constexpr UINT_PTR kDrive = 11;
    auto attempts = std::make_shared<int>(0);
    form.hook = [&form, keys = std::move(keys), &menuWasOpen, attempts](UINT message, WPARAM wParam, LPARAM,
                                                                        LRESULT&) {
        if (message != WM_TIMER || wParam != kDrive)
            return false;
        if (MenuOpen()) {
            ::KillTimer(form.Handle(), kDrive);
            menuWasOpen = true;
            for (WPARAM key : keys)
                ::PostMessageA(form.Handle(), WM_KEYDOWN, key, 0);
        } else if (++*attempts > 200) {
            ::KillTimer(form.Handle(), kDrive);
        }
        return true;
    };
    ::SetTimer(form.Handle(), kDrive, 20, nullptr);
}

TEST_F(UiTest, PopupRunsTheChosenItemAfterTheMenuHasClosed) {
    struct ChoiceCase {
        std::vector<WPARAM> keys;
        std::vector<std::string> expected;
    };
    const ChoiceCase cases[] = {
        {{VK_DOWN, VK_DOWN, VK_RETURN}, {"ヘルプ(&H) after close"}},
        {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, {"終了(&X) after close"}},  // the separator is skipped
        {{VK_ESCAPE}, {}},
    };
    for (const auto& c : cases) {
        HookForm form(Layout(104, 53));
        form.Show(SW_SHOW);
        TPopupMenu menu(form);
        std::vector<std::string> clicked;
        for (const char* caption : {"設定(&S)", "ヘルプ(&H)", "-", "終了(&X)"}) {
            menu.Add(caption, [&clicked, caption] {
                clicked.push_back(std::string(caption) + (MenuOpen() ? " while open" : " after close"));
            });
        }
        bool menuWasOpen = false;
        ChooseFromMenuLater(form, c.keys, menuWasOpen);
        menu.Popup(form.Left() + 10, form.Top() + 10);
        EXPECT_TRUE(menuWasOpen);
        EXPECT_EQ(clicked, c.expected);
        form.seen.clear();
        app->ProcessMessages();
        EXPECT_TRUE(Saw(form, WM_NULL)) << "WM_NULL posted after the menu";
    }
}

TEST_F(UiTest, RightClickOpensTheFormsPopupMenu) {
    HookForm form(Layout(104, 53));
    form.Show(SW_SHOW);
    TPopupMenu menu(form);
    std::vector<std::string> events;
    menu.Add("設定(&S)", [&events] { events.push_back("S1Click"); });
    form.SetPopupMenu(&menu);
    form.OnMouseDown = [&events](MouseButton b, ShiftState, int, int) {
        events.push_back(b == MouseButton::Right ? "right down" : "other down");
    };
    form.OnMouseUp = [&events](MouseButton, ShiftState, int, int) { events.push_back("up"); };
    bool menuWasOpen = false;
    ChooseFromMenuLater(form, {VK_DOWN, VK_RETURN}, menuWasOpen);
    ::PostMessageA(form.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, Point(5, 5));
    ::PostMessageA(form.Handle(), WM_RBUTTONUP, 0, Point(5, 5));
    app->ProcessMessages();
    EXPECT_TRUE(menuWasOpen);
    EXPECT_EQ(events, (std::vector<std::string>{"right down", "up", "S1Click"}));
}

}  // namespace
}  // namespace rivo::ui
