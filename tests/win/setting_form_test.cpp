// The registration dialog driven as a user drives it: ShowRegistration runs its real modal loop
// and a script, run from a timer inside that loop, posts keys and clicks to the focused control
// and looks at what the dialog shows.
#include "dialogs/setting_form.h"

#include <windows.h>
#include <dlgs.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/launcher_state.h"
#include "core/set_command.h"
#include "dialogs/dialog_texts.h"
#include "platform/wide_text.h"
#include "tests/win/driver/layout_reader.h"
#include "tests/win/driver/modal_driver.h"
#include "tests/win/driver/probe_report.h"
#include "tests/win/driver/scratch_dir.h"
#include "ui/application.h"

namespace rivo {
namespace {

using test::Do;
using test::PostAltKey;
using test::PostKey;
using test::PostKeyDown;
using test::Script;
using Step = Script::Step;

Step Press(WORD vk) {
    return Do([vk] { PostKey(vk); });
}

Step PressShifted(WORD vk) {
    // The shift state is read when the key-down is handled, i.e. after this step; the step
    // after it releases Shift again.
    return Do([vk] {
        BYTE state[256];
        ::GetKeyboardState(state);
        state[VK_SHIFT] |= 0x80;
        ::SetKeyboardState(state);
        PostKey(vk);
    });
}

Step ReleaseShift() {
    return Do([] {
        BYTE state[256];
        ::GetKeyboardState(state);
        state[VK_SHIFT] &= 0x7F;
        ::SetKeyboardState(state);
    });
}

// Characters as typed: WM_CHAR per byte to the focused edit.
Step Type(std::string text) {
    return Do([text = std::move(text)] {
        for (char c : text) {
            ::PostMessageA(::GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        }
    });
}

// Selects the whole field and deletes it with the Del key.
Step ClearField() {
    return Do([] {
        ::SendMessageA(::GetFocus(), EM_SETSEL, 0, -1);
        PostKey(VK_DELETE);
    });
}

Step Click(ui::TButton& button) {
    return Do([&button] { ::PostMessageA(button.Handle(), BM_CLICK, 0, 0); });
}

std::string FocusName(const TSettingForm& form) {
    const HWND focus = ::GetFocus();
    const std::pair<const ui::TControl*, const char*> names[] = {
        {&form.CommandEdit, "CommandEdit"}, {&form.KeyEdit, "KeyEdit"},
        {&form.Browse, "Browse"},           {&form.PathEdit, "PathEdit"},
        {&form.OKButton, "OKButton"},       {&form.CancelButton, "CancelButton"},
    };
    for (const auto& [control, name] : names) {
        if (control->Handle() == focus)
            return name;
    }
    return focus == form.Handle() ? "the form" : "elsewhere";
}

Step ExpectFocus(const TSettingForm& form, std::string name) {
    return Do([&form, name = std::move(name)] { EXPECT_EQ(FocusName(form), name); });
}

// What the user sees inside a field, away from its text: the right end of its client area.
COLORREF FieldBackground(const ui::TControl& field) {
    ::RedrawWindow(field.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client{};
    ::GetClientRect(field.Handle(), &client);
    POINT at{client.right - 3, client.bottom / 2};
    ::ClientToScreen(field.Handle(), &at);
    HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return pixel;
}

std::string Hex(COLORREF colour) {
    char text[16];
    ::wsprintfA(text, "%06lX", static_cast<unsigned long>(colour));
    return text;
}

TSetCommand Request(std::uint16_t key, std::string command, std::string dir) {
    TSetCommand request;
    request.KeyCode = key;
    request.Command = std::move(command);
    request.WorkDir = std::move(dir);
    return request;
}

class SettingFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        BuildKeyNameTable(KeyNameTable);
        // Wine paints inactive borders white like a window; a colour of its own tells the field
        // colours apart. Set for this session only and put back afterwards.
        savedInactiveBorder = ::GetSysColor(COLOR_INACTIVEBORDER);
        const INT element = COLOR_INACTIVEBORDER;
        const COLORREF distinct = RGB(0xB4, 0xC8, 0x8C);
        ::SetSysColors(1, &element, &distinct);
    }
    static void TearDownTestSuite() {
        const INT element = COLOR_INACTIVEBORDER;
        ::SetSysColors(1, &element, &savedInactiveBorder);
    }
    static inline COLORREF savedInactiveBorder = 0;

    void SetUp() override {
        app.emplace();
        ASSERT_EQ(app->Dpi(), test::TestDpi()) << "the layout is checked at the prefix's DPI";
        // As at start-up: a main window first, the registration dialog beside it.
        ui::FormLayout mainLayout;
        mainLayout.className = "RivoTestMain";
        mainLayout.clientWidth = 104;
        mainLayout.clientHeight = 53;
        mainLayout.border = ui::BorderStyle::None;
        main = &app->CreateForm<ui::TForm>(mainLayout);
        SettingForm = &app->CreateForm<TSettingForm>();
        ASSERT_EQ(app->MainForm(), main);
    }
    void TearDown() override {
        app.reset();
        EXPECT_EQ(SettingForm, nullptr) << "the start-up instance pointer outlived its dialog";
        SettingForm = nullptr;
    }

    // ShowRegistration with `steps` acting inside its loop; the first step waits until the
    // dialog is up and active.
    int Run(TSettingForm& form, TSetCommand& request, int mode, std::vector<Step> steps) {
        steps.insert(steps.begin(),
                     [&form] { return form.Visible() && ::GetActiveWindow() == form.Handle(); });
        Script script(std::move(steps), [&form] {
            if (HWND open = test::FindOwnedWindow(form.Handle(), "#32770"))
                ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
            form.SetModalResult(ui::kModalCancel);
        });
        const int result = form.ShowRegistration(request, mode);
        EXPECT_TRUE(script.Finished())
            << "the dialog closed after " << script.Completed() << " steps " << script.Failure();
        EXPECT_FALSE(form.Visible()) << "the dialog is still shown after ShowRegistration";
        return result;
    }

    std::optional<ui::TApplication> app;
    ui::TForm* main = nullptr;
};

// ---------------------------------------------------------------------------------------------
// KeyMode

struct OpeningCase {
    std::uint16_t key;
    const char* shown;
};

TEST_F(SettingFormTest, KeyModeOpensWithTheKeyFixedAndTheCommandReadyToEdit) {
    const COLORREF inactiveBorder = ::GetSysColor(COLOR_INACTIVEBORDER);
    ASSERT_NE(inactiveBorder, ::GetSysColor(COLOR_WINDOW)) << "the colours must differ to be told apart";
    ASSERT_NE(inactiveBorder, ::GetSysColor(COLOR_BTNFACE));
    const OpeningCase cases[] = {
        {0x45, "E"}, {0x74, "F5"}, {28, "28"}, {0x0D, "Enter"}, {0x25, "←"}, {0x30, "0"}, {0xE2, "\x81\x5F"},
    };
    TSettingForm& form = *SettingForm;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        TSetCommand request = Request(c.key, "C:\\Tools\\edit.exe", "C:\\Tools");
        const int result =
            Run(form, request, KeyMode,
                {// The screen shows what was painted a moment later than the paint returns.
                 [&] {
                     return FieldBackground(form.KeyEdit) == inactiveBorder &&
                            FieldBackground(form.CommandEdit) == ::GetSysColor(COLOR_WINDOW);
                 },
                 Do([&] {
                     EXPECT_EQ(form.KeyEdit.Text(), c.shown);
                     EXPECT_FALSE(form.KeyEdit.Enabled());
                     EXPECT_EQ(form.KeyEdit.GetColor(), ui::Color::System(COLOR_INACTIVEBORDER));
                     EXPECT_EQ(Hex(FieldBackground(form.KeyEdit)), Hex(inactiveBorder));
                     EXPECT_EQ(FocusName(form), "CommandEdit");
                     EXPECT_EQ(form.CommandEdit.Text(), "C:\\Tools\\edit.exe");
                     DWORD start = 1, end = 0;
                     ::SendMessageA(form.CommandEdit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                    reinterpret_cast<LPARAM>(&end));
                     EXPECT_EQ(start, 0u) << "the command is selected, ready to be replaced";
                     EXPECT_EQ(end, 17u);
                     EXPECT_EQ(Hex(FieldBackground(form.CommandEdit)), Hex(::GetSysColor(COLOR_WINDOW)));
                     EXPECT_EQ(form.PathEdit.Text(), "C:\\Tools");
                     EXPECT_TRUE(form.PathEdit.Enabled());
                     EXPECT_TRUE(form.OKButton.Enabled());
                     EXPECT_TRUE(form.Browse.Enabled());
                     EXPECT_TRUE(form.CancelButton.Enabled());
                     EXPECT_FALSE(::IsWindowEnabled(main->Handle())) << "the main window stays usable";
                     EXPECT_FALSE(::IsWindowEnabled(app->Handle()));
                 }),
                 Press(VK_ESCAPE)});
        EXPECT_EQ(result, 0);
        EXPECT_EQ(request.KeyCode, c.key);
        EXPECT_TRUE(::IsWindowEnabled(main->Handle())) << "the main window was not enabled again";
        EXPECT_TRUE(::IsWindowEnabled(app->Handle()));
    }
}

struct OutcomeCase {
    const char* name;
    std::function<std::vector<Step>(TSettingForm&)> actions;
    int result;
    const char* command;  // the request afterwards
    const char* dir;
};

TEST_F(SettingFormTest, KeyModeEndsAsTheKeysAndButtonsSay) {
    const OutcomeCase cases[] = {
        {"typed command, Enter in CommandEdit",
         [](TSettingForm&) {
             return std::vector<Step>{ClearField(), Type("D:\\new.exe"), Press(VK_RETURN)};
         },
         1, "D:\\new.exe", "C:\\Tools"},
        {"emptied command, Enter: both fields come back empty",
         [](TSettingForm&) {
             return std::vector<Step>{ClearField(), Press(VK_RETURN)};
         },
         1, "", ""},
        {"emptied command, OK clicked",
         [](TSettingForm& f) {
             return std::vector<Step>{ClearField(), Click(f.OKButton)};
         },
         1, "", ""},
        {"edited, then Esc in CommandEdit: nothing changes",
         [](TSettingForm&) {
             return std::vector<Step>{Type("zzz"), Press(VK_ESCAPE)};
         },
         0, "C:\\Tools\\edit.exe", "C:\\Tools"},
        {"Enter in PathEdit confirms the edited directory",
         [](TSettingForm& f) {
             return std::vector<Step>{Press(VK_TAB), Press(VK_TAB),    ExpectFocus(f, "PathEdit"),
                                      ClearField(),  Type("E:\\work"), Press(VK_RETURN)};
         },
         1, "C:\\Tools\\edit.exe", "E:\\work"},
        {"Esc in PathEdit cancels",
         [](TSettingForm& f) {
             return std::vector<Step>{Press(VK_TAB), Press(VK_TAB), ExpectFocus(f, "PathEdit"), Type("x"),
                                      Press(VK_ESCAPE)};
         },
         0, "C:\\Tools\\edit.exe", "C:\\Tools"},
        {"Enter on the focused CancelButton cancels (it is the button's own click)",
         [](TSettingForm& f) {
             return std::vector<Step>{
                 Press(VK_TAB),   Press(VK_TAB), Press(VK_TAB), Press(VK_TAB), ExpectFocus(f, "CancelButton"),
                 Press(VK_RETURN)};
         },
         0, "C:\\Tools\\edit.exe", "C:\\Tools"},
        {"Enter on the focused OKButton confirms",
         [](TSettingForm& f) {
             return std::vector<Step>{
                 Type("x"),       Press(VK_TAB), Press(VK_TAB), Press(VK_TAB), ExpectFocus(f, "OKButton"),
                 Press(VK_RETURN)};
         },
         1, "x", "C:\\Tools"},
        {"Space on the focused OKButton confirms",
         [](TSettingForm& f) {
             return std::vector<Step>{Press(VK_TAB), Press(VK_TAB), Press(VK_TAB), ExpectFocus(f, "OKButton"),
                                      Press(VK_SPACE)};
         },
         1, "C:\\Tools\\edit.exe", "C:\\Tools"},
        {"Esc on the focused Browse cancels",
         [](TSettingForm& f) {
             return std::vector<Step>{Press(VK_TAB), ExpectFocus(f, "Browse"), Press(VK_ESCAPE)};
         },
         0, "C:\\Tools\\edit.exe", "C:\\Tools"},
        {"Alt+O confirms, typing replaced the selected command",
         [](TSettingForm&) {
             return std::vector<Step>{Type("y"), Do([] { PostAltKey('O'); })};
         },
         1, "y", "C:\\Tools"},
        {"Alt+C cancels",
         [](TSettingForm&) {
             return std::vector<Step>{Type("y"), Do([] { PostAltKey('C'); })};
         },
         0, "C:\\Tools\\edit.exe", "C:\\Tools"},
        {"the close box cancels",
         [](TSettingForm& f) {
             return std::vector<Step>{Type("y"),
                                      Do([&f] { ::PostMessageA(f.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); })};
         },
         0, "C:\\Tools\\edit.exe", "C:\\Tools"},
    };
    TSettingForm& form = *SettingForm;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSetCommand request = Request(0x45, "C:\\Tools\\edit.exe", "C:\\Tools");
        EXPECT_EQ(Run(form, request, KeyMode, c.actions(form)), c.result);
        EXPECT_EQ(request.KeyCode, 0x45);
        EXPECT_EQ(request.Command, c.command);
        EXPECT_EQ(request.WorkDir, c.dir);
    }
}

// ---------------------------------------------------------------------------------------------
// FileMode

TEST_F(SettingFormTest, FileModeOpensWaitingForTheKey) {
    auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
    EXPECT_EQ(dialog->Owner(), main->Handle());
    // Without an input context a Japanese IME cannot turn the keys into VK_PROCESSKEY.
    const HIMC context = ::ImmGetContext(dialog->KeyEdit.Handle());
    EXPECT_EQ(context, nullptr) << "the key field has an input context";
    if (context)
        ::ImmReleaseContext(dialog->KeyEdit.Handle(), context);
    TSetCommand request =
        Request(kNoKeyChosen, "C:\\Program Files\\Tool\\tool.exe", "C:\\Program Files\\Tool");
    const int result =
        Run(*dialog, request, FileMode,
            {[&] {
                 return FieldBackground(dialog->KeyEdit) == ::GetSysColor(COLOR_WINDOW) &&
                        FieldBackground(dialog->CommandEdit) == ::GetSysColor(COLOR_INACTIVEBORDER);
             },
             Do([&] {
                 TSettingForm& f = *dialog;
                 EXPECT_EQ(FocusName(f), "KeyEdit");
                 EXPECT_EQ(f.KeyEdit.Text(), "");
                 EXPECT_TRUE(f.KeyEdit.ReadOnly());
                 EXPECT_EQ(Hex(FieldBackground(f.KeyEdit)), Hex(::GetSysColor(COLOR_WINDOW)));
                 EXPECT_FALSE(f.OKButton.Enabled());
                 EXPECT_FALSE(f.Browse.Enabled());
                 EXPECT_FALSE(f.PathEdit.Enabled());
                 EXPECT_TRUE(f.CancelButton.Enabled());
                 EXPECT_TRUE(f.CommandEdit.Enabled()) << "CommandEdit is only coloured";
                 EXPECT_FALSE(f.CommandEdit.ReadOnly());
                 EXPECT_EQ(Hex(FieldBackground(f.CommandEdit)), Hex(::GetSysColor(COLOR_INACTIVEBORDER)));
                 EXPECT_EQ(f.CommandEdit.Text(), "C:\\Program Files\\Tool\\tool.exe");
                 EXPECT_EQ(f.PathEdit.Text(), "C:\\Program Files\\Tool");
                 // Both paths are wider than their fields; they show from the start.
                 EXPECT_EQ(::SendMessageA(f.CommandEdit.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
                 EXPECT_EQ(::SendMessageA(f.PathEdit.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
                 EXPECT_FALSE(::IsWindowEnabled(main->Handle())) << "the owner stays usable";
             }),
             Press(VK_ESCAPE)});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(request.Command, "C:\\Program Files\\Tool\\tool.exe");
    EXPECT_TRUE(::IsWindowEnabled(main->Handle()));
}

// One key press in KeyEdit and what the field shows afterwards.
struct KeyPress {
    WORD vk;
    const char* shown;
    bool okEnabled;
    bool system = false;  // arrives as WM_SYSKEYDOWN (Alt, F10)
};

struct ChoiceCase {
    const char* name;
    std::vector<KeyPress> presses;
    bool confirmWithOk;  // end by clicking OKButton, else by CancelButton
    int result;
    std::uint16_t keyCode;  // checked when confirmed
};

TEST_F(SettingFormTest, FileModeKeyEditChoosesTheKey) {
    const std::vector<KeyPress> ignored = {
        {VK_SHIFT, "", false}, {VK_CONTROL, "", false}, {VK_CAPITAL, "", false}, {0xF0, "", false},
        {0xF5, "", false},     {0xFE, "", false},       {229, "", false},  // VK_PROCESSKEY: an IME's key,
                                                                           // never a slot of its own here
    };
    auto ignoredAfter = [](const char* shown) {
        return std::vector<KeyPress>{{VK_SHIFT, shown, true},
                                     {VK_CONTROL, shown, true},
                                     {VK_CAPITAL, shown, true},
                                     {0xF0, shown, true},
                                     {0xFF, shown, true}};
    };
    std::vector<KeyPress> aThenIgnored = {{'A', "A", true}};
    for (const KeyPress& p : ignoredAfter("A"))
        aThenIgnored.push_back(p);

    const ChoiceCase cases[] = {
        {"Shift, Ctrl, Caps Lock and codes from 0xF0 choose nothing", ignored, false, 0, 0},
        {"A, then F5 replaces it", {{'A', "A", true}, {VK_F5, "F5", true}}, true, 1, 0x74},
        {"ignored keys leave the chosen key", aThenIgnored, true, 1, 0x41},
        {"a key without a name shows its code", {{28, "28", true}}, true, 1, 28},
        {"Alt can be chosen", {{VK_MENU, "Alt", true, true}}, true, 1, 0x12},
        {"arrows and F10 can be chosen", {{VK_LEFT, "←", true}, {VK_F10, "F10", true, true}}, true, 1, 0x79},
        {"0xEF is still a key", {{0xEF, "239", true}}, true, 1, 0xEF},
        {"the Hankaku/Zenkaku key, either of its codes, is slot 229",
         {{0xF3, "半角/全角(漢字)", true}, {'A', "A", true}, {0xF4, "半角/全角(漢字)", true}},
         true,
         1,
         229},
        {"a key chosen, then cancelled", {{'Q', "Q", true}}, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
        TSettingForm& f = *dialog;
        TSetCommand request = Request(kNoKeyChosen, "C:\\edit.exe", "C:\\");
        std::vector<Step> steps;
        for (const KeyPress& p : c.presses) {
            steps.push_back(Do([p] {
                if (p.system)
                    PostAltKey(p.vk);
                else
                    PostKey(p.vk);
            }));
            steps.push_back(Do([&f, p] {
                SCOPED_TRACE(p.vk);
                EXPECT_EQ(f.KeyEdit.Text(), p.shown);
                EXPECT_EQ(f.OKButton.Enabled(), p.okEnabled);
                EXPECT_EQ(FocusName(f), "KeyEdit");
            }));
        }
        steps.push_back(Click(c.confirmWithOk ? f.OKButton : f.CancelButton));
        EXPECT_EQ(Run(f, request, FileMode, std::move(steps)), c.result);
        if (c.result == 1) {
            EXPECT_EQ(request.KeyCode, c.keyCode);
            EXPECT_TRUE(request.HasKey());
        }
        EXPECT_EQ(request.Command, "C:\\edit.exe");
        EXPECT_EQ(request.WorkDir, "C:\\");
    }
}

TEST_F(SettingFormTest, FileModeEnterAndEscInKeyEditEndTheDialog) {
    struct Case {
        const char* name;
        WORD key;
        int result;
        std::uint16_t keyCode;
    };
    const Case cases[] = {
        {"Enter is chosen and confirms in one keystroke", VK_RETURN, 1, 13},
        {"Esc cancels", VK_ESCAPE, 0, 27},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
        TSetCommand request = Request(kNoKeyChosen, "C:\\edit.exe", "C:\\");
        EXPECT_EQ(Run(*dialog, request, FileMode, {Press(c.key)}), c.result);
        // On cancel the key may be set too; the caller ignores it.
        EXPECT_EQ(request.KeyCode, c.keyCode);
        EXPECT_EQ(request.Command, "C:\\edit.exe");
    }
}

TEST_F(SettingFormTest, ModifierHeldWhileChoosingIsNotRecorded) {
    for (WORD modifier : {WORD{VK_SHIFT}, WORD{VK_CONTROL}}) {
        SCOPED_TRACE(modifier);
        auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
        TSettingForm& f = *dialog;
        TSetCommand request = Request(kNoKeyChosen, "C:\\edit.exe", "C:\\");
        // As the keyboard delivers it: the modifier goes down (and is refused), A goes down and up
        // while the modifier is held, then the modifier comes up.
        std::vector<Step> steps = {
            Do([modifier] {
                BYTE state[256];
                ::GetKeyboardState(state);
                state[modifier] |= 0x80;
                ::SetKeyboardState(state);
                PostKeyDown(modifier);
            }),
            Do([&f] {
                EXPECT_EQ(f.KeyEdit.Text(), "") << "the modifier itself was taken";
                EXPECT_FALSE(f.OKButton.Enabled());
            }),
            Press('A'),
            Do([modifier] {
                BYTE state[256];
                ::GetKeyboardState(state);
                state[modifier] &= 0x7F;
                ::SetKeyboardState(state);
                ::PostMessageA(::GetFocus(), WM_KEYUP, modifier, static_cast<LPARAM>(0xC0000001u));
            }),
            Do([&f] {
                EXPECT_EQ(f.KeyEdit.Text(), "A");
                EXPECT_TRUE(f.OKButton.Enabled());
            }),
            Click(f.OKButton),
        };
        EXPECT_EQ(Run(f, request, FileMode, std::move(steps)), 1);
        EXPECT_EQ(request.KeyCode, 0x41);
    }
}

TEST_F(SettingFormTest, FileModeConfirmingBeforeAKeyIsChosenKeepsTheDialogOpen) {
    // Enter in CommandEdit would confirm, but there is no key to store the command under: the
    // dialog beeps and waits for a key or a cancel.
    {
        SCOPED_TRACE("no key, then Esc");
        auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
        TSettingForm& f = *dialog;
        // A key handed in is not a key chosen in this dialog.
        TSetCommand request = Request(0x41, "C:\\edit.exe", "C:\\");
        EXPECT_EQ(Run(f, request, FileMode,
                      {PressShifted(VK_TAB), ReleaseShift(), ExpectFocus(f, "CommandEdit"), Press(VK_RETURN),
                       Do([&f] {
                           EXPECT_TRUE(f.Visible()) << "confirmed without a key";
                           EXPECT_EQ(f.ModalResult(), ui::kModalNone);
                           EXPECT_EQ(FocusName(f), "CommandEdit");
                       }),
                       Press(VK_RETURN), Do([&f] { EXPECT_TRUE(f.Visible()); }), Press(VK_ESCAPE)}),
                  0);
        EXPECT_FALSE(request.HasKey());
        EXPECT_EQ(request.Command, "C:\\edit.exe");
    }
    {
        SCOPED_TRACE("a key chosen, then Enter in CommandEdit with an edited command");
        auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
        TSettingForm& f = *dialog;
        TSetCommand request = Request(kNoKeyChosen, "C:\\edit.exe", "C:\\");
        EXPECT_EQ(Run(f, request, FileMode,
                      {Press('W'), PressShifted(VK_TAB), ReleaseShift(), ExpectFocus(f, "CommandEdit"),
                       Press(VK_END), Type(" -n"), Press(VK_RETURN)}),
                  1);
        EXPECT_EQ(request.KeyCode, 'W');
        EXPECT_EQ(request.Command, "C:\\edit.exe -n");
        EXPECT_EQ(request.WorkDir, "C:\\");
    }
}

// ---------------------------------------------------------------------------------------------
// Focus order

struct TabCase {
    const char* name;
    int mode;
    std::vector<Step> (*prelude)(TSettingForm&);
    const char* start;
    std::vector<const char*> forward;   // focus after each Tab
    std::vector<const char*> backward;  // focus after each Shift+Tab, from `start`
    const char* keyShown;               // KeyEdit afterwards: Tab was never taken for a key
};

TEST_F(SettingFormTest, TabAndShiftTabFollowTheTabOrderOverEnabledControls) {
    const TabCase cases[] = {
        {"KeyMode: KeyEdit is disabled",
         KeyMode,
         [](TSettingForm&) { return std::vector<Step>{}; },
         "CommandEdit",
         {"Browse", "PathEdit", "OKButton", "CancelButton", "CommandEdit"},
         {"CancelButton", "OKButton", "PathEdit", "Browse", "CommandEdit"},
         "E"},
        {"FileMode before a key: Browse, PathEdit and OKButton are disabled",
         FileMode,
         [](TSettingForm&) { return std::vector<Step>{}; },
         "KeyEdit",
         {"CancelButton", "CommandEdit", "KeyEdit"},
         {"CommandEdit", "CancelButton", "KeyEdit"},
         ""},
        {"FileMode after a key: OKButton joins",
         FileMode,
         [](TSettingForm&) { return std::vector<Step>{Press('K')}; },
         "KeyEdit",
         {"OKButton", "CancelButton", "CommandEdit", "KeyEdit"},
         {"CommandEdit", "CancelButton", "OKButton", "KeyEdit"},
         "K"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = ui::MakeForm<TSettingForm>(main->Handle());
        TSettingForm& f = *dialog;
        TSetCommand request = Request(c.mode == KeyMode ? 0x45 : kNoKeyChosen, "C:\\edit.exe", "C:\\");
        std::vector<Step> steps = c.prelude(f);
        steps.push_back(ExpectFocus(f, c.start));
        for (const char* name : c.forward) {
            steps.push_back(Press(VK_TAB));
            steps.push_back(ExpectFocus(f, name));
        }
        for (const char* name : c.backward) {
            steps.push_back(PressShifted(VK_TAB));
            steps.push_back(ReleaseShift());
            steps.push_back(ExpectFocus(f, name));
        }
        steps.push_back(Do([&f, &c] { EXPECT_EQ(f.KeyEdit.Text(), c.keyShown); }));
        steps.push_back(Click(f.CancelButton));
        EXPECT_EQ(Run(f, request, c.mode, std::move(steps)), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// The start-up instance is reused

TEST_F(SettingFormTest, StartupInstanceIsResetForEveryUseAndNeverTakenTwice) {
    TSettingForm& form = *SettingForm;
    const RECT placed = form.BoundsRect();

    TSetCommand first = Request(0x45, "C:\\Tools\\edit.exe", "C:\\Tools");
    EXPECT_EQ(
        Run(form, first, KeyMode, {Type("-x"), Press(VK_TAB), Press(VK_TAB), Type("-y"), Press(VK_ESCAPE)}),
        0);

    TSetCommand second = Request(VK_F5, "", "");
    EXPECT_EQ(Run(form, second, KeyMode,
                  {Do([&form] {
                       EXPECT_EQ(form.KeyEdit.Text(), "F5");
                       EXPECT_EQ(form.CommandEdit.Text(), "") << "the last use's text survived";
                       EXPECT_EQ(form.PathEdit.Text(), "");
                       EXPECT_EQ(FocusName(form), "CommandEdit") << "focus stayed where the last use left it";
                       EXPECT_TRUE(form.OKButton.Enabled());
                       EXPECT_FALSE(form.KeyEdit.Enabled());
                   }),
                   Type("C:\\a.exe"), Press(VK_RETURN)}),
              1);
    EXPECT_EQ(second.Command, "C:\\a.exe");
    EXPECT_EQ(second.WorkDir, "");

    // A registration asked for while one is open is refused and leaves the open one alone.
    TSetCommand open = Request('Q', "C:\\q.exe", "C:\\");
    TSetCommand nested = Request('R', "C:\\r.exe", "C:\\r");
    std::optional<int> nestedResult;
    EXPECT_EQ(Run(form, open, KeyMode,
                  {Do([&] { nestedResult = form.ShowRegistration(nested, FileMode); }), Do([&form] {
                       EXPECT_TRUE(form.Visible());
                       EXPECT_EQ(form.KeyEdit.Text(), "Q");
                       EXPECT_EQ(form.CommandEdit.Text(), "C:\\q.exe");
                   }),
                   Press(VK_RETURN)}),
              1);
    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(nested.KeyCode, 'R');
    EXPECT_EQ(nested.Command, "C:\\r.exe");
    EXPECT_EQ(open.Command, "C:\\q.exe");

    const RECT after = form.BoundsRect();
    EXPECT_EQ(after.left, placed.left) << "placed once at creation, not on every show";
    EXPECT_EQ(after.top, placed.top);
}

// ---------------------------------------------------------------------------------------------
// Layout and placement

struct ControlCase {
    const char* name;
    const ui::TControl* control;
    const char* windowClass;
    const char* caption;  // null: not checked (edits)
    RECT bounds;          // left, top, right, bottom in client pixels
    bool tabStop;
};

// At the DPI of the prefix (96, and 144 in the second run), then on monitors of another DPI: the
// layout's client size, positions and font scaled to each.
TEST_F(SettingFormTest, LayoutAtTheDpiOfTheMonitor) {
    TSettingForm& f = *SettingForm;
    EXPECT_EQ(f.Caption(), "登録ダイアログ");
    const LONG style = ::GetWindowLongA(f.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU) << "a close box";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(f.Visible()) << "created hidden";
    EXPECT_EQ(f.Owner(), app->Handle());
    EXPECT_FALSE(f.KeyPreview);
    EXPECT_FALSE(f.OKButton.Enabled()) << "a fresh dialog has OK disabled";
    EXPECT_EQ(f.OKButton.ModalResult, 1);
    EXPECT_EQ(f.CancelButton.ModalResult, 2);
    EXPECT_EQ(f.Browse.ModalResult, 0);
    EXPECT_TRUE(f.KeyEdit.ReadOnly());
    EXPECT_FALSE(f.CommandEdit.ReadOnly());
    EXPECT_FALSE(f.PathEdit.ReadOnly());

    const int systemDpi = test::TestDpi();
    for (const int dpi : {systemDpi, systemDpi == 96 ? 144 : 96, systemDpi}) {
        SCOPED_TRACE(dpi);
        if (dpi != f.Dpi())
            test::SendDpiChanged(f.Handle(), dpi, f.Dpi());
        EXPECT_EQ(f.ClientWidth(), test::AtDpi(233, dpi));
        EXPECT_EQ(f.ClientHeight(), test::AtDpi(205, dpi));
        EXPECT_EQ(test::FontHeight(f.Font()), -test::AtDpi(12, dpi));
        const ControlCase cases[] = {
            {"Label2", &f.Label2, "Static", "割り当てキー", {11, 18, 79, 30}, false},
            {"KeyEdit", &f.KeyEdit, "Edit", nullptr, {112, 16, 197, 36}, true},
            {"Label1", &f.Label1, "Static", "実行コマンド", {11, 59, 74, 71}, false},
            {"CommandEdit", &f.CommandEdit, "Edit", nullptr, {22, 83, 147, 103}, true},
            {"Browse", &f.Browse, "Button", "参照(&B)", {149, 82, 224, 107}, true},
            {"Label3", &f.Label3, "Static", "作業ディレクトリ", {13, 109, 94, 121}, false},
            {"PathEdit", &f.PathEdit, "Edit", nullptr, {22, 133, 146, 153}, true},
            {"OKButton", &f.OKButton, "Button", "確定(&O)", {60, 173, 135, 198}, true},
            {"CancelButton", &f.CancelButton, "Button", "取消(&C)", {149, 173, 224, 198}, true},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            // The table's edges at 96 DPI: position and size scale each on their own.
            const int left = test::AtDpi(c.bounds.left, dpi);
            const int top = test::AtDpi(c.bounds.top, dpi);
            const RECT want{left, top, left + test::AtDpi(c.bounds.right - c.bounds.left, dpi),
                            top + test::AtDpi(c.bounds.bottom - c.bounds.top, dpi)};
            const RECT r = c.control->BoundsRect();
            EXPECT_EQ(r.left, want.left);
            EXPECT_EQ(r.top, want.top);
            EXPECT_EQ(r.bottom, want.bottom);
            if (c.tabStop) {
                EXPECT_EQ(r.right, want.right);
            } else {
                // A label is as wide as the layout says or, where the font draws its caption wider,
                // as wide as the caption: it is never cut.
                EXPECT_GE(r.right, want.right);
                EXPECT_GE(r.right - r.left, test::TextExtent(f.Font(), c.caption).cx) << "the caption is cut";
            }
            EXPECT_EQ(::GetParent(c.control->Handle()), f.Handle());
            EXPECT_TRUE(test::IsClass(c.control->Handle(), c.windowClass))
                << test::ClassOf(c.control->Handle());
            if (c.caption) {
                EXPECT_EQ(c.control->Text(), c.caption);
            }
            EXPECT_EQ((::GetWindowLongA(c.control->Handle(), GWL_STYLE) & WS_TABSTOP) != 0, c.tabStop);
            EXPECT_TRUE(c.control->Visible());
            EXPECT_EQ(test::FontOf(c.control->Handle()), f.Font());
            const LONG buttonType = ::GetWindowLongA(c.control->Handle(), GWL_STYLE) & BS_TYPEMASK;
            if (test::IsClass(c.control->Handle(), "Button")) {
                EXPECT_EQ(buttonType, BS_PUSHBUTTON) << "no button is a default button";
            }
        }
    }
    const std::vector<ui::TControl*> order = f.TabOrder();
    const std::vector<ui::TControl*> expected = {&f.CommandEdit, &f.KeyEdit,  &f.Browse,
                                                 &f.PathEdit,    &f.OKButton, &f.CancelButton};
    EXPECT_EQ(order, expected);
}

TEST_F(SettingFormTest, DialogsAreCentredOnTheFullScreenAreaWhenCreated) {
    const int cx = ::GetSystemMetrics(SM_CXFULLSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYFULLSCREEN);
    auto dropDialog = ui::MakeForm<TSettingForm>(main->Handle());
    for (const TSettingForm* f : {SettingForm, dropDialog.get()}) {
        const RECT r = f->BoundsRect();
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        EXPECT_EQ(r.top, cy / 2 - h / 2);
        EXPECT_EQ(r.left, cx / 2 - w / 2);
        EXPECT_GT(w, 233) << "outer size, frame included";
    }
}

// Pasted rather than dropped: a name code page 932 cannot write is stored by its short form, and
// text that names no such file is refused with a message while the dialog stays open. Stored with
// '?', it would never start.
TEST_F(SettingFormTest, APastedNameCodePage932CannotWriteIsStoredByItsShortFormOrRefused) {
    test::ScratchDir scratch("setting_form");
    const std::wstring file = platform::Wide(scratch.Path()) + L"\\\uD55C\uAD6D\uC5B4.exe";
    ASSERT_TRUE(test::WriteBytes(file, "MZ"));
    wchar_t shortName[MAX_PATH] = {};
    const DWORD shortLength = ::GetShortPathNameW(file.c_str(), shortName, MAX_PATH);
    if (shortLength == 0 || std::wstring(shortName, shortLength) == file)
        GTEST_SKIP() << "this volume has no short names";
    TSettingForm& form = *SettingForm;
    const auto paste = [&form](std::wstring text) {
        return Do(
            [&form, text = std::move(text)] { ::SetWindowTextW(form.CommandEdit.Handle(), text.c_str()); });
    };
    {
        SCOPED_TRACE("a file that exists: its short form");
        TSetCommand request = Request(0x45, "old.exe", "old");
        EXPECT_EQ(Run(form, request, KeyMode, {paste(file), Click(form.OKButton)}), 1);
        EXPECT_EQ(request.Command, platform::Narrow(shortName)) << test::Printable(request.Command);
    }
    SCOPED_TRACE("no such file: refused, the dialog stays open and the request keeps its command");
    // Each way of confirming asks once: the OK button, then Enter in the field.
    std::optional<test::MessageBoxAnswerer> clicked(std::in_place, dialog_text::kSettingCaption, IDOK);
    std::optional<test::MessageBoxAnswerer> entered;
    const auto usableAgain = [&form] { return form.Visible() && ::IsWindowEnabled(form.Handle()); };
    TSetCommand request = Request(0x45, "old.exe", "old");
    EXPECT_EQ(Run(form, request, KeyMode,
                  {paste(L"C:\\nowhere\\\uD55C.exe"), Click(form.OKButton), usableAgain, Do([&] {
                       EXPECT_EQ(form.ModalResult(), ui::kModalNone);
                       EXPECT_EQ(clicked->Seen().text, dialog_text::kNameNotRegistrable)
                           << test::Printable(clicked->Seen().text);
                       entered.emplace(dialog_text::kSettingCaption, IDOK);
                   }),
                   Press(VK_RETURN), usableAgain, Press(VK_ESCAPE)}),
              0);
    EXPECT_EQ(entered->Seen().text, dialog_text::kNameNotRegistrable)
        << test::Printable(entered->Seen().text);
    EXPECT_EQ(request.Command, "old.exe");
}

// ---------------------------------------------------------------------------------------------
// Browse

// Types `path` into the open-file dialog's file name field and presses Enter there.
Step ChooseInOpenDialog(const TSettingForm& form, std::string path) {
    return [&form, path = std::move(path)] {
        const HWND open = test::FindOwnedWindow(form.Handle(), "#32770");
        if (!open)
            return false;
        HWND name = ::GetDlgItem(open, cmb13);
        if (HWND inner = name ? ::FindWindowExW(name, nullptr, L"Edit", nullptr) : nullptr)
            name = inner;
        if (!name)
            name = ::GetDlgItem(open, edt1);
        EXPECT_NE(name, nullptr) << "no file name field in the open-file dialog";
        if (!name)
            return false;
        EXPECT_FALSE(::IsWindowEnabled(form.Handle())) << "the open-file dialog is modal to the dialog";
        ::SetWindowTextW(name, platform::Wide(path).c_str());
        PostKey(name, VK_RETURN);
        return true;
    };
}

Step CancelOpenDialog(const TSettingForm& form) {
    return [&form] {
        const HWND open = test::FindOwnedWindow(form.Handle(), "#32770");
        if (!open)
            return false;
        ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
}

// Waits until the open-file dialog has gone and the registration dialog is usable again.
Step WaitBack(const TSettingForm& form) {
    return [&form] {
        return !test::FindOwnedWindow(form.Handle(), "#32770") && ::IsWindowEnabled(form.Handle());
    };
}

bool MakeFile(const std::string& path) {
    return test::WriteBytes(path, "MZ");
}

TEST_F(SettingFormTest, BrowseFillsTheCommandAndItsFolder) {
    test::ScratchDir scratch("setting_form");
    const std::string root = "C:\\rivo_setting_form_edit.exe";
    const std::string tool = scratch.Path() + "\\Program Files\\Tool";
    const std::string japanese = scratch.Path() + "\\表示ソフト";  // 表 and ソ end in byte 0x5C
    ASSERT_TRUE(test::MakeDirectory(scratch.Path() + "\\Program Files"));
    ASSERT_TRUE(test::MakeDirectory(tool));
    ASSERT_TRUE(test::MakeDirectory(japanese));
    ASSERT_TRUE(MakeFile(root));
    ASSERT_TRUE(MakeFile(tool + "\\tool.exe"));
    ASSERT_TRUE(MakeFile(japanese + "\\表.exe"));
    platform::ScopeExit removeRoot([&root] { test::RemoveFile(root); });

    struct Case {
        const char* name;
        std::string file;
        std::string folder;
        bool byEnter;  // Enter on the focused Browse button instead of a click
    };
    const Case cases[] = {
        {"a file at the root keeps the root's backslash", root, "C:\\", false},
        {"a folder with a space", tool + "\\tool.exe", tool, true},
        {"trail bytes 0x5C are not separators", japanese + "\\表.exe", japanese, false},
    };
    TSettingForm& form = *SettingForm;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TSetCommand request = Request(0x45, "old.exe", "old");
        std::vector<Step> steps;
        if (c.byEnter) {
            steps = {Press(VK_TAB), ExpectFocus(form, "Browse"), Press(VK_RETURN)};
        } else {
            steps = {Click(form.Browse)};
        }
        steps.push_back(ChooseInOpenDialog(form, c.file));
        steps.push_back(WaitBack(form));
        steps.push_back(Do([&form, &c] {
            // The dialog shows the path as the system spells it; compare without case.
            EXPECT_TRUE(test::SamePath(form.CommandEdit.Text(), c.file))
                << test::Printable(form.CommandEdit.Text());
            EXPECT_TRUE(test::SamePath(form.PathEdit.Text(), c.folder))
                << test::Printable(form.PathEdit.Text());
        }));
        steps.push_back(Click(form.OKButton));
        EXPECT_EQ(Run(form, request, KeyMode, std::move(steps)), 1);
        EXPECT_TRUE(test::SamePath(request.Command, c.file));
        EXPECT_TRUE(test::SamePath(request.WorkDir, c.folder));
    }

    SCOPED_TRACE("a cancelled open-file dialog changes nothing");
    TSetCommand request = Request(0x45, "old.exe", "old");
    EXPECT_EQ(Run(form, request, KeyMode,
                  {Click(form.Browse), CancelOpenDialog(form), WaitBack(form), Do([&form] {
                       EXPECT_EQ(form.CommandEdit.Text(), "old.exe");
                       EXPECT_EQ(form.PathEdit.Text(), "old");
                   }),
                   Click(form.OKButton)}),
              1);
    EXPECT_EQ(request.Command, "old.exe");
    EXPECT_EQ(request.WorkDir, "old");
}

}  // namespace
}  // namespace rivo
