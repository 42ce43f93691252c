// The command list window, shown modally on the test thread and driven from a second thread
// with posted keys and clicks; its message boxes are read and answered like a user would.
#include "dialogs/view_form.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/launcher_state.h"
#include "platform/wide_text.h"
#include "tests/win/driver/layout_reader.h"
#include "tests/win/driver/modal_driver.h"
#include "tests/win/driver/window_finder.h"
#include "ui/application.h"

namespace rivo {
namespace {

const std::string kCaption = "コマンド一覧";
const std::string kMessageCaption = "Message";
const std::string kConfirmCaption = "確認";
const std::string kSelectItem = "項目を選択してください。";

struct Row {
    std::string key;
    std::string command;
    std::int32_t keyCode;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.keyCode << " '" << row.key << "' '" << row.command << "'}";
}

// The rows as the list shows them, with the key code of the data each row carries.
std::vector<Row> RowsOf(const TViewForm& view) {
    std::vector<Row> rows;
    for (int r = 0; r < view.KeyListView.RowCount(); ++r) {
        const auto* data = static_cast<const TKeyListData*>(view.KeyListView.RowData(r));
        rows.push_back(
            {view.KeyListView.RowText(r, 0), view.KeyListView.RowText(r, 1), data ? data->KeyCode : -1});
        if (data) {
            EXPECT_EQ(data->KeyName, rows.back().key);
            EXPECT_EQ(data->Command, rows.back().command);
        }
    }
    return rows;
}

class ViewFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildKeyNameTable(KeyNameTable);
        app.emplace();
        ASSERT_EQ(app->Dpi(), test::TestDpi()) << "the layout is checked at the prefix's DPI";
        invoker.emplace();
    }
    void TearDown() override {
        invoker.reset();
        app.reset();
    }

    void Register(int key, const std::string& command, const std::string& workDir = "") {
        commands[key] = command;
        workDirs[key] = workDir;
    }

    // Runs ShowList on this thread while `script` drives the window from another; false when
    // the script left the window open and it had to be closed for it.
    bool ShowAndDrive(TViewForm& view, const std::function<void(HWND window)>& script) {
        std::string failure;
        const bool clean = test::ShowAndDrive(
            "TViewForm", kCaption, {kCaption}, script, [&] { view.ShowList(commands, workDirs); }, &failure);
        EXPECT_EQ(failure, "");
        return clean;
    }

    // Runs `step` on the window's thread and returns its result.
    template <class F>
    auto OnUi(F step) {
        return invoker->Get(step);
    }
    void DoOnUi(const std::function<void()>& step) { invoker->Run(step); }

    std::optional<ui::TApplication> app;
    std::optional<test::UiInvoker> invoker;
    KeyStringTable commands{};
    KeyStringTable workDirs{};
};

// ---------------------------------------------------------------------------------------------
// What the list shows

struct ContentCase {
    const char* name;
    std::vector<std::pair<int, std::string>> registered;
    std::vector<Row> expected;
};

TEST_F(ViewFormTest, ListsEveryRegisteredKeyInKeyOrderWithItsName) {
    const ContentCase cases[] = {
        {"nothing registered", {}, {}},
        {"one letter", {{0x41, "a.exe"}}, {{"A", "a.exe", 0x41}}},
        {"names from the table, the character for 48-90, nothing for unnamed keys",
         {{0x70, "f1.exe"},
          {0xBA, "colon.exe"},
          {28, "conv.exe"},
          {58, "c58.exe"},
          {0x41, "C:\\ソフト\\表.exe"},
          {0xFF, "last.exe"},
          {48, "zero.exe"},
          {90, "z.exe"},
          {47, "help.exe"}},
         {{"", "conv.exe", 28},
          {"Help", "help.exe", 47},
          {"0", "zero.exe", 48},
          {":", "c58.exe", 58},
          {"A", "C:\\ソフト\\表.exe", 0x41},
          {"Z", "z.exe", 90},
          {"F1", "f1.exe", 0x70},
          {":", "colon.exe", 0xBA},
          {"", "last.exe", 0xFF}}},
    };
    for (const ContentCase& c : cases) {
        SCOPED_TRACE(c.name);
        commands = {};
        workDirs = {};
        for (const auto& [key, command] : c.registered) {
            Register(key, command, "C:\\dir" + std::to_string(key));
        }
        auto view = ui::MakeForm<TViewForm>();
        std::vector<Row> shown;
        int selected = 0;
        const bool clean = ShowAndDrive(*view, [&](HWND window) {
            shown = OnUi([&] { return RowsOf(*view); });
            selected = OnUi([&] { return view->KeyListView.Selected(); });
            test::PostKey(view->KeyListView.Handle(), VK_ESCAPE);
            EXPECT_TRUE(test::WaitUntilHidden(window));
        });
        EXPECT_TRUE(clean);
        EXPECT_EQ(shown, c.expected);
        EXPECT_EQ(selected, -1) << "the list opens without a selection";
        EXPECT_EQ(view->KeyListView.RowCount(), 0) << "closing empties the list";
        for (const auto& [key, command] : c.registered) {
            EXPECT_EQ(commands[key], command) << "closing changes nothing";
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting

enum class Trigger { DeleteKey, ButtonClick };

struct NoSelectionCase {
    const char* name;
    bool registered;
    Trigger trigger;
};

TEST_F(ViewFormTest, DeletingWithoutASelectedRowAsksForOneAndChangesNothing) {
    const NoSelectionCase cases[] = {
        {"empty list, Delete key", false, Trigger::DeleteKey},
        {"empty list, delete button", false, Trigger::ButtonClick},
        {"rows but none selected, Delete key", true, Trigger::DeleteKey},
        {"rows but none selected, delete button", true, Trigger::ButtonClick},
    };
    for (const NoSelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        commands = {};
        workDirs = {};
        if (c.registered)
            Register(0x41, "a.exe", "C:\\a");
        const KeyStringTable commandsBefore = commands;
        const KeyStringTable workDirsBefore = workDirs;
        auto view = ui::MakeForm<TViewForm>();
        test::MessageBoxSeen box;
        bool openAfterwards = false;
        ShowAndDrive(*view, [&](HWND window) {
            if (c.trigger == Trigger::DeleteKey) {
                test::PostKey(view->KeyListView.Handle(), VK_DELETE);
            } else {
                test::PostClick(view->DelButton.Handle());
            }
            box = test::AnswerMessageBox(kMessageCaption, IDOK);
            openAfterwards = ::IsWindowVisible(window) != FALSE;
            EXPECT_FALSE(test::MessageBoxAppears(kConfirmCaption, 300)) << "no question follows";
            test::PostKey(view->KeyListView.Handle(), VK_ESCAPE);
            test::WaitUntilHidden(window);
        });
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, kSelectItem);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK}) << "an OK button only";
        EXPECT_TRUE(openAfterwards);
        EXPECT_EQ(commands, commandsBefore);
        EXPECT_EQ(workDirs, workDirsBefore);
    }
}

struct AnswerCase {
    const char* name;
    int answer;
    bool deleted;
};

TEST_F(ViewFormTest, TheDeleteQuestionNamesTheCommandAndOnlyYesDeletes) {
    const AnswerCase cases[] = {
        {"No keeps everything", IDNO, false},
        {"Yes deletes command and working directory", IDYES, true},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        commands = {};
        workDirs = {};
        Register(0x41, "a.exe", "C:\\a");
        Register(0x42, "C:\\ソフト\\表.exe", "C:\\ソフト");
        Register(0x70, "f1.exe", "");
        auto view = ui::MakeForm<TViewForm>();
        test::MessageBoxSeen box;
        std::vector<Row> rowsAfter;
        int selectedAfter = -2;
        ShowAndDrive(*view, [&](HWND window) {
            DoOnUi([&] { view->KeyListView.Select(1); });
            test::PostClick(view->DelButton.Handle());
            box = test::AnswerMessageBox(kConfirmCaption, c.answer);
            // The list is rebuilt before the click's handling returns; read it once it is back.
            test::WaitUntil(
                [&] { return OnUi([&] { return view->KeyListView.RowCount(); }) == (c.deleted ? 2 : 3); });
            rowsAfter = OnUi([&] { return RowsOf(*view); });
            selectedAfter = OnUi([&] { return view->KeyListView.Selected(); });
            EXPECT_TRUE(::IsWindowVisible(window)) << "deleting does not close the list";
            test::PostKey(view->KeyListView.Handle(), VK_ESCAPE);
            test::WaitUntilHidden(window);
        });
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, "コマンド：C:\\ソフト\\表.exe\nを削除します。");
        EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
        if (c.deleted) {
            EXPECT_EQ(commands[0x42], "");
            EXPECT_EQ(workDirs[0x42], "");
            EXPECT_EQ(rowsAfter, (std::vector<Row>{{"A", "a.exe", 0x41}, {"F1", "f1.exe", 0x70}}));
            EXPECT_EQ(selectedAfter, -1) << "the rebuilt list has no selection";
        } else {
            EXPECT_EQ(commands[0x42], "C:\\ソフト\\表.exe");
            EXPECT_EQ(workDirs[0x42], "C:\\ソフト");
            EXPECT_EQ(rowsAfter.size(), 3u);
            EXPECT_EQ(selectedAfter, 1);
        }
        EXPECT_EQ(commands[0x41], "a.exe");
        EXPECT_EQ(workDirs[0x41], "C:\\a");
        EXPECT_EQ(commands[0x70], "f1.exe");
    }
}

TEST_F(ViewFormTest, RowsCanBeDeletedOneAfterAnother) {
    Register(0x41, "a.exe", "C:\\a");
    Register(0x42, "b.exe", "C:\\b");
    auto view = ui::MakeForm<TViewForm>();
    std::vector<std::string> questions;
    ShowAndDrive(*view, [&](HWND window) {
        for (int round = 0; round < 2; ++round) {
            DoOnUi([&] { view->KeyListView.Select(0); });
            test::PostKey(view->KeyListView.Handle(), VK_DELETE);
            questions.push_back(test::AnswerMessageBox(kConfirmCaption, IDYES).text);
        }
        test::WaitUntil([&] { return OnUi([&] { return view->KeyListView.RowCount(); }) == 0; });
        test::PostKey(view->KeyListView.Handle(), VK_DELETE);
        EXPECT_EQ(test::AnswerMessageBox(kMessageCaption, IDOK).text, kSelectItem);
        test::PostKey(view->KeyListView.Handle(), VK_ESCAPE);
        test::WaitUntilHidden(window);
    });
    EXPECT_EQ(questions, (std::vector<std::string>{"コマンド：a.exe\nを削除します。",
                                                   "コマンド：b.exe\nを削除します。"}));
    EXPECT_EQ(commands, KeyStringTable{});
    EXPECT_EQ(workDirs, KeyStringTable{});
}

// ---------------------------------------------------------------------------------------------
// Keys

enum class Target { List, DelButton, CloseButton, Window };
enum class Effect { AsksToDelete, Closes };

struct KeyCase {
    const char* name;
    Target focus;
    WORD key;
    Effect effect;
};

TEST_F(ViewFormTest, DeleteEnterAndEscapeActWhereverTheFocusIs) {
    const KeyCase cases[] = {
        {"Delete in the list", Target::List, VK_DELETE, Effect::AsksToDelete},
        {"Delete on the delete button", Target::DelButton, VK_DELETE, Effect::AsksToDelete},
        {"Delete on the close button", Target::CloseButton, VK_DELETE, Effect::AsksToDelete},
        {"Delete on the window itself", Target::Window, VK_DELETE, Effect::AsksToDelete},
        {"Enter in the list", Target::List, VK_RETURN, Effect::Closes},
        {"Enter on the focused delete button deletes instead", Target::DelButton, VK_RETURN,
         Effect::AsksToDelete},
        {"Enter on the focused close button", Target::CloseButton, VK_RETURN, Effect::Closes},
        {"Enter on the window itself", Target::Window, VK_RETURN, Effect::Closes},
        {"Escape in the list", Target::List, VK_ESCAPE, Effect::Closes},
        {"Escape on the delete button", Target::DelButton, VK_ESCAPE, Effect::Closes},
        {"Escape on the close button", Target::CloseButton, VK_ESCAPE, Effect::Closes},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        commands = {};
        workDirs = {};
        Register(0x41, "a.exe", "C:\\a");
        auto view = ui::MakeForm<TViewForm>();
        const HWND targets[] = {view->KeyListView.Handle(), view->DelButton.Handle(),
                                view->CloseButton.Handle(), view->Handle()};
        const HWND target = targets[static_cast<int>(c.focus)];
        bool asked = false;
        bool closedByKey = false;
        HWND focused = nullptr;
        const bool clean = ShowAndDrive(*view, [&](HWND window) {
            DoOnUi([&] {
                view->KeyListView.Select(0);
                ::SetFocus(target);
            });
            focused = test::FocusOf(invoker->Thread());
            test::PostKey(target, c.key);
            if (c.effect == Effect::AsksToDelete) {
                asked = test::AnswerMessageBox(kConfirmCaption, IDNO).found;
                DoOnUi([] {});  // a sentinel: the window thread has finished handling the answer
                EXPECT_TRUE(::IsWindowVisible(window)) << "the key did not close the window too";
                test::PostKey(view->KeyListView.Handle(), VK_ESCAPE);
                test::WaitUntilHidden(window);
            } else {
                closedByKey = test::WaitUntilHidden(window);
                asked = test::MessageBoxAppears(kConfirmCaption, 200);
            }
        });
        EXPECT_EQ(focused, target) << "the focus was where the case puts it";
        EXPECT_TRUE(clean);
        EXPECT_EQ(asked, c.effect == Effect::AsksToDelete);
        if (c.effect == Effect::Closes) {
            EXPECT_TRUE(closedByKey);
            EXPECT_EQ(view->KeyListView.RowCount(), 0) << "closed through the close button's handler";
        }
        EXPECT_EQ(commands[0x41], "a.exe");
    }
}

// ---------------------------------------------------------------------------------------------
// Size and layout

int WidthOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.right - r.left;
}

// Windows 10 and 11 draw thinner frames and a taller caption than the classic ones that Wine
// draws; a taller caption, set for the duration of a case, stands for them.
class TallerCaption {
public:
    explicit TallerCaption(int extra) {
        saved_.cbSize = sizeof saved_;
        ok_ = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0) != FALSE;
        NONCLIENTMETRICSA taller = saved_;
        taller.iCaptionHeight += extra;
        ok_ = ok_ && ::SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof taller, &taller, 0) != FALSE;
    }
    ~TallerCaption() { ::SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_, 0); }
    TallerCaption(const TallerCaption&) = delete;
    TallerCaption& operator=(const TallerCaption&) = delete;
    bool Ok() const { return ok_; }

private:
    NONCLIENTMETRICSA saved_{};
    bool ok_ = false;
};

TEST_F(ViewFormTest, ClientStays395HighWhileTheControlsFollowTheWidthWhateverTheFrame) {
    for (const int extraCaption : {0, 5}) {
        SCOPED_TRACE("caption " + std::to_string(extraCaption) + " px taller than the classic one");
        std::optional<TallerCaption> frame;
        if (extraCaption != 0) {
            frame.emplace(extraCaption);
            ASSERT_TRUE(frame->Ok());
        }
        auto view = ui::MakeForm<TViewForm>();
        EXPECT_EQ(view->ClientHeight(), 395);
        EXPECT_EQ(view->ClientWidth(), 389);
        if (extraCaption == 0) {
            EXPECT_EQ(view->Height(), 422) << "the classic frame";
        }
        const struct {
            int width;
            int height;
        } sizes[] = {{520, 600}, {300, 422}, {640, 200}, {397, 422}};
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
            ::SetWindowPos(view->Handle(), nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(view->ClientHeight(), 395);
            EXPECT_EQ(view->Width(), size.width);
            for (HWND control :
                 {view->KeyListView.Handle(), view->DelButton.Handle(), view->CloseButton.Handle()}) {
                EXPECT_EQ(WidthOf(control), view->ClientWidth()) << "as wide as the client area";
            }
            EXPECT_EQ(test::BoundsInParent(view->KeyListView.Handle()).bottom, 349)
                << "the list keeps its height";
            EXPECT_EQ(test::BoundsInParent(view->DelButton.Handle()).top, 354);
            EXPECT_EQ(test::BoundsInParent(view->CloseButton.Handle()).top, 374);
        }

        // Dragging an edge: the rectangle the system proposes comes back with the window's own
        // 395-pixel-client height, the dragged edge giving way and the opposite one staying.
        const int outerHeight = view->Height();
        const struct {
            WPARAM edge;
            bool topEdge;
        } edges[] = {{WMSZ_BOTTOM, false}, {WMSZ_BOTTOMRIGHT, false}, {WMSZ_BOTTOMLEFT, false},
                     {WMSZ_TOP, true},     {WMSZ_TOPLEFT, true},      {WMSZ_TOPRIGHT, true}};
        for (const auto& e : edges) {
            SCOPED_TRACE(e.edge);
            RECT proposed{100, 50, 600, 700};
            ::SendMessageA(view->Handle(), WM_SIZING, e.edge, reinterpret_cast<LPARAM>(&proposed));
            EXPECT_EQ(proposed.bottom - proposed.top, outerHeight);
            EXPECT_EQ(proposed.right - proposed.left, 500) << "the width is the user's";
            EXPECT_EQ(e.topEdge ? proposed.bottom : proposed.top, e.topEdge ? 700 : 50);
        }
    }
}

struct ControlCase {
    const char* name;
    HWND window;
    const char* className;
    std::string caption;
    RECT bounds;
};

// The command list at the DPI of the prefix (96, and 144 in the second run), then on monitors of
// another DPI: client height, positions, font and columns scaled to each; the width is the one
// Windows suggests (the user's, scaled), and the list and buttons follow it.
TEST_F(ViewFormTest, WindowAndControlsFollowTheLayoutAtTheDpiOfTheMonitor) {
    ui::FormLayout ownerLayout;
    ownerLayout.clientWidth = 100;
    ownerLayout.clientHeight = 100;
    ui::TForm owner(ownerLayout);
    auto view = ui::MakeForm<TViewForm>(owner.Handle());
    const HWND window = view->Handle();

    EXPECT_EQ(view->Caption(), kCaption);
    const LONG style = ::GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), WS_CAPTION | WS_THICKFRAME) << "a sizeable frame";
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "no system menu, no border icons";
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), owner.Handle());
    EXPECT_TRUE(view->KeyPreview);
    EXPECT_EQ(view->Top(), ::GetSystemMetrics(SM_CYFULLSCREEN) / 2 - view->Height() / 2) << "centred";
    EXPECT_EQ(view->Left(), ::GetSystemMetrics(SM_CXFULLSCREEN) / 2 - view->Width() / 2);

    const int systemDpi = test::TestDpi();
    for (const int dpi : {systemDpi, systemDpi == 96 ? 144 : 96, systemDpi}) {
        SCOPED_TRACE(dpi);
        int width = test::AtDpi(389, dpi);
        if (dpi != view->Dpi()) {
            const RECT suggested = test::SendDpiChanged(window, dpi, view->Dpi());
            EXPECT_EQ(view->Width(), suggested.right - suggested.left);
            width = view->ClientWidth();
        }
        const auto at = [dpi](int pixels) { return test::AtDpi(pixels, dpi); };
        EXPECT_EQ(view->ClientWidth(), width);
        EXPECT_EQ(view->ClientHeight(), at(395));
        EXPECT_EQ(test::FontHeight(view->Font()), -at(12));

        const ControlCase controls[] = {
            {"KeyListView", view->KeyListView.Handle(), "SysListView32", "", {0, 0, width, at(349)}},
            {"DelButton",
             view->DelButton.Handle(),
             "Button",
             "削除(&D)",
             {0, at(354), width, at(354) + at(19)}},
            {"CloseButton",
             view->CloseButton.Handle(),
             "Button",
             "閉じる(&C)",
             {0, at(374), width, at(374) + at(19)}},
        };
        for (const ControlCase& c : controls) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(::GetParent(c.window), window);
            EXPECT_EQ(test::FontOf(c.window), view->Font());
            EXPECT_TRUE(test::IsClass(c.window, c.className)) << test::ClassOf(c.window);
            EXPECT_EQ(test::TextOfWindow(c.window), c.caption);
            const RECT r = test::BoundsInParent(c.window);
            EXPECT_EQ(r.left, c.bounds.left);
            EXPECT_EQ(r.top, c.bounds.top);
            EXPECT_EQ(r.right, c.bounds.right);
            EXPECT_EQ(r.bottom, c.bounds.bottom);
        }
        const HWND header =
            reinterpret_cast<HWND>(::SendMessageA(view->KeyListView.Handle(), LVM_GETHEADER, 0, 0));
        ASSERT_TRUE(header);
        const struct {
            const char* caption;
            int width;
        } columns[] = {{"キー", 50}, {"コマンド", 330}};
        ASSERT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 2);
        for (int i = 0; i < 2; ++i) {
            wchar_t text[64] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            item.pszText = text;
            item.cchTextMax = static_cast<int>(std::size(text));
            ASSERT_TRUE(::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i),
                                       reinterpret_cast<LPARAM>(&item)));
            EXPECT_EQ(platform::Narrow(text), columns[i].caption);
            EXPECT_EQ(item.cxy, at(columns[i].width));
        }
    }

    std::vector<HWND> tabOrder;
    for (ui::TControl* control : view->TabOrder()) {
        tabOrder.push_back(control->Handle());
    }
    EXPECT_EQ(tabOrder, (std::vector<HWND>{view->KeyListView.Handle(), view->CloseButton.Handle(),
                                           view->DelButton.Handle()}));

    // The list: two fixed columns, headers that are not buttons, report style with one row
    // selectable and no caption editing, grid lines and whole-row highlight.
    const HWND list = view->KeyListView.Handle();
    const LONG listStyle = ::GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(listStyle & LVS_SINGLESEL);
    EXPECT_TRUE(listStyle & LVS_NOSORTHEADER);
    EXPECT_FALSE(listStyle & LVS_EDITLABELS);
    EXPECT_FALSE(listStyle & (LVS_SORTASCENDING | LVS_SORTDESCENDING));
    const LRESULT extended = ::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    EXPECT_FALSE(::GetWindowLongA(header, GWL_STYLE) & HDS_BUTTONS);
}

}  // namespace
}  // namespace rivo
