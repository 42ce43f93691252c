#include "dialogs/option_form.h"

#include <algorithm>

#include "core/launcher_state.h"
#include "core/names.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/help.h"
#include "dialogs/view_form.h"

namespace rivo {

namespace {

constexpr int kFilterRowHeight = 12;

ui::FormLayout OptionLayout() {
    ui::FormLayout layout;
    layout.className = name::kOptionWindowClass;
    layout.caption = dialog_text::kOptionCaption;
    layout.clientWidth = 346;
    layout.clientHeight = 309;
    layout.left = 309;
    layout.top = 220;
    layout.border = ui::BorderStyle::Dialog;
    return layout;
}

// The labels are laid out for "ＭＳ Ｐゴシック"; in a fallback face a caption can be wider than its
// box. A label grows to the right only as far as its parent's edge, which still cuts the version
// label at the dialog's right edge ("Orni"); such a label moves left as far as it must.
void FitToText(ui::TLabel& label) {
    const int needed = label.CaptionWidth();
    const RECT bounds = label.BoundsRect();
    if (needed <= bounds.right - bounds.left)
        return;
    RECT parent{};
    ::GetClientRect(::GetParent(label.Handle()), &parent);
    const int width = std::min(needed, static_cast<int>(parent.right));
    const int left = std::min(static_cast<int>(bounds.left), static_cast<int>(parent.right) - width);
    label.SetBounds(left, bounds.top, width, bounds.bottom - bounds.top);
}

}  // namespace

TOptionForm::TOptionForm(HWND owner)
    : ui::TForm(OptionLayout(), owner),
      GroupBox1(*this, Handle(), dialog_text::kFilterGroup, {4, 4, 135, 301}),
      FilterList(*this, GroupBox1.Handle(), {17, 16, 100, 276}, kFilterRowHeight),
      GroupBox2(*this, Handle(), dialog_text::kCallUpGroup, {148, 4, 196, 85}),
      Label1(*this, GroupBox2.Handle(), dialog_text::kKey1Label, {8, 18, 32, 12}),
      Key1Combo(*this, GroupBox2.Handle(), {48, 14, 126, 20}),
      Label2(*this, GroupBox2.Handle(), dialog_text::kKey2Label, {8, 46, 32, 12}),
      Key2Combo(*this, GroupBox2.Handle(), {48, 42, 126, 20}),
      Label4(*this, GroupBox2.Handle(), dialog_text::kKey1Note, {8, 71, 172, 12}),
      GroupBox4(*this, Handle(), dialog_text::kCommandKeyGroup, {148, 92, 196, 69}),
      Label5(*this, GroupBox4.Handle(), dialog_text::kSetKeyLabel, {8, 18, 24, 12}),
      SetCB(*this, GroupBox4.Handle(), {48, 14, 126, 20}),
      Label6(*this, GroupBox4.Handle(), dialog_text::kEndKeyLabel, {8, 46, 24, 12}),
      EndCB(*this, GroupBox4.Handle(), {48, 42, 126, 20}),
      GroupBox3(*this, Handle(), dialog_text::kWindowModeGroup, {148, 165, 196, 74}),
      FormTypeRadio1(*this, GroupBox3.Handle(), dialog_text::kFormTypeRadio1, {10, 17, 172, 17}, true),
      FormTypeRadio2(*this, GroupBox3.Handle(), dialog_text::kFormTypeRadio2, {10, 35, 172, 17}, false),
      FormTypeRadio3(*this, GroupBox3.Handle(), dialog_text::kFormTypeRadio3, {10, 52, 172, 17}, false),
      ViewButton(*this, Handle(), dialog_text::kViewButton, {150, 242, 186, 25}),
      Button1(*this, Handle(), dialog_text::kOptionOkButton, {149, 271, 58, 25}, ui::kModalOk),
      Button2(*this, Handle(), dialog_text::kOptionCancelButton, {213, 271, 58, 25}, ui::kModalCancel),
      Button3(*this, Handle(), dialog_text::kHelpButton, {278, 271, 58, 25}),
      Label3(*this, Handle(), dialog_text::kVersionLabel, {245, 296, 98, 12}) {
    // Group by group, then the buttons; of the radio buttons only the checked one is a tab stop.
    SetTabOrder({&FilterList, &Key1Combo, &Key2Combo, &SetCB, &EndCB, &FormTypeRadio1, &FormTypeRadio2,
                 &FormTypeRadio3, &Button1, &Button2, &Button3, &ViewButton});
    KeyPreview = true;
    OnKeyDown = [this](WORD& key, ui::ShiftState) { FormKeyDown(key); };
    Button3.OnClick = [this] { Button3Click(); };
    ViewButton.OnClick = [this] { ViewButtonClick(); };
    FitLabels();
    OnDpiChanged = [this] { FitLabels(); };
    OnCreate = [this] { CentreOnFullScreen(); };
}

void TOptionForm::FitLabels() {
    for (ui::TLabel* label : {&Label1, &Label2, &Label4, &Label5, &Label6, &Label3}) {
        FitToText(*label);
    }
}

int TOptionForm::ShowOptions(TRivoMainSet& settings) {
    Settings = &settings;
    SettingsToControls();
    if (ShowModal() != ui::kModalOk)
        return 0;
    ControlsToSettings(settings);
    return 1;
}

void TOptionForm::SettingsToControls() {
    FilterList.Clear();
    for (ui::TComboBox* combo : KeyCombos()) {
        combo->Clear();
    }
    rows_ = BuildOptionRows(KeyNameTable);
    RowKeyCode = rows_.RowKeyCode;
    const std::array<ui::TComboBox*, 4> combos = KeyCombos();
    for (const std::string& name : rows_.names) {
        FilterList.Add(name);
        for (ui::TComboBox* combo : combos) {
            combo->Add(name);
        }
    }
    if (!Settings)
        return;

    const OptionControls controls = rivo::SettingsToControls(rows_, *Settings);
    for (std::size_t r = 0; r < controls.filterSelected.size(); ++r) {
        FilterList.SetSelected(static_cast<int>(r), controls.filterSelected[r]);
    }
    for (std::size_t c = 0; c < combos.size(); ++c) {
        combos[c]->SetItemIndex(controls.comboIndex[c]);
    }
    // Selecting a row moves the caret there and scrolls to it: touching row 0 last opens the
    // list at its top, whichever rows were selected above.
    if (FilterList.Count() > 0) {
        const bool firstSelected = FilterList.Selected(0);
        FilterList.SetSelected(0, true);
        FilterList.SetSelected(0, firstSelected);
    }
    const std::array<ui::TRadioButton*, 3> radios = FormTypeRadios();
    for (ui::TRadioButton* radio : radios) {
        radio->SetChecked(false);
    }
    if (controls.formTypeRadio >= 0 && controls.formTypeRadio < static_cast<int>(radios.size()))
        radios[static_cast<std::size_t>(controls.formTypeRadio)]->SetChecked(true);
}

void TOptionForm::ControlsToSettings(TRivoMainSet& settings) {
    OptionControls controls;
    controls.filterSelected.resize(rows_.RowKeyCode.size());
    for (std::size_t r = 0; r < controls.filterSelected.size(); ++r) {
        controls.filterSelected[r] = FilterList.Selected(static_cast<int>(r));
    }
    const std::array<ui::TComboBox*, 4> combos = KeyCombos();
    for (std::size_t c = 0; c < combos.size(); ++c) {
        controls.comboIndex[c] = combos[c]->ItemIndex();
    }
    const std::array<ui::TRadioButton*, 3> radios = FormTypeRadios();
    for (std::size_t i = 0; i < radios.size(); ++i) {
        if (radios[i]->Checked()) {
            controls.formTypeRadio = static_cast<int>(i);
            break;
        }
    }
    rivo::ControlsToSettings(rows_, controls, settings);
}

void TOptionForm::FormKeyDown(WORD key) {
    if (key == VK_RETURN) {
        Button1.Click();
    } else if (key == VK_ESCAPE) {
        Button2.Click();
    }
}

void TOptionForm::Button3Click() {
    OpenHelp(ProgramDir);
}

void TOptionForm::ViewButtonClick() {
    bool deleted = false;
    {
        ui::FormPtr<TViewForm> view = ui::MakeForm<TViewForm>();
        deleted = view->ShowList(CommandTable, WorkDirTable);
    }
    if (deleted && OnCommandsDeleted)
        OnCommandsDeleted();
}

std::array<ui::TComboBox*, 4> TOptionForm::KeyCombos() {
    return {&Key1Combo, &Key2Combo, &SetCB, &EndCB};
}

std::array<ui::TRadioButton*, 3> TOptionForm::FormTypeRadios() {
    return {&FormTypeRadio1, &FormTypeRadio2, &FormTypeRadio3};
}

}  // namespace rivo
