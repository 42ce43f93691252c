// The container and list controls of the form layer, on real windows under Wine: group boxes
// passing their children's notifications on, radio groups, the multiple-selection list box,
// drop-down lists and the report list view.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/form.h"
#include "ui/group_box.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/list_view.h"
#include "ui/radio_button.h"

namespace rivo::ui {
namespace {

FormLayout Layout(Color color = Color::System(COLOR_BTNFACE)) {
    FormLayout layout;
    layout.caption = "controls";
    layout.clientWidth = 400;
    layout.clientHeight = 300;
    layout.border = BorderStyle::Dialog;
    layout.color = color;
    return layout;
}

bool HasTabStop(const TControl& control) {
    return (::GetWindowLongA(control.Handle(), GWL_STYLE) & WS_TABSTOP) != 0;
}

class UiControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.emplace();
        ASSERT_EQ(app->Dpi(), 96);
    }
    void TearDown() override { app.reset(); }
    std::optional<TApplication> app;
};

// ---------------------------------------------------------------------------------------------
// Group boxes

TEST_F(UiControlsTest, GroupBoxPassesItsChildrensNotificationsToTheirControls) {
    TForm form(Layout(Color::Rgb(10, 200, 30)));
    TGroupBox box(form, form.Handle(), "box", {10, 10, 200, 200});
    TButton button(form, box.Handle(), "button", {10, 20, 80, 24});
    TLabel label(form, box.Handle(), "label", {10, 50, 80, 12});
    TListView list(form, box.Handle(), {10, 70, 180, 100});
    ASSERT_EQ(::GetParent(button.Handle()), box.Handle());

    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    ::SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1) << "WM_COMMAND from inside the box";

    int doubleClicks = 0;
    list.OnDblClick = [&] { ++doubleClicks; };
    NMHDR header{list.Handle(), static_cast<UINT_PTR>(::GetDlgCtrlID(list.Handle())),
                 static_cast<UINT>(NM_DBLCLK)};
    ::SendMessageA(box.Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(doubleClicks, 1) << "WM_NOTIFY from inside the box";

    // The label inside the box is painted in the form's colours, as one directly on the form is.
    HDC dc = ::CreateCompatibleDC(nullptr);
    ASSERT_TRUE(dc);
    const auto brush =
        reinterpret_cast<HBRUSH>(::SendMessageA(box.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(label.Handle())));
    EXPECT_EQ(brush, form.BackgroundBrush());
    EXPECT_EQ(::GetBkColor(dc), RGB(10, 200, 30));
    ::DeleteDC(dc);
}

TEST_F(UiControlsTest, RadioButtonsExcludeEachOtherWithinTheirGroupOnly) {
    TForm form(Layout());
    TGroupBox first(form, form.Handle(), "first", {10, 10, 180, 120});
    TRadioButton a1(form, first.Handle(), "a1", {10, 20, 150, 17}, true);
    TRadioButton a2(form, first.Handle(), "a2", {10, 40, 150, 17}, false);
    TRadioButton a3(form, first.Handle(), "a3", {10, 60, 150, 17}, false);
    // A second group among the same parent's children.
    TRadioButton c1(form, first.Handle(), "c1", {10, 80, 150, 17}, true);
    TRadioButton c2(form, first.Handle(), "c2", {10, 100, 150, 17}, false);
    TGroupBox second(form, form.Handle(), "second", {200, 10, 180, 120});
    TRadioButton b1(form, second.Handle(), "b1", {10, 20, 150, 17}, true);
    TRadioButton b2(form, second.Handle(), "b2", {10, 40, 150, 17}, false);
    TRadioButton* all[] = {&a1, &a2, &a3, &c1, &c2, &b1, &b2};
    const auto checked = [&] {
        std::vector<bool> state;
        for (TRadioButton* radio : all) {
            state.push_back(radio->Checked());
        }
        return state;
    };
    const auto tabStops = [&] {
        std::vector<bool> state;
        for (TRadioButton* radio : all) {
            state.push_back(HasTabStop(*radio));
        }
        return state;
    };

    EXPECT_EQ(checked(), std::vector<bool>(7, false));
    EXPECT_EQ(tabStops(), (std::vector<bool>{true, false, false, true, false, true, false}))
        << "with none checked, the first of each group is the tab stop";

    a2.SetChecked(true);
    c2.SetChecked(true);
    b1.SetChecked(true);
    EXPECT_EQ(checked(), (std::vector<bool>{false, true, false, false, true, true, false}));
    a3.SetChecked(true);
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, true, false, true, true, false}));

    // A click (through the group box) checks one and unchecks the others of its group.
    ::SendMessageA(a1.Handle(), BM_CLICK, 0, 0);
    ::SendMessageA(b2.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(checked(), (std::vector<bool>{true, false, false, false, true, false, true}));
    EXPECT_EQ(tabStops(), (std::vector<bool>{true, false, false, false, true, false, true}))
        << "only the checked button of a group is a tab stop";

    a1.SetChecked(false);
    EXPECT_EQ(checked(), (std::vector<bool>{false, false, false, false, true, false, true}));
}

// ---------------------------------------------------------------------------------------------
// List box

TEST_F(UiControlsTest, ListBoxSelectsRowsIndependentlyAndSelectingMovesTheCaretIntoView) {
    TForm form(Layout());
    TListBox list(form, form.Handle(), {10, 10, 100, 120}, 12);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(list.Add("row " + std::to_string(i)), i) << "rows stay in the order added";
    }
    EXPECT_EQ(list.Count(), 100);
    EXPECT_EQ(list.ItemHeight(), 12);
    EXPECT_EQ(list.Item(42), "row 42");

    list.SetSelected(90, true);
    EXPECT_EQ(list.CaretIndex(), 90);
    EXPECT_GT(list.TopIndex(), 80) << "row 90 was scrolled into view";
    list.SetSelected(3, true);
    EXPECT_EQ(list.CaretIndex(), 3);
    EXPECT_LE(list.TopIndex(), 3);
    EXPECT_TRUE(list.Selected(90)) << "selecting another row keeps this one";

    list.SetSelected(90, true);
    list.SetSelected(0, true);
    list.SetSelected(0, false);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_EQ(list.CaretIndex(), 0) << "unselecting leaves the caret where it is";
    EXPECT_EQ(list.TopIndex(), 0);
    EXPECT_EQ(list.SelectedCount(), 2);

    // A click toggles the one row under it.
    RECT row{};
    ::SendMessageA(list.Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    for (bool expected : {true, false}) {
        ::SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(list.Handle(), WM_LBUTTONUP, 0, at);
        EXPECT_EQ(list.Selected(1), expected);
        EXPECT_TRUE(list.Selected(3));
        EXPECT_TRUE(list.Selected(90));
    }

    list.SetSelected(500, true);  // no such row: nothing happens
    EXPECT_EQ(list.SelectedCount(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.Selected(3));
}

// ---------------------------------------------------------------------------------------------
// Combo box

TEST_F(UiControlsTest, ComboBoxHasTheLayoutHeightAndMinusOneForNoSelection) {
    TForm form(Layout());
    for (int height : {20, 24, 18}) {
        TComboBox combo(form, form.Handle(), {10, 10, 126, height});
        RECT bounds{};
        ::GetWindowRect(combo.Handle(), &bounds);
        EXPECT_EQ(bounds.bottom - bounds.top, height) << "the closed box";
        EXPECT_EQ(::GetWindowLongA(combo.Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);

        EXPECT_EQ(combo.ItemIndex(), -1);
        for (const char* text : {"Shift", "Ctrl", "Ins", "Del"}) {
            combo.Add(text);
        }
        EXPECT_EQ(combo.Count(), 4);
        EXPECT_EQ(combo.Item(3), "Del") << "unsorted";
        combo.SetItemIndex(2);
        EXPECT_EQ(combo.ItemIndex(), 2);
        combo.SetItemIndex(-1);
        EXPECT_EQ(combo.ItemIndex(), -1);
        combo.SetItemIndex(1);
        combo.SetItemIndex(17);
        EXPECT_EQ(combo.ItemIndex(), -1) << "a row that does not exist selects none";
        combo.Clear();
        EXPECT_EQ(combo.Count(), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// List view

TEST_F(UiControlsTest, ListViewRowsCarryTextsAndDataAndAtMostOneIsSelected) {
    TForm form(Layout());
    TListView list(form, form.Handle(), {0, 0, 389, 200});
    list.AddColumn("キー", 50);
    list.AddColumn("コマンド", 330);
    EXPECT_EQ(list.ColumnCount(), 2);
    EXPECT_EQ(list.ColumnWidth(0), 50);
    EXPECT_EQ(list.ColumnWidth(1), 330);

    int data[3] = {};
    const std::string longCommand = "C:\\" + std::string(1000, 'x') + "\\表.exe";
    list.BeginUpdate();
    list.BeginUpdate();
    EXPECT_EQ(list.AddRow("A", "a.exe", &data[0]), 0);
    EXPECT_EQ(list.AddRow("", longCommand, &data[1]), 1);
    list.EndUpdate();
    EXPECT_EQ(list.AddRow("F1", "f1.exe", &data[2]), 2) << "rows are appended, unsorted";
    list.EndUpdate();
    list.EndUpdate();  // one too many: ignored

    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(list.RowText(0, 0), "A");
    EXPECT_EQ(list.RowText(0, 1), "a.exe");
    EXPECT_EQ(list.RowText(1, 0), "");
    EXPECT_EQ(list.RowText(1, 1), longCommand) << "no cut at 256 characters";
    EXPECT_EQ(list.RowData(2), &data[2]);

    EXPECT_EQ(list.Selected(), -1);
    list.Select(0);
    list.Select(2);
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_EQ(::SendMessageA(list.Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
    list.Select(-1);
    EXPECT_EQ(list.Selected(), -1);

    list.DeleteRow(0);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.RowData(0), &data[1]);
    EXPECT_EQ(list.RowData(5), nullptr);
    list.Clear();
    EXPECT_EQ(list.RowCount(), 0);
}

}  // namespace
}  // namespace rivo::ui
