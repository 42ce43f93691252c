// The options dialog: call-up keys, command keys, the keys the launcher ignores and the window
// mode, edited in one modal dialog; the help page and the command list open from it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/option_list_model.h"
#include "core/rivo_main_set.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/form.h"
#include "ui/group_box.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/radio_button.h"

namespace rivo {

class TOptionForm : public ui::TForm {
public:
    explicit TOptionForm(HWND owner = nullptr);

    // Shows `settings` and changes them only when the dialog ends with OK; returns 1 then, else 0.
    int ShowOptions(TRivoMainSet& settings);

    void SettingsToControls();
    void ControlsToSettings(TRivoMainSet& settings);

    void Button3Click();
    void ViewButtonClick();

    // Called once the command list has closed after deleting registrations, with the dialog still
    // open: the caller saves them at once, whatever the dialog's answer will be.
    std::function<void()> OnCommandsDeleted;

    // The record under edit; set by ShowOptions, not owned.
    TRivoMainSet* Settings = nullptr;
    // Row r of the filter list and of each combo box shows key RowKeyCode[r].
    std::vector<std::uint8_t> RowKeyCode;

    ui::TGroupBox GroupBox1;
    ui::TListBox FilterList;
    ui::TGroupBox GroupBox2;
    ui::TLabel Label1;
    ui::TComboBox Key1Combo;
    ui::TLabel Label2;
    ui::TComboBox Key2Combo;
    ui::TLabel Label4;
    ui::TGroupBox GroupBox4;
    ui::TLabel Label5;
    ui::TComboBox SetCB;
    ui::TLabel Label6;
    ui::TComboBox EndCB;
    ui::TGroupBox GroupBox3;
    ui::TRadioButton FormTypeRadio1;
    ui::TRadioButton FormTypeRadio2;
    ui::TRadioButton FormTypeRadio3;
    ui::TButton ViewButton;
    ui::TButton Button1;
    ui::TButton Button2;
    ui::TButton Button3;
    ui::TLabel Label3;

private:
    void FitLabels();
    void FormKeyDown(WORD key);
    std::array<ui::TComboBox*, 4> KeyCombos();  // Key1, Key2, SetKey, EndKey
    std::array<ui::TRadioButton*, 3> FormTypeRadios();

    OptionRows rows_;
};

}  // namespace rivo
