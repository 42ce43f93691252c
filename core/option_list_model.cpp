#include "core/option_list_model.h"

namespace rivo {

OptionRows BuildOptionRows(const KeyStringTable& names) {
    OptionRows rows;
    for (int k = 0; k < kKeyCount; ++k) {
        if (!names[k].empty()) {
            rows.RowKeyCode.push_back(static_cast<std::uint8_t>(k));
            rows.names.push_back(names[k]);
        }
    }
    return rows;
}

OptionControls SettingsToControls(const OptionRows& rows, const TRivoMainSet& settings) {
    OptionControls controls;
    const std::int32_t keys[4] = {settings.Key1, settings.Key2, settings.SetKey, settings.EndKey};
    controls.filterSelected.resize(rows.RowKeyCode.size());
    for (std::size_t r = 0; r < rows.RowKeyCode.size(); ++r) {
        const std::uint8_t k = rows.RowKeyCode[r];
        controls.filterSelected[r] = settings.Filter[k] == 1;
        for (int c = 0; c < 4; ++c) {
            if ((keys[c] & 0xFF) == k) {
                controls.comboIndex[c] = static_cast<int>(r);
            }
        }
    }
    if (settings.FormType <= 2) {
        controls.formTypeRadio = settings.FormType;
    }
    return controls;
}

void ControlsToSettings(const OptionRows& rows, const OptionControls& controls, TRivoMainSet& settings) {
    for (std::size_t r = 0; r < rows.RowKeyCode.size() && r < controls.filterSelected.size(); ++r) {
        settings.Filter[rows.RowKeyCode[r]] = controls.filterSelected[r] ? 1 : 0;
    }
    std::int32_t* keys[4] = {&settings.Key1, &settings.Key2, &settings.SetKey, &settings.EndKey};
    for (int c = 0; c < 4; ++c) {
        const int index = controls.comboIndex[c];
        if (index >= 0 && static_cast<std::size_t>(index) < rows.RowKeyCode.size()) {
            *keys[c] = rows.RowKeyCode[static_cast<std::size_t>(index)];
        } else {
            // No row was selected: the stored key has no name. Keep it, reduced to a table index.
            *keys[c] &= 0xFF;
        }
    }
    if (controls.formTypeRadio >= 0 && controls.formTypeRadio <= 2) {
        settings.FormType = static_cast<std::uint8_t>(controls.formTypeRadio);
    }
    settings.ForceKeyFilters();
}

}  // namespace rivo
