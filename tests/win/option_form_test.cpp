// The options dialog, shown modally on the test thread and driven from a second thread with
// posted clicks and keys; what ends up in TRivoMainSet is checked after it has closed.
#include "dialogs/option_form.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/launcher_state.h"
#include "core/rivo_main_set.h"
#include "platform/window_text.h"
#include "tests/win/driver/layout_reader.h"
#include "tests/win/driver/modal_driver.h"
#include "tests/win/driver/window_finder.h"
#include "ui/application.h"

namespace rivo {
namespace {

const std::string kCaption = "設定";
const std::string kViewCaption = "コマンド一覧";
const std::string kConfirmCaption = "確認";

bool SameSettings(const TRivoMainSet& a, const TRivoMainSet& b) {
    return a.Top == b.Top && a.Left == b.Left && a.Key1 == b.Key1 && a.Key2 == b.Key2 &&
           a.SetKey == b.SetKey && a.EndKey == b.EndKey && a.FormType == b.FormType && a.Filter == b.Filter;
}

// The settings right after loading a file that holds no keys: the four default keys filtered.
TRivoMainSet DefaultSettings() {
    TRivoMainSet settings;
    settings.Filter.fill(0);
    settings.ForceKeyFilters();
    return settings;
}

int RowOf(const TOptionForm& form, int key) {
    const auto it = std::find(form.RowKeyCode.begin(), form.RowKeyCode.end(), key);
    return it == form.RowKeyCode.end() ? -1 : static_cast<int>(it - form.RowKeyCode.begin());
}

// What the dialog shows, read on its own thread.
struct Shown {
    std::vector<int> selectedKeys;  // key codes of the selected filter rows
    int rows = 0;
    int caret = -1;
    int top = -1;
    std::array<int, 4> comboKeys{};  // key code shown by each combo box, -1 for none
    std::array<bool, 3> radios{};
    std::array<int, 4> comboRows{};
};

Shown Read(const TOptionForm& form) {
    Shown shown;
    shown.rows = form.FilterList.Count();
    for (int r = 0; r < shown.rows; ++r) {
        if (form.FilterList.Selected(r))
            shown.selectedKeys.push_back(form.RowKeyCode[static_cast<size_t>(r)]);
    }
    shown.caret = form.FilterList.CaretIndex();
    shown.top = form.FilterList.TopIndex();
    const ui::TComboBox* combos[] = {&form.Key1Combo, &form.Key2Combo, &form.SetCB, &form.EndCB};
    for (int c = 0; c < 4; ++c) {
        const int index = combos[c]->ItemIndex();
        shown.comboKeys[static_cast<size_t>(c)] =
            index < 0 ? -1 : form.RowKeyCode[static_cast<size_t>(index)];
        shown.comboRows[static_cast<size_t>(c)] = combos[c]->Count();
    }
    shown.radios = {form.FormTypeRadio1.Checked(), form.FormTypeRadio2.Checked(),
                    form.FormTypeRadio3.Checked()};
    return shown;
}

class OptionFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildKeyNameTable(KeyNameTable);
        CommandTable = {};
        WorkDirTable = {};
        app.emplace();
        ASSERT_EQ(app->Dpi(), test::TestDpi()) << "the layout is checked at the prefix's DPI";
        invoker.emplace();
    }
    void TearDown() override {
        invoker.reset();
        app.reset();
        CommandTable = {};
        WorkDirTable = {};
    }

    // ShowOptions on this thread while `script` drives the dialog from another.
    int ShowAndDrive(TOptionForm& form, TRivoMainSet& settings,
                     const std::function<void(HWND window)>& script, bool* clean = nullptr) {
        int result = 0;
        std::string failure;
        const bool finished = test::ShowAndDrive(
            "TOptionForm", kCaption, {kViewCaption, kCaption}, script,
            [&] { result = form.ShowOptions(settings); }, &failure);
        EXPECT_EQ(failure, "");
        if (clean)
            *clean = finished;
        return result;
    }

    template <class F>
    auto OnUi(F step) {
        return invoker->Get(step);
    }
    void DoOnUi(const std::function<void()>& step) { invoker->Run(step); }

    // Toggles a filter row with a click on it, as the mouse does.
    void ClickFilterRow(const TOptionForm& form, int key) {
        const int row = RowOf(form, key);
        ASSERT_GE(row, 0) << key;
        DoOnUi(
            [&] { ::SendMessageA(form.FilterList.Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(row), 0); });
        RECT item{};
        ::SendMessageA(form.FilterList.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
        test::PostClickAt(form.FilterList.Handle(),
                          {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        // The next row's position is worked out only after this click has been handled.
        invoker->Flush();
    }

    std::optional<ui::TApplication> app;
    std::optional<test::UiInvoker> invoker;
};

// ---------------------------------------------------------------------------------------------
// Opening

struct OpeningCase {
    const char* name;
    std::function<void(TRivoMainSet&)> setUp;
    std::vector<int> selectedKeys;
    std::array<int, 4> comboKeys;
    std::array<bool, 3> radios;
};

TEST_F(OptionFormTest, OpensShowingTheSettings) {
    const OpeningCase cases[] = {
        {"defaults", [](TRivoMainSet&) {}, {16, 17, 45, 46}, {16, 17, 45, 46}, {true, false, false}},
        {"only the value 1 filters; a far row selected still opens at the top",
         [](TRivoMainSet& s) {
             s.Filter[0x41] = 1;
             s.Filter[0x42] = 2;
             s.Filter[0x43] = 255;
             s.Filter[0xE5] = 1;
             s.Filter[8] = 1;
             s.FormType = 1;
         },
         {8, 16, 17, 45, 46, 0x41, 0xE5},
         {16, 17, 45, 46},
         {false, true, false}},
        {"a key above 255 shows its low byte; a key without a name shows nothing",
         [](TRivoMainSet& s) {
             s.Key1 = 256 + 0x41;
             s.Key2 = 28;
             s.SetKey = 0x70;
             s.EndKey = 0xE5;
             s.FormType = 2;
         },
         {16, 17, 45, 46},
         {0x41, -1, 0x70, 0xE5},
         {false, false, true}},
        {"a window mode of 3 checks no radio button",
         [](TRivoMainSet& s) { s.FormType = 3; },
         {16, 17, 45, 46},
         {16, 17, 45, 46},
         {false, false, false}},
    };
    int namedKeys = 0;
    for (const std::string& name : KeyNameTable) {
        namedKeys += name.empty() ? 0 : 1;
    }
    for (const OpeningCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRivoMainSet settings = DefaultSettings();
        c.setUp(settings);
        auto form = ui::MakeForm<TOptionForm>();
        Shown shown;
        ShowAndDrive(*form, settings, [&](HWND window) {
            shown = OnUi([&] { return Read(*form); });
            test::PostClick(form->Button2.Handle());
            test::WaitUntilHidden(window);
        });
        EXPECT_EQ(shown.rows, namedKeys);
        EXPECT_EQ(shown.comboRows, (std::array<int, 4>{namedKeys, namedKeys, namedKeys, namedKeys}));
        EXPECT_EQ(shown.selectedKeys, c.selectedKeys);
        EXPECT_EQ(shown.comboKeys, c.comboKeys);
        EXPECT_EQ(shown.radios, c.radios);
        EXPECT_EQ(shown.caret, 0) << "the caret is on the first row";
        EXPECT_EQ(shown.top, 0) << "the list shows its first row";
    }
}

TEST_F(OptionFormTest, RowsAreTheNamedKeysInCodeOrderInAllFiveLists) {
    auto form = ui::MakeForm<TOptionForm>();
    form->SettingsToControls();
    std::vector<int> expected;
    for (int k = 0; k < kKeyCount; ++k) {
        if (!KeyNameTable[k].empty())
            expected.push_back(k);
    }
    EXPECT_EQ(std::vector<int>(form->RowKeyCode.begin(), form->RowKeyCode.end()), expected);
    ASSERT_EQ(form->FilterList.Count(), static_cast<int>(expected.size()));
    for (size_t r = 0; r < expected.size(); ++r) {
        const int row = static_cast<int>(r);
        const std::string& name = KeyNameTable[expected[r]];
        EXPECT_EQ(form->FilterList.Item(row), name);
        for (const ui::TComboBox* combo : {&form->Key1Combo, &form->Key2Combo, &form->SetCB, &form->EndCB}) {
            EXPECT_EQ(combo->Item(row), name) << "row " << r;
        }
    }
    EXPECT_EQ(form->FilterList.ItemHeight(), 12);
    // Repeated names are separate rows of their own codes.
    EXPECT_EQ(form->FilterList.Item(RowOf(*form, 58)), form->FilterList.Item(RowOf(*form, 186)));
    EXPECT_NE(RowOf(*form, 58), RowOf(*form, 186));
}

// ---------------------------------------------------------------------------------------------
// Ending

enum class Ending {
    OkButton,
    EnterInList,
    EnterInCombo,
    CancelButton,
    EscapeInList,
    EscapeOnOk,
    CloseBox,
    EnterOnCancel
};

struct EndingCase {
    const char* name;
    Ending ending;
    int result;
};

TEST_F(OptionFormTest, OkStoresTheChoicesAndEveryOtherEndingLeavesTheSettingsAlone) {
    const EndingCase cases[] = {
        {"OK button", Ending::OkButton, 1},
        {"Enter in the filter list", Ending::EnterInList, 1},
        {"Enter in a combo box", Ending::EnterInCombo, 1},
        {"Cancel button", Ending::CancelButton, 0},
        {"Escape in the filter list", Ending::EscapeInList, 0},
        {"Escape on the OK button", Ending::EscapeOnOk, 0},
        {"close box", Ending::CloseBox, 0},
        {"Enter on the focused Cancel button", Ending::EnterOnCancel, 0},
    };
    for (const EndingCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRivoMainSet settings = DefaultSettings();
        settings.Filter[0x42] = 2;
        settings.Filter[0x43] = 1;
        settings.Top = 12;
        settings.Left = 34;
        const TRivoMainSet before = settings;
        auto form = ui::MakeForm<TOptionForm>();
        bool clean = false;
        const int result = ShowAndDrive(
            *form, settings,
            [&](HWND window) {
                // The user's choices: A filtered, C and Shift no longer, Ctrl unselected too
                // (it stays a call-up key), Key1 one row down (Shift to Ctrl) by keyboard, EndKey
                // F1, "always hidden".
                ClickFilterRow(*form, 0x41);
                ClickFilterRow(*form, 0x43);
                ClickFilterRow(*form, 16);
                ClickFilterRow(*form, 17);
                DoOnUi([&] { form->Key1Combo.SetFocus(); });
                test::PostKey(form->Key1Combo.Handle(), VK_DOWN);
                DoOnUi([&] { form->EndCB.SetItemIndex(RowOf(*form, 0x70)); });
                test::PostClick(form->FormTypeRadio3.Handle());
                test::WaitUntil([&] { return OnUi([&] { return form->FormTypeRadio3.Checked(); }); });
                const auto focus = [&](ui::TControl& control) {
                    invoker->Flush();
                    DoOnUi([&] { control.SetFocus(); });
                    return control.Handle();
                };
                switch (c.ending) {
                    case Ending::OkButton:
                        test::PostClick(form->Button1.Handle());
                        break;
                    case Ending::EnterInList:
                        test::PostKey(focus(form->FilterList), VK_RETURN);
                        break;
                    case Ending::EnterInCombo:
                        test::PostKey(focus(form->SetCB), VK_RETURN);
                        break;
                    case Ending::CancelButton:
                        test::PostClick(form->Button2.Handle());
                        break;
                    case Ending::EscapeInList:
                        test::PostKey(focus(form->FilterList), VK_ESCAPE);
                        break;
                    case Ending::EscapeOnOk:
                        test::PostKey(focus(form->Button1), VK_ESCAPE);
                        break;
                    case Ending::CloseBox:
                        ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                        break;
                    case Ending::EnterOnCancel:
                        test::PostKey(focus(form->Button2), VK_RETURN);
                        break;
                }
                EXPECT_TRUE(test::WaitUntilHidden(window));
            },
            &clean);
        EXPECT_TRUE(clean);
        EXPECT_EQ(result, c.result);
        if (c.result == 0) {
            EXPECT_TRUE(SameSettings(settings, before)) << "nothing changes without OK";
            continue;
        }
        EXPECT_EQ(settings.Key1, 17);
        EXPECT_EQ(settings.Key2, 17) << "the same key twice is accepted";
        EXPECT_EQ(settings.SetKey, 45);
        EXPECT_EQ(settings.EndKey, 0x70);
        EXPECT_EQ(settings.FormType, 2);
        EXPECT_EQ(settings.Filter[0x41], 1);
        EXPECT_EQ(settings.Filter[0x42], 0) << "the value 2 was shown unselected and is stored as 0";
        EXPECT_EQ(settings.Filter[0x43], 0);
        EXPECT_EQ(settings.Filter[16], 0) << "Shift is no longer a call-up key and was unselected";
        EXPECT_EQ(settings.Filter[17], 1) << "a call-up key is filtered whatever the list says";
        EXPECT_EQ(settings.Filter[45], 1);
        EXPECT_EQ(settings.Filter[46], 1) << "the old end key keeps its flag: it stayed selected";
        EXPECT_EQ(settings.Filter[0x70], 1) << "the new end key is forced filtered";
        EXPECT_EQ(settings.Top, 12);
        EXPECT_EQ(settings.Left, 34);
    }
}

struct KeptCase {
    const char* name;
    std::function<void(TRivoMainSet&)> setUp;
    std::function<void(const TRivoMainSet&)> check;
};

TEST_F(OptionFormTest, OkWithoutTouchingKeepsWhatTheControlsCannotShow) {
    const KeptCase cases[] = {
        {"window mode 3 stays 3", [](TRivoMainSet& s) { s.FormType = 3; },
         [](const TRivoMainSet& s) { EXPECT_EQ(s.FormType, 3); }},
        {"a key without a name is kept and filtered", [](TRivoMainSet& s) { s.Key2 = 28; },
         [](const TRivoMainSet& s) {
             EXPECT_EQ(s.Key2, 28);
             EXPECT_EQ(s.Filter[28], 1);
         }},
        {"a key above 255 is stored as its low byte",
         [](TRivoMainSet& s) {
             s.Key1 = 256 + 0x41;
             s.SetKey = 257;
         },
         [](const TRivoMainSet& s) {
             EXPECT_EQ(s.Key1, 0x41);
             EXPECT_EQ(s.SetKey, 1) << "1 has no name: its combo box had no selection";
             EXPECT_EQ(s.Filter[0x41], 1);
             EXPECT_EQ(s.Filter[1], 1);
         }},
        {"a filter value other than 0 and 1 becomes 0", [](TRivoMainSet& s) { s.Filter[0x20] = 7; },
         [](const TRivoMainSet& s) { EXPECT_EQ(s.Filter[0x20], 0); }},
    };
    for (const KeptCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRivoMainSet settings = DefaultSettings();
        c.setUp(settings);
        auto form = ui::MakeForm<TOptionForm>();
        const int result = ShowAndDrive(*form, settings, [&](HWND window) {
            test::PostClick(form->Button1.Handle());
            test::WaitUntilHidden(window);
        });
        EXPECT_EQ(result, 1);
        c.check(settings);
    }
}

// ---------------------------------------------------------------------------------------------
// Keyboard within the dialog

TEST_F(OptionFormTest, TabVisitsTheGroupsInOrderAndOnlyTheCheckedRadioButton) {
    TRivoMainSet settings = DefaultSettings();
    settings.FormType = 1;
    auto form = ui::MakeForm<TOptionForm>();
    std::vector<HWND> visited;
    std::vector<HWND> afterArrow;
    ShowAndDrive(*form, settings, [&](HWND window) {
        DoOnUi([&] { form->FilterList.SetFocus(); });
        const DWORD thread = invoker->Thread();
        visited.push_back(test::FocusOf(thread));
        for (int i = 0; i < 10; ++i) {
            HWND focused = test::FocusOf(thread);
            test::PostKey(focused, VK_TAB);
            test::WaitUntil([&] { return test::FocusOf(thread) != focused; }, 1000);
            visited.push_back(test::FocusOf(thread));
        }
        // The arrow keys move within the radio group, checking as they go.
        DoOnUi([&] { form->FormTypeRadio2.SetFocus(); });
        test::PostKey(form->FormTypeRadio2.Handle(), VK_DOWN);
        test::WaitUntil([&] { return OnUi([&] { return form->FormTypeRadio3.Checked(); }); }, 1000);
        afterArrow = {test::FocusOf(thread)};
        test::PostKey(test::FocusOf(thread), VK_ESCAPE);
        test::WaitUntilHidden(window);
    });
    const std::vector<HWND> expected = {
        form->FilterList.Handle(), form->Key1Combo.Handle(), form->Key2Combo.Handle(),
        form->SetCB.Handle(),      form->EndCB.Handle(),     form->FormTypeRadio2.Handle(),
        form->Button1.Handle(),    form->Button2.Handle(),   form->Button3.Handle(),
        form->ViewButton.Handle(), form->FilterList.Handle()};
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(afterArrow, std::vector<HWND>{form->FormTypeRadio3.Handle()});
    EXPECT_EQ(settings.FormType, 1) << "Escape: unchanged";
}

// ---------------------------------------------------------------------------------------------
// The command list from the options dialog

TEST_F(OptionFormTest, CommandListOpensOverTheDialogAndItsDeletionsOutliveCancel) {
    CommandTable[0x41] = "a.exe";
    WorkDirTable[0x41] = "C:\\a";
    CommandTable[0x42] = "b.exe";
    WorkDirTable[0x42] = "C:\\b";
    TRivoMainSet settings = DefaultSettings();
    const TRivoMainSet before = settings;
    auto form = ui::MakeForm<TOptionForm>();
    // The caller's save: the deletions as they were when it ran, and whether the dialog still was.
    std::vector<std::string> saved;
    form->OnCommandsDeleted = [&] {
        saved.push_back(CommandTable[0x41] + "|" + CommandTable[0x42] +
                        (::IsWindowVisible(form->Handle()) ? "|dialog open" : "|dialog closed"));
    };
    HWND listOwner = nullptr;
    bool dialogEnabledMeanwhile = true;
    bool dialogEnabledAfter = false;
    bool listTopmost = false;
    bool clean = false;
    const int result = ShowAndDrive(
        *form, settings,
        [&](HWND window) {
            // Opened and closed without a deletion: nothing to save.
            test::PostClick(form->ViewButton.Handle());
            HWND unchanged = test::WaitForWindow("TViewForm", kViewCaption);
            ASSERT_TRUE(unchanged);
            test::PostKey(unchanged, VK_ESCAPE);
            EXPECT_TRUE(test::WaitUntilHidden(unchanged));
            test::WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }, 2000);

            test::PostClick(form->ViewButton.Handle());
            HWND list = test::WaitForWindow("TViewForm", kViewCaption);
            ASSERT_TRUE(list);
            listOwner = ::GetWindow(list, GW_OWNER);
            listTopmost = (::GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            dialogEnabledMeanwhile = ::IsWindowEnabled(window) != FALSE;
            HWND listView = ::FindWindowExA(list, nullptr, "SysListView32", nullptr);
            ASSERT_TRUE(listView);
            DoOnUi([&] {
                LVITEMA state{};
                state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
                ::SendMessageA(listView, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
            });
            test::PostKey(listView, VK_DELETE);
            EXPECT_EQ(test::AnswerMessageBox(kConfirmCaption, IDYES).text, "コマンド：a.exe\nを削除します。");
            test::PostKey(listView, VK_ESCAPE);
            EXPECT_TRUE(test::WaitUntilHidden(list));
            test::WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }, 2000);
            dialogEnabledAfter = ::IsWindowEnabled(window) != FALSE;
            test::PostClick(form->Button2.Handle());
            test::WaitUntilHidden(window);
        },
        &clean);
    EXPECT_TRUE(clean);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(listOwner, app->Handle()) << "the list is owned by the application's window";
    EXPECT_TRUE(listTopmost);
    EXPECT_FALSE(dialogEnabledMeanwhile) << "the options dialog waits for the list";
    EXPECT_TRUE(dialogEnabledAfter);
    EXPECT_EQ(CommandTable[0x41], "") << "the deletion survives Cancel";
    EXPECT_EQ(WorkDirTable[0x41], "");
    EXPECT_EQ(CommandTable[0x42], "b.exe");
    EXPECT_EQ(WorkDirTable[0x42], "C:\\b");
    EXPECT_TRUE(SameSettings(settings, before));
    EXPECT_EQ(saved, std::vector<std::string>{"|b.exe|dialog open"})
        << "saved once, when the list closed after the deletion, before the dialog's answer";
}

// ---------------------------------------------------------------------------------------------
// Layout

struct LayoutCase {
    const char* name;
    HWND window;
    HWND parent;
    std::string caption;
    RECT bounds;  // left, top, right, bottom in the parent's client area
};

// The width of a static control's caption on one line, 0 for a control that is not a static.
int LabelTextWidth(HWND window, HFONT font) {
    return test::IsClass(window, "Static") ? test::TextExtentOfWindow(window, font).cx : 0;
}

// The options dialog laid out for `dpi`: client size, font, and each control's caption, parent and
// bounds (a label may be wider, to show its caption in a fallback face).
void ExpectOptionLayout(TOptionForm& f, int dpi) {
    const HWND window = f.Handle();
    const auto Rect = [dpi](int left, int top, int width, int height) {
        const int l = test::AtDpi(left, dpi);
        const int t = test::AtDpi(top, dpi);
        return RECT{l, t, l + test::AtDpi(width, dpi), t + test::AtDpi(height, dpi)};
    };
    EXPECT_EQ(f.ClientWidth(), test::AtDpi(346, dpi));
    EXPECT_EQ(f.ClientHeight(), test::AtDpi(309, dpi));
    EXPECT_EQ(test::FontHeight(f.Font()), -test::AtDpi(12, dpi));
    EXPECT_EQ(::SendMessageA(f.FilterList.Handle(), LB_GETITEMHEIGHT, 0, 0), test::AtDpi(12, dpi));

    const LayoutCase controls[] = {
        {"GroupBox1", f.GroupBox1.Handle(), window, "キーのフィルタ", Rect(4, 4, 135, 301)},
        {"FilterList", f.FilterList.Handle(), f.GroupBox1.Handle(), "", Rect(17, 16, 100, 276)},
        {"GroupBox2", f.GroupBox2.Handle(), window, "呼び出しキー", Rect(148, 4, 196, 85)},
        {"Label1", f.Label1.Handle(), f.GroupBox2.Handle(), "キー１", Rect(8, 18, 32, 12)},
        {"Key1Combo", f.Key1Combo.Handle(), f.GroupBox2.Handle(), "", Rect(48, 14, 126, 20)},
        {"Label2", f.Label2.Handle(), f.GroupBox2.Handle(), "キー２", Rect(8, 46, 32, 12)},
        {"Key2Combo", f.Key2Combo.Handle(), f.GroupBox2.Handle(), "", Rect(48, 42, 126, 20)},
        {"Label4", f.Label4.Handle(), f.GroupBox2.Handle(), "キー１は、変更キーにもなります。",
         Rect(8, 71, 172, 12)},
        {"GroupBox4", f.GroupBox4.Handle(), window, "コマンドキー", Rect(148, 92, 196, 69)},
        {"Label5", f.Label5.Handle(), f.GroupBox4.Handle(), "設定", Rect(8, 18, 24, 12)},
        {"SetCB", f.SetCB.Handle(), f.GroupBox4.Handle(), "", Rect(48, 14, 126, 20)},
        {"Label6", f.Label6.Handle(), f.GroupBox4.Handle(), "終了", Rect(8, 46, 24, 12)},
        {"EndCB", f.EndCB.Handle(), f.GroupBox4.Handle(), "", Rect(48, 42, 126, 20)},
        {"GroupBox3", f.GroupBox3.Handle(), window, "ウィンドウの動作", Rect(148, 165, 196, 74)},
        {"FormTypeRadio1", f.FormTypeRadio1.Handle(), f.GroupBox3.Handle(), "非アクティブ時は最小化。(&1)",
         Rect(10, 17, 172, 17)},
        {"FormTypeRadio2", f.FormTypeRadio2.Handle(), f.GroupBox3.Handle(), "色で変化をつける。(&2)",
         Rect(10, 35, 172, 17)},
        {"FormTypeRadio3", f.FormTypeRadio3.Handle(), f.GroupBox3.Handle(), "常に非表示。(&3)",
         Rect(10, 52, 172, 17)},
        {"ViewButton", f.ViewButton.Handle(), window, "一覧表示(&V)", Rect(150, 242, 186, 25)},
        {"Button1", f.Button1.Handle(), window, "確定(&O)", Rect(149, 271, 58, 25)},
        {"Button2", f.Button2.Handle(), window, "取消(&C)", Rect(213, 271, 58, 25)},
        {"Button3", f.Button3.Handle(), window, "ヘルプ(&H)", Rect(278, 271, 58, 25)},
        {"Label3", f.Label3.Handle(), window, "Rivo Ver 1.18 Orni", Rect(245, 296, 98, 12)},
    };
    for (const LayoutCase& c : controls) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(::GetParent(c.window), c.parent);
        EXPECT_EQ(test::FontOf(c.window), f.Font());
        if (!c.caption.empty()) {
            EXPECT_EQ(test::TextOfWindow(c.window), c.caption);
        }
        const RECT r = test::BoundsInParent(c.window);
        EXPECT_EQ(r.top, c.bounds.top);
        EXPECT_EQ(r.bottom, c.bounds.bottom);
        const int textWidth = LabelTextWidth(c.window, f.Font());
        if (textWidth <= c.bounds.right - c.bounds.left) {
            EXPECT_EQ(r.left, c.bounds.left);
            EXPECT_EQ(r.right, c.bounds.right);
        } else {
            // A caption wider than its box in the face this system has (a fallback of
            // "ＭＳ Ｐゴシック"): the label grows to show all of it inside its parent.
            RECT parent{};
            ::GetClientRect(c.parent, &parent);
            EXPECT_GE(r.right - r.left, std::min(textWidth, static_cast<int>(parent.right)));
            EXPECT_LE(r.right, parent.right);
            EXPECT_LE(r.left, c.bounds.left);
            EXPECT_GE(r.left, 0);
        }
    }
}

// At the DPI of the prefix (96, and 144 in the second run), then on monitors of another DPI: the
// layout's client size, positions and font scaled to each.
TEST_F(OptionFormTest, WindowAndControlsFollowTheLayoutAtTheDpiOfTheMonitor) {
    ui::FormLayout ownerLayout;
    ownerLayout.clientWidth = 100;
    ownerLayout.clientHeight = 100;
    ui::TForm owner(ownerLayout);
    auto form = ui::MakeForm<TOptionForm>(owner.Handle());
    TOptionForm& f = *form;
    const HWND window = f.Handle();

    EXPECT_EQ(f.Caption(), kCaption);
    const LONG style = ::GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU) << "a close box";
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)
        << "fixed size, no other border icons";
    EXPECT_EQ(::GetWindow(window, GW_OWNER), owner.Handle());
    EXPECT_TRUE(f.KeyPreview);
    EXPECT_EQ(f.Top(), ::GetSystemMetrics(SM_CYFULLSCREEN) / 2 - f.Height() / 2) << "centred";
    EXPECT_EQ(f.Left(), ::GetSystemMetrics(SM_CXFULLSCREEN) / 2 - f.Width() / 2);
    EXPECT_EQ(f.Button1.ModalResult, 1);
    EXPECT_EQ(f.Button2.ModalResult, 2);
    EXPECT_EQ(f.Button3.ModalResult, 0);
    EXPECT_EQ(f.ViewButton.ModalResult, 0);

    const int systemDpi = test::TestDpi();
    for (const int dpi : {systemDpi, systemDpi == 96 ? 144 : 96, systemDpi}) {
        SCOPED_TRACE(dpi);
        if (dpi != f.Dpi())
            test::SendDpiChanged(window, dpi, f.Dpi());
        ExpectOptionLayout(f, dpi);
    }
    const LONG listStyle = ::GetWindowLongA(f.FilterList.Handle(), GWL_STYLE);
    EXPECT_TRUE(listStyle & LBS_MULTIPLESEL);
    EXPECT_FALSE(listStyle & (LBS_EXTENDEDSEL | LBS_SORT));
    for (const ui::TComboBox* combo : {&f.Key1Combo, &f.Key2Combo, &f.SetCB, &f.EndCB}) {
        const LONG comboStyle = ::GetWindowLongA(combo->Handle(), GWL_STYLE);
        EXPECT_EQ(comboStyle & 3, CBS_DROPDOWNLIST) << "pick from the list only";
        EXPECT_FALSE(comboStyle & CBS_SORT);
    }
}

}  // namespace
}  // namespace rivo
