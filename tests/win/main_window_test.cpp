// The running launcher's main window, driven from outside the way the system and the user drive
// it: activated and deactivated by another program's window, its painting read back from the
// screen, dragged with mouse messages, called through its tray callback, its menu opened and
// closed, the options dialog reached from it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "tests/win/driver/keys.h"
#include "tests/win/driver/modal_driver.h"
#include "tests/win/driver/running_launcher.h"
#include "ui/font.h"

namespace rivo::test {
namespace {

// Another program's window, above the launcher's and clear of the places it is dragged to.
constexpr RECT kOtherBounds{760, 600, 1000, 760};

// The launcher window's layout at the DPI of the prefix (a second run is at 144).
int At(int pixelsAt96) {
    return test::AtDpi(pixelsAt96, test::TestDpi());
}
const int kClientWidth = At(104);
const int kClientHeight = At(53);

// ---------------------------------------------------------------------------------------------
// Activation and deactivation in each window mode.

enum class Fill { NotChecked, FormColour, Red, Black };

const char* Name(Fill fill) {
    switch (fill) {
        case Fill::NotChecked:
            return "not checked";
        case Fill::FormColour:
            return "form colour";
        case Fill::Red:
            return "red";
        case Fill::Black:
            return "black";
    }
    return "?";
}

COLORREF ColourOf(Fill fill) {
    switch (fill) {
        case Fill::FormColour:
            return GetSysColor(COLOR_BTNFACE);
        case Fill::Red:
            return RGB(255, 0, 0);
        case Fill::Black:
            return RGB(0, 0, 0);
        case Fill::NotChecked:
            break;
    }
    return CLR_INVALID;
}

// Points of the client area that neither text nor frame touches.
const POINT kBackgroundPoints[] = {
    {At(52), At(8)}, {At(8), At(46)}, {At(52), At(48)}, {At(96), At(10)}, {At(4), At(4)}};

bool ShowsFill(HWND window, Fill fill) {
    if (fill == Fill::NotChecked)
        return true;
    const std::optional<Picture> picture = CaptureClient(window);
    if (!picture || picture->width != kClientWidth || picture->height != kClientHeight)
        return false;
    return std::all_of(std::begin(kBackgroundPoints), std::end(kBackgroundPoints),
                       [&](POINT p) { return picture->At(p.x, p.y) == ColourOf(fill); });
}

// The frame, drawn with lines that leave out their end points, and the two texts in the
// window-text colour over the fill.
void ExpectFrameAndTexts(const Picture& picture, COLORREF fill) {
    const COLORREF light = GetSysColor(COLOR_3DLIGHT);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    ASSERT_NE(light, dark);
    ASSERT_NE(light, fill);
    ASSERT_NE(dark, fill);
    const int w = picture.width;
    const int h = picture.height;
    struct Expected {
        POINT at;
        COLORREF colour;
        const char* what;
    };
    const Expected frame[] = {
        {{0, 0}, light, "top-left corner: both light lines start there"},
        {{w / 2, 0}, light, "top line"},
        {{w - 2, 0}, light, "top line near its end"},
        {{0, h / 2}, light, "left line"},
        {{0, h - 2}, light, "left line near its end"},
        {{0, h - 1}, dark, "bottom-left: the dark bottom line is drawn after the light left one"},
        {{w / 2, h - 1}, dark, "bottom line"},
        {{w - 2, h - 1}, dark, "bottom line's last pixel"},
        {{w - 1, 0}, dark, "top-right: the dark right line is drawn after the light top one"},
        {{w - 1, h / 2}, dark, "right line"},
        {{w - 1, h - 2}, dark, "right line's last pixel"},
        {{w - 1, h - 1}, fill, "bottom-right: both dark lines leave out their end point"},
    };
    for (const Expected& e : frame) {
        EXPECT_EQ(Hex(picture.At(e.at.x, e.at.y)), Hex(e.colour))
            << e.what << " at " << e.at.x << "," << e.at.y;
    }

    // Text pixels: anything in the interior that is not the fill.
    int firstRow = h;
    int firstColumn = w;
    int pushPixels = 0;     // where only the "P" of "Push any key" at 15,20 can be
    int versionPixels = 0;  // rows only "Rivo Ver 1.18" at 25,30 reaches
    int versionRight = 0;   // its rightmost pixel in those rows
    int darkPixels = 0;
    for (int y = 1; y < h - 1; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            const COLORREF c = picture.At(x, y);
            if (c == fill)
                continue;
            firstRow = std::min(firstRow, y);
            firstColumn = std::min(firstColumn, x);
            if (y >= At(20) && y <= At(29) && x >= At(15) && x <= At(23))
                ++pushPixels;
            if (y >= At(36) && y <= At(44) && x >= At(25)) {
                ++versionPixels;
                versionRight = std::max(versionRight, x);
            }
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 0x50)
                ++darkPixels;
        }
    }
    EXPECT_GE(firstRow, At(20)) << "nothing is written above the first text";
    EXPECT_GE(firstColumn, At(15)) << "nothing is written left of the first text";
    EXPECT_GT(pushPixels, 0) << "\"Push any key\" at 15,20";
    EXPECT_GT(versionPixels, 0) << "\"Rivo Ver 1.18\" at 25,30";

    // The texts are in the form's font at the window's DPI: the version is as wide as that font
    // draws it (a glyph's bearings aside).
    const ui::ResolvedFont font = ui::CreateSpecFont(ui::FontSpec{}, test::TestDpi());
    const platform::WindowDC screen(nullptr);
    const platform::SelectedObject selected(screen.get(), font.font.get());
    SIZE extent{};
    ::GetTextExtentPoint32A(screen.get(), "Rivo Ver 1.18", 13, &extent);
    EXPECT_NEAR(versionRight + 1 - At(25), extent.cx, 3) << "\"Rivo Ver 1.18\" in " << font.face;
    EXPECT_GT(darkPixels, 0) << "the texts are in the window-text colour";
}

struct WindowState {
    bool visible;
    bool iconic;
    Fill fill;
};

struct ModeCase {
    int formType;
    WindowState inactive;
    WindowState active;
};

void PrintTo(const ModeCase& mode, std::ostream* out) {
    *out << "FormType=" << mode.formType;
}

class WindowModes : public ::testing::TestWithParam<ModeCase> {
protected:
    // Waits for the whole expected state, then checks each part on its own for the message.
    static void ExpectState(HWND window, const WindowState& want, TrayPicture tray, const char* when) {
        SCOPED_TRACE(when);
        const bool checkTray = UnderWine();
        WaitUntil([&] {
            return (IsWindowVisible(window) != FALSE) == want.visible &&
                   (IsIconic(window) != FALSE) == want.iconic &&
                   (!want.iconic || WhereNotParked(window).empty()) && ShowsFill(window, want.fill) &&
                   (!checkTray || TrayIconPicture() == tray);
        });
        EXPECT_EQ(IsWindowVisible(window) != FALSE, want.visible);
        EXPECT_EQ(IsIconic(window) != FALSE, want.iconic);
        if (want.iconic) {
            EXPECT_EQ(WhereNotParked(window), "");
        }
        if (want.fill != Fill::NotChecked) {
            const std::optional<Picture> picture = CaptureClient(window);
            ASSERT_TRUE(picture.has_value());
            ASSERT_EQ(picture->width, kClientWidth);
            ASSERT_EQ(picture->height, kClientHeight);
            for (POINT p : kBackgroundPoints) {
                EXPECT_EQ(Hex(picture->At(p.x, p.y)), Hex(ColourOf(want.fill)))
                    << Name(want.fill) << " expected at " << p.x << "," << p.y;
            }
            if (want.fill != Fill::Black)
                ExpectFrameAndTexts(*picture, ColourOf(want.fill));
        }
        if (checkTray) {
            EXPECT_STREQ(Name(TrayIconPicture()), Name(tray));
        }
    }
};

TEST_P(WindowModes, ActivationAndDeactivationApplyTheModeAndSwitchTheTrayIcon) {
    const ModeCase& mode = GetParam();
    UserWindow other(kOtherBounds, true);
    ASSERT_NE(other.Handle(), nullptr);
    RunningLauncher launcher(
        "modes", IniWith("Top=200\r\nLeft=300\r\nFormType=" + std::to_string(mode.formType) + "\r\n"));
    const HWND window = launcher.Window();
    ASSERT_NE(window, nullptr);

    ExpectState(window, mode.inactive, TrayPicture::CrossedOut, "after start");
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(BringLauncherForward(window));
        ExpectState(window, mode.active, TrayPicture::Plain, "activated");
        ASSERT_TRUE(other.TakeForeground());
        ExpectState(window, mode.inactive, TrayPicture::CrossedOut, "deactivated");
    }
    EXPECT_EQ(launcher.Stop(), 0u);
    // Shown again at its saved place, wherever the mode kept it meanwhile.
    const std::string ini = ReadBytes(launcher.Ini()).value_or("");
    EXPECT_EQ(IniValue(ini, "Top").value_or("?"), "200");
    EXPECT_EQ(IniValue(ini, "Left").value_or("?"), "300");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WindowModes,
    ::testing::Values(
        // minimised while not in use, restored in the form colour when called up
        ModeCase{0, {true, true, Fill::NotChecked}, {true, false, Fill::FormColour}},
        // always shown: black while another window is in front, red while the launcher is
        ModeCase{1, {true, false, Fill::Black}, {true, false, Fill::Red}},
        // always hidden: only the tray icon tells the states apart
        ModeCase{2, {false, false, Fill::NotChecked}, {false, false, Fill::NotChecked}},
        // a value the options dialog never writes: the window is left as start-up left it
        ModeCase{7, {false, false, Fill::NotChecked}, {false, false, Fill::NotChecked}}),
    [](const ::testing::TestParamInfo<ModeCase>& param) {
        return "FormType" + std::to_string(param.param.formType);
    });

// ---------------------------------------------------------------------------------------------
// Dragging: the window follows the pointer and sticks to an edge that the wanted position comes
// within 7 pixels of, inside or outside the screen; at 8 pixels it does not stick.

struct DragCase {
    const char* name;
    POINT start;   // window's top-left before the drag
    POINT wanted;  // top-left the pointer asks for
    POINT result;  // where the window must end up
};

class Dragging : public ::testing::Test {
protected:
    static POINT WindowTopLeft(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return {r.left, r.top};
    }

    // Presses the left button at `grab` (client coordinates), moves the pointer by `delta` with
    // the button held and releases it there, as posted mouse messages. They are posted while the
    // launcher's thread is held, so that the whole drag is queued before it runs on: posted
    // messages come before input, and the move that Wine makes of a window moving under the
    // pointer (the capture sends it to the launcher) cannot come in the middle of the drag.
    static void Drag(HWND window, POINT grab, POINT delta) {
        const LPARAM moved =
            MAKELPARAM(static_cast<WORD>(grab.x + delta.x), static_cast<WORD>(grab.y + delta.y));
        const SuspendedWindowThread held(window);
        EXPECT_TRUE(held.Suspended());
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, moved);
        PostMessageA(window, WM_LBUTTONUP, 0, moved);
    }
};

TEST_F(Dragging, SticksWithin7PixelsOfEachEdgeAndSavesThePlace) {
    RunningLauncher launcher("drag", IniWith("Top=300\r\nLeft=400\r\nFormType=1\r\n"));
    const HWND window = launcher.Window();
    ASSERT_NE(window, nullptr);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    ASSERT_EQ(w, kClientWidth) << "no frame";
    ASSERT_EQ(h, kClientHeight);
    // The limits the launcher takes when a button goes down.
    const int right = GetSystemMetrics(SM_CXFULLSCREEN);
    const int bottom = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);

    const DragCase cases[] = {
        {"left edge, 7 inside", {100, 300}, {7, 310}, {0, 310}},
        {"left edge, 8 inside", {100, 300}, {8, 310}, {8, 310}},
        {"left edge, 7 outside", {100, 300}, {-7, 310}, {0, 310}},
        {"left edge, 8 outside", {100, 300}, {-8, 310}, {-8, 310}},
        {"top edge, 7 inside", {400, 100}, {410, 7}, {410, 0}},
        {"top edge, 8 inside", {400, 100}, {410, 8}, {410, 8}},
        {"top edge, 7 outside", {400, 100}, {410, -7}, {410, 0}},
        {"top edge, 8 outside", {400, 100}, {410, -8}, {410, -8}},
        {"right edge, 7 inside", {400, 300}, {right - w - 7, 310}, {right - w, 310}},
        {"right edge, 8 inside", {400, 300}, {right - w - 8, 310}, {right - w - 8, 310}},
        {"right edge, 7 outside", {400, 300}, {right - w + 7, 310}, {right - w, 310}},
        {"right edge, 8 outside", {400, 300}, {right - w + 8, 310}, {right - w + 8, 310}},
        {"bottom edge, 7 inside", {400, 300}, {410, bottom - h - 7}, {410, bottom - h}},
        {"bottom edge, 8 inside", {400, 300}, {410, bottom - h - 8}, {410, bottom - h - 8}},
        {"bottom edge, 7 outside", {400, 300}, {410, bottom - h + 7}, {410, bottom - h}},
        {"bottom edge, 8 outside", {400, 300}, {410, bottom - h + 8}, {410, bottom - h + 8}},
        {"top-left corner", {200, 200}, {3, -5}, {0, 0}},
        {"bottom-right corner", {400, 300}, {right - w + 1, bottom - h - 6}, {right - w, bottom - h}},
        // Only an axis that moves is tested against its edges.
        {"vertical move near the left edge", {3, 300}, {3, 340}, {3, 340}},
        {"horizontal move near the top edge", {400, 5}, {450, 5}, {450, 5}},
        {"free move", {400, 300}, {520, 410}, {520, 410}},
    };
    // A user's button press activates the window first; the capture it takes is then not lost to
    // a foreground change that an earlier program's end may still cause.
    ASSERT_TRUE(BringLauncherForward(window));
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowPos(window, nullptr, c.start.x, c.start.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return WindowTopLeft(window).x == c.start.x; }));
        Drag(window, {10, 12}, {c.wanted.x - c.start.x, c.wanted.y - c.start.y});
        WaitUntil([&] {
            const POINT p = WindowTopLeft(window);
            return p.x == c.result.x && p.y == c.result.y;
        });
        const POINT p = WindowTopLeft(window);
        EXPECT_EQ(p.x, c.result.x) << p.x << "," << p.y;
        EXPECT_EQ(p.y, c.result.y) << p.x << "," << p.y;
    }

    // The pointer stays over the point it grabbed: once stuck, the window leaves the edge only
    // when the pointer has gone 8 pixels past the sticking distance, in one drag. The drags are
    // posted whole, down to the last release, while the launcher's thread is held: posted
    // messages come before input, so a move of the system's pointer (another test's, or Wine's
    // for the window moving under it) cannot reach the window in the middle of a drag, holding
    // the capture. Each move is in client coordinates of the window where it then is, so the end
    // of the drag tells the steps apart: at 0 and not stuck, it would end at 49.
    SetWindowPos(window, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return WindowTopLeft(window).x == 300; }));
    const POINT grab{20, 20};
    const auto at = [](int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); };
    {
        const SuspendedWindowThread held(window);
        ASSERT_TRUE(held.Suspended());
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(grab.x, grab.y));
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(grab.x - 296, grab.y));  // wants left 4: stuck at 0
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(grab.x + 7, grab.y));    // wants 7: stays
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(grab.x + 8, grab.y));    // wants 8: leaves, to 8
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(grab.x + 30, grab.y));   // follows, to 38
        PostMessageA(window, WM_LBUTTONUP, 0, at(grab.x + 30, grab.y));
        // After the release, moves do nothing.
        PostMessageA(window, WM_MOUSEMOVE, 0, at(grab.x + 90, grab.y + 90));
        // A capture taken away (a menu, a system dialog, Alt+Tab) ends the drag: the release goes to
        // another window, and the pointer moving freely afterwards must not carry the window along.
        // Then a drag 10 pixels back to the left: 38 again, or 98 had the drag gone on.
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(grab.x, grab.y));
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(grab.x + 10, grab.y));
        PostMessageA(window, WM_CAPTURECHANGED, 0, 0);
        PostMessageA(window, WM_MOUSEMOVE, 0, at(grab.x + 60, grab.y + 60));
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(grab.x, grab.y));
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(grab.x - 10, grab.y));
        PostMessageA(window, WM_LBUTTONUP, 0, at(grab.x - 10, grab.y));
        // The right button drags too, and its release opens the menu at the pointer, which the
        // window has followed back over the point it grabbed.
        PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, at(10, 12));
        PostMessageA(window, WM_MOUSEMOVE, MK_RBUTTON, at(-10, 52));
        PostMessageA(window, WM_RBUTTONUP, 0, at(10, 12));
    }
    ASSERT_TRUE(WaitUntil([&] { return launcher.Menu() != nullptr; }));
    EXPECT_EQ(WindowTopLeft(window).x, 18);
    EXPECT_EQ(WindowTopLeft(window).y, 340);
    RECT menu{};
    GetWindowRect(launcher.Menu(), &menu);
    EXPECT_EQ(menu.left, 18 + 10);
    EXPECT_EQ(menu.top, 340 + 12);
    launcher.CloseMenus();
    ASSERT_TRUE(WaitUntil([&] { return launcher.Menu() == nullptr; }));

    EXPECT_EQ(launcher.Stop(), 0u);
    const std::string ini = ReadBytes(launcher.Ini()).value_or("");
    EXPECT_EQ(IniValue(ini, "Top").value_or("?"), "340");
    EXPECT_EQ(IniValue(ini, "Left").value_or("?"), "18");
}

TEST_F(Dragging, AnUnsavedDragReachesTheFileWhenTheSessionEnds) {
    RunningLauncher launcher("endsession", IniWith("Top=300\r\nLeft=400\r\nFormType=1\r\n"));
    const HWND window = launcher.Window();
    ASSERT_NE(window, nullptr);
    Drag(window, {10, 12}, {100, 50});
    ASSERT_TRUE(WaitUntil([&] { return WindowTopLeft(window).x == 500 && WindowTopLeft(window).y == 350; }));

    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                  &answer),
              0);
    EXPECT_NE(answer, 0u) << "the launcher lets the session end";
    ASSERT_NE(
        SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 15000, &answer),
        0);
    if (UnderWine()) {
        EXPECT_TRUE(WaitUntil([] { return TrayIconPicture() == TrayPicture::Missing; }))
            << "the icon is removed";
    }
    // Windows now ends the process without ending its message loop: FormDestroy never runs.
    launcher.Process().End();
    const std::string ini = ReadBytes(launcher.Ini()).value_or("");
    EXPECT_EQ(IniValue(ini, "Top").value_or("?"), "350");
    EXPECT_EQ(IniValue(ini, "Left").value_or("?"), "500");
}

// An installer closes the launcher through the Restart Manager and does not end the process: the
// launcher saves and ends by itself, and the start that stands in for the Restart Manager's
// restart runs (a launcher left running would hold the single-instance lock: it would end with 1).
TEST_F(Dragging, AnInstallerCloseSavesEndsWithZeroAndTheRestartRuns) {
    RunningLauncher launcher("closeapp", IniWith("Top=300\r\nLeft=400\r\nFormType=1\r\n"));
    const HWND window = launcher.Window();
    ASSERT_NE(window, nullptr);
    Drag(window, {10, 12}, {100, 50});
    ASSERT_TRUE(WaitUntil([&] { return WindowTopLeft(window).x == 500 && WindowTopLeft(window).y == 350; }));

    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 5000,
                                  &answer),
              0);
    EXPECT_NE(answer, 0u) << "the launcher agrees to close";
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 15000, &answer);
    EXPECT_EQ(launcher.Process().WaitForExit(), 0u) << "the launcher ends by itself";
    const std::string ini = ReadBytes(launcher.Ini()).value_or("");
    EXPECT_EQ(IniValue(ini, "Top").value_or("?"), "350");
    EXPECT_EQ(IniValue(ini, "Left").value_or("?"), "500");

    LauncherProcess restarted(launcher.Dir().File("rivo.exe"), launcher.Dir().Path());
    EXPECT_NE(restarted.WaitForMainWindow(), nullptr) << "exit code " << restarted.WaitForExit(0).value_or(0);
    EXPECT_EQ(restarted.CloseAndWait(), 0u);
}

// ---------------------------------------------------------------------------------------------
// The tray callback: only a right button press calls the launcher up and opens the menu.

class TrayCallback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(other_.Handle(), nullptr);
        ASSERT_NE(launcher_.Window(), nullptr);
        ASSERT_TRUE(other_.TakeForeground());
        ASSERT_TRUE(WaitUntil([&] { return ShowsFill(launcher_.Window(), Fill::Black); }));
    }

    // Posts the right button press on the tray icon with the pointer at `at`; the menu window.
    HWND OpenMenuAt(POINT at) {
        SetCursorPos(at.x, at.y);
        PostMessageA(launcher_.Window(), kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = launcher_.Menu()) != nullptr; });
        return menu;
    }

    UserWindow other_{kOtherBounds, true};
    RunningLauncher launcher_{"tray", IniWith("Top=200\r\nLeft=300\r\nFormType=1\r\n")};
};

TEST_F(TrayCallback, AnIconTheTaskbarHasThoughItsAddFailedStillSwitchesItsPicture) {
    if (!UnderWine())
        GTEST_SKIP() << "the tray's picture is read from Wine's stand-alone tray";
    const HWND window = launcher_.Window();
    ASSERT_TRUE(WaitUntil([] { return TrayIconPicture() == TrayPicture::CrossedOut; }));
    // The taskbar still has the icon, so adding it again fails: as when a busy Explorer timed out
    // on an add it carried out.
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                                  5000, &answer),
              0);
    ASSERT_TRUE(BringLauncherForward(window));
    EXPECT_TRUE(WaitUntil([] { return TrayIconPicture() == TrayPicture::Plain; })) << Name(TrayIconPicture());
    ASSERT_TRUE(other_.TakeForeground());
    EXPECT_TRUE(WaitUntil([] { return TrayIconPicture() == TrayPicture::CrossedOut; }))
        << Name(TrayIconPicture());
}

TEST_F(TrayCallback, OtherMouseMessagesDoNothing) {
    const HWND window = launcher_.Window();
    const LPARAM messages[] = {WM_LBUTTONDOWN,   WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONUP,
                               WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MOUSEMOVE};
    for (LPARAM message : messages) {
        SCOPED_TRACE("mouse message " + std::to_string(message));
        DWORD_PTR answer = 0;
        // Sent, not posted: when it returns, the launcher has handled it.
        ASSERT_NE(
            SendMessageTimeoutW(window, kTrayCallback, kTrayIconId, message, SMTO_ABORTIFHUNG, 5000, &answer),
            0);
        ASSERT_TRUE(launcher_.Process().Settle());
        EXPECT_EQ(launcher_.Menu(), nullptr);
        EXPECT_EQ(GetForegroundWindow(), other_.Handle());
        EXPECT_TRUE(ShowsFill(window, Fill::Black));
    }
    if (UnderWine()) {
        EXPECT_STREQ(Name(TrayIconPicture()), Name(TrayPicture::CrossedOut));
    }
}

TEST_F(TrayCallback, RightButtonCallsUpAndOpensTheMenuThatEscapeOrAClickElsewhereCloses) {
    const HWND window = launcher_.Window();
    struct Closing {
        const char* name;
        POINT pointer;
        bool byClick;
    };
    const Closing ways[] = {{"Escape", {400, 300}, false}, {"a click elsewhere", {420, 250}, true}};
    for (const Closing& way : ways) {
        SCOPED_TRACE(way.name);
        HWND menu = OpenMenuAt(way.pointer);
        ASSERT_NE(menu, nullptr);
        RECT r{};
        GetWindowRect(menu, &r);
        EXPECT_EQ(r.left, way.pointer.x) << "the menu opens at the pointer";
        EXPECT_EQ(r.top, way.pointer.y);
        // Called up like the call-up keys do it: in front, red, the plain tray picture.
        EXPECT_EQ(GetForegroundWindow(), window);
        EXPECT_TRUE(WaitUntil([&] { return ShowsFill(window, Fill::Red); }));
        if (UnderWine()) {
            EXPECT_TRUE(WaitUntil([] { return TrayIconPicture() == TrayPicture::Plain; }));
        }

        if (way.byClick) {
            const POINT elsewhere = other_.Inside();
            SetCursorPos(elsewhere.x, elsewhere.y);
            INPUT click[2] = {};
            click[0].type = click[1].type = INPUT_MOUSE;
            click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);
        } else {
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        EXPECT_TRUE(WaitUntil([&] { return launcher_.Menu() == nullptr; })) << "the menu closed";
        // Nothing was chosen: no dialog, the launcher runs on.
        ASSERT_TRUE(launcher_.Process().Settle());
        EXPECT_TRUE(launcher_.Process().Running());
        EXPECT_TRUE(WindowsOfProcess(launcher_.Process().Id(), "#32770").empty());
        ASSERT_TRUE(other_.TakeForeground());
        EXPECT_TRUE(WaitUntil([&] { return ShowsFill(window, Fill::Black); }));
    }
    EXPECT_EQ(launcher_.Stop(), 0u);
}

TEST_F(TrayCallback, TheMenuHoldsSettingsHelpAndExitInThisOrder) {
    const DWORD id = launcher_.Process().Id();
    const std::string probe = launcher_.Dir().File("show_probe.exe");
    ASSERT_TRUE(CopyFileA(BuildTreeFile("tests/win/show_probe.exe").c_str(), probe.c_str(), FALSE));
    HtmlOpener opener(probe);
    ASSERT_TRUE(opener.Ok());
    // Items are reached with the arrow keys from the top, the separator being skipped.
    const auto choose = [&](int downs) {
        HWND menu = OpenMenuAt({400, 300});
        ASSERT_NE(menu, nullptr);
        for (int i = 0; i < downs; ++i)
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    };

    {
        SCOPED_TRACE("first item: the options dialog");
        choose(1);
        HWND options = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (options = VisibleWindowOf(id, "TOptionForm")) != nullptr; }));
        ClickButton(ButtonWithCaption(options, "取消(&C)"));
        ASSERT_TRUE(WaitUntil([&] { return VisibleWindowOf(id, "TOptionForm") == nullptr; }));
    }
    {
        SCOPED_TRACE("second item: the help page, opened through the shell and shown normally");
        choose(2);
        std::vector<std::string> reports;
        ASSERT_TRUE(
            WaitUntil([&] { return !(reports = ListFiles(launcher_.Dir().Path(), "shown-*.txt")).empty(); }));
        std::string report;
        ASSERT_TRUE(WaitUntil([&] {
            report = ReadBytes(launcher_.Dir().File(reports.front())).value_or("");
            return report.find("\r\n") != std::string::npos && report.back() == '\n';
        }));
        EXPECT_EQ(report.substr(0, report.find("\r\n")), std::to_string(SW_SHOWNORMAL))
            << "a help page opened hidden is never seen";
        const std::string page = launcher_.Dir().File("help.html");
        EXPECT_NE(CharLowerA(report.data()), nullptr);
        std::string lowerPage = page;
        CharLowerA(lowerPage.data());
        EXPECT_NE(report.find(lowerPage), std::string::npos) << report;
        EXPECT_TRUE(launcher_.Process().Running());
        EXPECT_FALSE(launcher_.Process().HasMessageBox());
    }
    {
        SCOPED_TRACE("third item: exit, which saves");
        ASSERT_TRUE(DeleteFileA(launcher_.Ini().c_str()));
        choose(3);
        EXPECT_EQ(launcher_.Process().WaitForExit(), 0u);
        EXPECT_TRUE(FileExists(launcher_.Ini()));
    }
}

// ---------------------------------------------------------------------------------------------
// The options dialog from the menu: Cancel saves nothing, and the window is shown and hidden
// again, leaving it as the mode wants an inactive launcher.

TEST(OptionsFromTheMenu, CancelSavesNothingOkSavesAndTheWindowEndsAsAnInactiveLauncher) {
    UserWindow other(kOtherBounds, true);
    // Mode 2: the show and hide after the dialog must end with the crossed-out tray icon.
    RunningLauncher launcher("options", IniWith("Top=200\r\nLeft=300\r\nFormType=2\r\n"));
    ASSERT_NE(launcher.Window(), nullptr);
    // A file the launcher never wrote: any save would replace it with all 775 entries.
    const std::string marker = "[Rivo]\r\nTop=200\r\nLeft=300\r\nFormType=2\r\n;marker\r\n";
    ASSERT_TRUE(WriteBytes(launcher.Ini(), marker));

    SetCursorPos(400, 300);
    PostMessageA(launcher.Window(), kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = launcher.Menu()) != nullptr; }));
    // The first item is the settings command.
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (options = VisibleWindowOf(launcher.Process().Id(), "TOptionForm")) != nullptr; }));
    EXPECT_EQ(TextOfWindow(options), "設定");
    HWND cancel = ButtonWithCaption(options, "取消(&C)");
    ASSERT_NE(cancel, nullptr);
    ClickButton(cancel);
    ASSERT_TRUE(
        WaitUntil([&] { return VisibleWindowOf(launcher.Process().Id(), "TOptionForm") == nullptr; }));
    if (UnderWine()) {
        EXPECT_TRUE(WaitUntil([] { return TrayIconPicture() == TrayPicture::CrossedOut; }))
            << Name(TrayIconPicture());
    }
    ASSERT_TRUE(launcher.Process().Settle());
    EXPECT_FALSE(IsWindowVisible(launcher.Window()));
    EXPECT_FALSE(launcher.Process().HasMessageBox());
    EXPECT_EQ(ReadBytes(launcher.Ini()).value_or("?"), marker) << "cancelling saved nothing";
    EXPECT_TRUE(launcher.Process().Running());

    // The same way with OK does save, at once.
    PostMessageA(launcher.Window(), kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return (menu = launcher.Menu()) != nullptr; }));
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(WaitUntil(
        [&] { return (options = VisibleWindowOf(launcher.Process().Id(), "TOptionForm")) != nullptr; }));
    HWND ok = ButtonWithCaption(options, "確定(&O)");
    ASSERT_NE(ok, nullptr);
    ClickButton(ok);
    std::string saved;
    EXPECT_TRUE(WaitUntil([&] {
        saved = ReadBytes(launcher.Ini()).value_or("");
        return IniValue(saved, "Key1").has_value();
    })) << Printable(saved);
    EXPECT_NE(saved.find(";marker"), std::string::npos) << "what the launcher does not know stays";
    EXPECT_EQ(IniValue(saved, "FormType").value_or("?"), "2");
    EXPECT_EQ(launcher.Stop(), 0u);
}

}  // namespace
}  // namespace rivo::test
