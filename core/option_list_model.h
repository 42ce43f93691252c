// The options dialog's lists: one row per named key, shared by the filter list and the four key
// combo boxes, and the translation between those rows and the settings record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/launcher_state.h"
#include "core/rivo_main_set.h"

namespace rivo {

struct OptionRows {
    std::vector<std::uint8_t> RowKeyCode;  // row r shows key RowKeyCode[r]
    std::vector<std::string> names;        // the text of row r
};

// Keys with a non-empty name, in ascending code order.
OptionRows BuildOptionRows(const KeyStringTable& names);

// What the controls show when the dialog opens.
struct OptionControls {
    std::vector<bool> filterSelected;               // per row: Filter is exactly 1
    std::array<int, 4> comboIndex{-1, -1, -1, -1};  // Key1, Key2, SetKey, EndKey; -1 = no row
    int formTypeRadio = -1;                         // 0, 1, 2, or -1 for none checked
};

OptionControls SettingsToControls(const OptionRows& rows, const TRivoMainSet& settings);

// Applies the confirmed controls. A combo box without a selection keeps the key stored before.
void ControlsToSettings(const OptionRows& rows, const OptionControls& controls, TRivoMainSet& settings);

}  // namespace rivo
