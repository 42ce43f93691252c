// The form layer's dialog side under Wine: controls on a form, dialog keys, key preview, routing
// of notifications, and ShowModal with its owner handling, driven from inside the modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/win/driver/modal_driver.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"

namespace rivo::ui {
namespace {

using test::Do;
using test::PostAltKey;
using test::PostKey;
using test::Script;
using Step = Script::Step;

FormLayout DialogLayout(const char* caption) {
    FormLayout layout;
    layout.className = "RivoModalTest";
    layout.caption = caption;
    layout.clientWidth = 240;
    layout.clientHeight = 120;
    layout.left = 100;
    layout.top = 100;
    return layout;
}

// Two edits and three buttons, in this tab order: First, Second, Ok (&O), Cancel (&C), Extra (&&X).
class TestDialog : public TForm {
public:
    explicit TestDialog(HWND owner = nullptr)
        : TForm(DialogLayout("modal"), owner),
          Caption(*this, Handle(), "&Name", {4, 4, 60, 12}),
          First(*this, Handle(), {4, 20, 100, 20}),
          Second(*this, Handle(), {4, 44, 100, 20}),
          Ok(*this, Handle(), "&OK", {4, 80, 60, 24}, kModalOk),
          Cancel(*this, Handle(), "&Cancel", {70, 80, 60, 24}, kModalCancel),
          Extra(*this, Handle(), "&&X", {136, 80, 60, 24}) {}

    TLabel Caption;
    TEdit First;
    TEdit Second;
    TButton Ok;
    TButton Cancel;
    TButton Extra;

    std::string FocusName() const {
        const HWND focus = ::GetFocus();
        const std::pair<const TControl*, const char*> names[] = {
            {&First, "First"}, {&Second, "Second"}, {&Ok, "Ok"}, {&Cancel, "Cancel"}, {&Extra, "Extra"}};
        for (const auto& [control, name] : names) {
            if (control->Handle() == focus)
                return name;
        }
        return focus == Handle() ? "form" : "elsewhere";
    }
};

class UiModalTest : public ::testing::Test {
protected:
    void SetUp() override { app.emplace(); }
    void TearDown() override { app.reset(); }

    // ShowModal with `steps` run inside its loop once the form is up and active; unless
    // `mayEndEarly`, all of them must have run when the loop ends.
    int RunModal(TForm& form, std::vector<Step> steps, bool mayEndEarly = false) {
        steps.insert(steps.begin(),
                     [&form] { return form.Visible() && ::GetActiveWindow() == form.Handle(); });
        Script script(std::move(steps), [&form] { form.SetModalResult(kModalCancel); });
        const int result = form.ShowModal();
        EXPECT_TRUE(mayEndEarly || script.Finished())
            << "the loop ended after " << script.Completed() << " steps " << script.Failure();
        EXPECT_EQ(script.Failure(), "");
        return result;
    }

    std::optional<TApplication> app;
};

// ---------------------------------------------------------------------------------------------

struct KeyRouteCase {
    const char* name;
    bool keyPreview;
    bool formConsumes;
    std::vector<std::string> seen;  // who saw the key, in order
    bool reachedTheEdit;            // the edit's own handling typed the key
};

TEST_F(UiModalTest, KeyPreviewDecidesWhoSeesAKeyFirst) {
    const KeyRouteCase cases[] = {
        {"no preview: the focused control only", false, false, {"First"}, true},
        {"preview: the form, then the control", true, false, {"form", "First"}, true},
        {"preview, the form consumes it", true, true, {"form"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dialog;
        dialog.KeyPreview = c.keyPreview;
        std::vector<std::string> seen;
        dialog.OnKeyDown = [&seen, &c](WORD& key, ShiftState) {
            if (key != VK_END)
                return;
            seen.push_back("form");
            if (c.formConsumes)
                key = 0;
        };
        dialog.First.OnKeyDown = [&seen](WORD& key, ShiftState) {
            if (key == VK_END)
                seen.push_back("First");
        };
        dialog.First.SetText("abc");
        DWORD caret = 99;
        EXPECT_EQ(RunModal(dialog, {Do([&dialog] { dialog.First.SetFocus(); }), Do([] {
                                        ::SendMessageA(::GetFocus(), EM_SETSEL, 0, 0);
                                        PostKey(VK_END);
                                    }),
                                    Do([&dialog, &caret] {
                                        ::SendMessageA(dialog.First.Handle(), EM_GETSEL, 0,
                                                       reinterpret_cast<LPARAM>(&caret));
                                        dialog.SetModalResult(kModalCancel);
                                    })}),
                  kModalCancel);
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(caret == 3, c.reachedTheEdit) << "caret at " << caret;
    }
}

TEST_F(UiModalTest, TheFormSeesKeysWhenNoControlHasTheFocus) {
    TestDialog dialog;
    std::vector<WORD> keys;
    dialog.OnKeyDown = [&keys](WORD& key, ShiftState) { keys.push_back(key); };
    dialog.First.SetEnabled(false);
    dialog.Second.SetEnabled(false);
    dialog.Ok.SetEnabled(false);
    dialog.Cancel.SetEnabled(false);
    dialog.Extra.SetEnabled(false);
    EXPECT_EQ(RunModal(dialog, {Do([&dialog] { EXPECT_EQ(dialog.FocusName(), "form"); }),
                                Do([&dialog] { PostKey(dialog.Handle(), 'Q'); }),
                                Do([&dialog] { dialog.SetModalResult(7); })}),
              7);
    EXPECT_EQ(keys, std::vector<WORD>{'Q'});
}

TEST_F(UiModalTest, TabSkipsDisabledAndHiddenControlsAndWraps) {
    TestDialog dialog;
    dialog.Second.SetEnabled(false);
    dialog.Cancel.SetVisible(false);
    std::vector<std::string> order;
    std::vector<Step> steps = {Do([&dialog] { dialog.First.SetFocus(); })};
    for (int i = 0; i < 4; ++i) {
        steps.push_back(Do([] { PostKey(VK_TAB); }));
        steps.push_back(Do([&dialog, &order] { order.push_back(dialog.FocusName()); }));
    }
    steps.push_back(Do([&dialog] { dialog.SetModalResult(kModalCancel); }));
    RunModal(dialog, std::move(steps));
    EXPECT_EQ(order, (std::vector<std::string>{"Ok", "Extra", "First", "Ok"}));
}

TEST_F(UiModalTest, SetTabOrderReplacesTheCreationOrder) {
    TestDialog dialog;
    dialog.SetTabOrder({&dialog.Cancel, &dialog.First, &dialog.Ok});
    std::vector<std::string> order;
    std::vector<Step> steps = {Do([&dialog] { dialog.Cancel.SetFocus(); })};
    for (int i = 0; i < 3; ++i) {
        steps.push_back(Do([] { PostKey(VK_TAB); }));
        steps.push_back(Do([&dialog, &order] { order.push_back(dialog.FocusName()); }));
    }
    steps.push_back(Do([&dialog] { dialog.SetModalResult(kModalCancel); }));
    RunModal(dialog, std::move(steps));
    EXPECT_EQ(order, (std::vector<std::string>{"First", "Ok", "Cancel"}))
        << "controls left out are no tab stops";
}

// A result no button gives: the case ends the loop itself when nothing else did.
constexpr int kStillOpen = 99;

struct ButtonKeyCase {
    const char* name;
    std::function<void(TestDialog&)> press;
    int result;
    std::vector<std::string> clicked;
    bool okSawTheKeyDown;
    const char* focusAfter = nullptr;  // where the focus is when OK's handler runs, if given
};

TEST_F(UiModalTest, ButtonsAnswerEnterSpaceAccessKeysAndClicks) {
    const ButtonKeyCase cases[] = {
        {"Enter on a focused button clicks it, its key-down never sees Enter",
         [](TestDialog& d) {
             d.Ok.SetFocus();
             PostKey(VK_RETURN);
         },
         kModalOk,
         {"Ok"},
         false},
        {"Enter in an edit is the edit's key, no button is the default",
         [](TestDialog& d) {
             d.First.SetFocus();
             PostKey(VK_RETURN);
         },
         kStillOpen,
         {},
         false},
        {"Space on a focused button clicks it",
         [](TestDialog& d) {
             d.Cancel.SetFocus();
             PostKey(VK_SPACE);
         },
         kModalCancel,
         {"Cancel"},
         false},
        {"Alt+O clicks &OK from an edit, without moving the focus",
         [](TestDialog& d) {
             d.Second.SetFocus();
             PostAltKey('O');
         },
         kModalOk,
         {"Ok"},
         false,
         "Second"},
        {"Alt+C clicks &Cancel", [](TestDialog&) { PostAltKey('C'); }, kModalCancel, {"Cancel"}, false},
        {"Alt+C clicks &Cancel, not an edit holding a typed '&c'",
         [](TestDialog& d) {
             d.First.SetText("C:\\Tom&co\\x.exe");
             d.Second.SetFocus();
             PostAltKey('C');
         },
         kModalCancel,
         {"Cancel"},
         false},
        {"Alt+X: && is a literal ampersand, no access key",
         [](TestDialog&) { PostAltKey('X'); },
         kStillOpen,
         {},
         false},
        {"Alt+O on a disabled OK does nothing",
         [](TestDialog& d) {
             d.Ok.SetEnabled(false);
             PostAltKey('O');
         },
         kStillOpen,
         {},
         false},
        {"Esc on a focused button is its key-down",
         [](TestDialog& d) {
             d.Ok.SetFocus();
             PostKey(VK_ESCAPE);
         },
         kStillOpen,
         {},
         true},
        {"a click",
         [](TestDialog& d) { ::PostMessageA(d.Extra.Handle(), BM_CLICK, 0, 0); },
         kStillOpen,
         {"Extra"},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dialog;
        std::vector<std::string> clicked;
        bool okSawKey = false;
        std::string focusAtClick;
        dialog.Ok.OnClick = [&clicked, &dialog, &focusAtClick] {
            // The button's modal result is on the form before its handler runs.
            EXPECT_EQ(dialog.ModalResult(), kModalOk);
            clicked.push_back("Ok");
            focusAtClick = dialog.FocusName();
        };
        dialog.Cancel.OnClick = [&clicked] { clicked.push_back("Cancel"); };
        dialog.Extra.OnClick = [&clicked] { clicked.push_back("Extra"); };
        dialog.Ok.OnKeyDown = [&okSawKey](WORD&, ShiftState) { okSawKey = true; };
        // The second step runs only when the key left the dialog open.
        const int result = RunModal(
            dialog, {Do([&] { c.press(dialog); }), Do([&] { dialog.SetModalResult(kStillOpen); })}, true);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(clicked, c.clicked);
        EXPECT_EQ(okSawKey, c.okSawTheKeyDown);
        if (c.focusAfter) {
            EXPECT_EQ(focusAtClick, c.focusAfter);
        }
    }
}

TEST_F(UiModalTest, AClickHandlerMayTakeBackItsModalResult) {
    TestDialog dialog;
    int clicks = 0;
    dialog.Ok.OnClick = [&dialog, &clicks] {
        if (++clicks == 1)
            dialog.SetModalResult(kModalNone);  // e.g. a failed check: the dialog stays
    };
    EXPECT_EQ(RunModal(dialog, {Do([&dialog] { ::PostMessageA(dialog.Ok.Handle(), BM_CLICK, 0, 0); }),
                                Do([&dialog] { EXPECT_TRUE(dialog.Visible()); }),
                                Do([&dialog] { ::PostMessageA(dialog.Ok.Handle(), BM_CLICK, 0, 0); })}),
              kModalOk);
    EXPECT_EQ(clicks, 2);
}

TEST_F(UiModalTest, ModalShowDisablesTheThreadsWindowsAndEnablesThemAgain) {
    TestDialog ownerForm;
    TestDialog hiddenForm;
    TestDialog disabledForm;
    ownerForm.Show(SW_SHOWNOACTIVATE);
    disabledForm.Show(SW_SHOWNOACTIVATE);
    ::EnableWindow(disabledForm.Handle(), FALSE);
    TestDialog dialog(ownerForm.Handle());
    EXPECT_EQ(dialog.Owner(), ownerForm.Handle());
    EXPECT_EQ(ownerForm.Owner(), app->Handle());

    std::vector<HWND> enabledDuring;
    RunModal(
        dialog,
        {Do([&] {
             for (HWND w : {ownerForm.Handle(), hiddenForm.Handle(), app->Handle(), disabledForm.Handle()})
                 if (::IsWindowEnabled(w))
                     enabledDuring.push_back(w);
             EXPECT_TRUE(::IsWindowEnabled(dialog.Handle()));
             EXPECT_TRUE(dialog.InModalLoop());
         }),
         Do([&dialog] { ::PostMessageA(dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); })});
    EXPECT_TRUE(enabledDuring.empty()) << enabledDuring.size() << " windows stayed usable";
    EXPECT_TRUE(::IsWindowEnabled(ownerForm.Handle()));
    EXPECT_TRUE(::IsWindowEnabled(hiddenForm.Handle()));
    EXPECT_TRUE(::IsWindowEnabled(app->Handle()));
    EXPECT_FALSE(::IsWindowEnabled(disabledForm.Handle())) << "a window disabled before stays disabled";
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.InModalLoop());
    EXPECT_EQ(dialog.ModalResult(), kModalCancel) << "the close box of a modal form cancels";

    // Not modal any more: the close box hides, as for any form that is not the main one.
    dialog.Show();
    ::SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(UiModalTest, QuitDuringNestedModalShowsCancelsThemAllAndEndsTheApplicationLoop) {
    FormLayout mainLayout = DialogLayout("main");
    mainLayout.className = "RivoModalTestMain";
    TForm& mainForm = app->CreateForm<TForm>(mainLayout);
    TestDialog outer;
    TestDialog inner;
    std::optional<int> outerResult;
    std::optional<int> innerResult;
    std::unique_ptr<Script> script;
    mainForm.OnKeyDown = [&](WORD& key, ShiftState) {
        if (key != VK_F2)
            return;
        script = std::make_unique<Script>(
            std::vector<Step>{[&outer] { return outer.Visible(); },
                              Do([&outer] { ::PostMessageA(outer.Handle(), WM_KEYDOWN, VK_F3, 1); }),
                              [&inner] { return inner.Visible(); }, Do([] { ::PostQuitMessage(0); }),
                              // Only reached if the outer loop outlives the quit; giving up ends it.
                              [] { return false; }},
            [&] {
                inner.SetModalResult(kModalCancel);
                outer.SetModalResult(kModalCancel);
            });
        outerResult = outer.ShowModal();
    };
    // The outer dialog's own key handler opens the inner one (no control has the focus there).
    outer.First.SetEnabled(false);
    outer.Second.SetEnabled(false);
    outer.Ok.SetEnabled(false);
    outer.Cancel.SetEnabled(false);
    outer.Extra.SetEnabled(false);
    outer.OnKeyDown = [&](WORD& key, ShiftState) {
        if (key == VK_F3)
            innerResult = inner.ShowModal();
    };
    app->SetShowMainForm(false);
    ::PostMessageA(mainForm.Handle(), WM_KEYDOWN, VK_F2, 1);
    app->Run();
    ASSERT_TRUE(outerResult.has_value());
    ASSERT_TRUE(innerResult.has_value());
    EXPECT_EQ(*innerResult, kModalCancel);
    EXPECT_EQ(*outerResult, kModalCancel) << "the outer dialog did not see the quit";
    EXPECT_TRUE(app->Terminated());
    MSG left;
    EXPECT_FALSE(::PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        << "a WM_QUIT was left behind";
    EXPECT_EQ(script->Completed(), 4u) << script->Failure();
    EXPECT_FALSE(script->GaveUp()) << "the outer dialog kept running after the quit";
}

TEST_F(UiModalTest, FocusComesBackToTheControlThatHadItOnReactivation) {
    TestDialog dialog;
    TestDialog other;
    RunModal(dialog, {Do([&dialog] { dialog.Second.SetFocus(); }), Do([&other] {
                          // A window outside the modal set takes the activation away for a moment.
                          ::EnableWindow(other.Handle(), TRUE);
                          other.Show();
                          ::SetActiveWindow(other.Handle());
                      }),
                      [&other] { return ::GetActiveWindow() == other.Handle(); }, Do([&other, &dialog] {
                          other.Hide();
                          ::SetActiveWindow(dialog.Handle());
                      }),
                      [&dialog] { return ::GetActiveWindow() == dialog.Handle(); }, Do([&dialog] {
                          EXPECT_EQ(dialog.FocusName(), "Second");
                          dialog.SetModalResult(kModalOk);
                      })});
}

TEST_F(UiModalTest, OnShowRunsBeforeTheWindowAppearsAndOnResizeOnSizeChanges) {
    TestDialog dialog;
    std::vector<bool> visibleAtShow;
    int resizes = 0;
    dialog.OnShow = [&] { visibleAtShow.push_back(::IsWindowVisible(dialog.Handle()) != FALSE); };
    dialog.OnResize = [&resizes] { ++resizes; };
    dialog.Show();
    dialog.Show();  // already visible: no second OnShow
    dialog.Hide();
    RunModal(dialog, {Do([&dialog] { dialog.SetModalResult(kModalOk); })});
    EXPECT_EQ(visibleAtShow, (std::vector<bool>{false, false}));

    const int before = resizes;
    dialog.SetOuterSize(300, 200);
    EXPECT_EQ(dialog.Width(), 300);
    EXPECT_EQ(dialog.Height(), 200);
    EXPECT_GT(resizes, before);
}

TEST_F(UiModalTest, EditChangeEventsAndColours) {
    TestDialog dialog;
    std::vector<std::string> changes;
    dialog.First.OnChange = [&] { changes.push_back(dialog.First.Text()); };
    dialog.First.SetText("one");
    ::SendMessageA(dialog.First.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("+"));
    EXPECT_EQ(changes, (std::vector<std::string>{"one", "+one"}));

    // The field's colour, whichever message its state makes it ask with.
    struct ColourCase {
        const char* name;
        Color color;
        bool readOnly;
        bool enabled;
        UINT message;
    };
    const ColourCase cases[] = {
        {"RGB, editable", Color::Rgb(10, 20, 30), false, true, WM_CTLCOLOREDIT},
        {"system colour, read-only", Color::System(COLOR_INFOBK), true, true, WM_CTLCOLORSTATIC},
        {"system colour, disabled", Color::System(COLOR_INACTIVEBORDER), false, false, WM_CTLCOLORSTATIC},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.Second.SetColor(c.color);
        dialog.Second.SetReadOnly(c.readOnly);
        dialog.Second.SetEnabled(c.enabled);
        EXPECT_EQ(dialog.Second.ReadOnly(), c.readOnly);
        EXPECT_EQ(dialog.Second.GetColor(), c.color);
        HDC dc = ::CreateCompatibleDC(nullptr);
        const auto brush =
            reinterpret_cast<HBRUSH>(::SendMessageA(dialog.Handle(), c.message, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(dialog.Second.Handle())));
        LOGBRUSH info{};
        ASSERT_TRUE(brush);
        ::GetObjectA(brush, sizeof info, &info);
        EXPECT_EQ(info.lbColor, c.color.Resolve());
        EXPECT_EQ(::GetBkColor(dc), c.color.Resolve());
        ::DeleteDC(dc);
    }
}

TEST_F(UiModalTest, AControlDestroyedBeforeItsFormLeavesNoDanglingRoute) {
    TestDialog dialog;
    auto late = std::make_unique<TButton>(dialog, dialog.Handle(), "&Late", Bounds{4, 100, 40, 16});
    const HWND lateWindow = late->Handle();
    EXPECT_EQ(TControl::FromHandle(lateWindow), late.get());
    late.reset();
    EXPECT_FALSE(::IsWindow(lateWindow));
    for (const TControl* control : dialog.Controls())
        EXPECT_NE(control, nullptr);
    EXPECT_EQ(dialog.Controls().size(), 6u);
    EXPECT_EQ(dialog.TabOrder().size(), 5u);

    // A window the form destroys first leaves its object handle-less, still safe to delete.
    auto orphan = std::make_unique<TButton>(dialog, dialog.Handle(), "O", Bounds{4, 100, 40, 16});
    ::DestroyWindow(orphan->Handle());
    EXPECT_EQ(orphan->Handle(), nullptr);
    EXPECT_EQ(dialog.Controls().size(), 6u);
    orphan.reset();
}

}  // namespace
}  // namespace rivo::ui
