#include "core/option_list_model.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rivo {
namespace {

struct Model {
    KeyStringTable names;
    OptionRows rows;
    TRivoMainSet settings;

    Model() {
        BuildKeyNameTable(names);
        rows = BuildOptionRows(names);
        settings.ForceKeyFilters();
    }
    int RowOf(int key) const {
        auto it = std::find(rows.RowKeyCode.begin(), rows.RowKeyCode.end(), key);
        return it == rows.RowKeyCode.end() ? -1 : static_cast<int>(it - rows.RowKeyCode.begin());
    }
};

TEST(OptionRows, AreTheNamedKeysInAscendingOrder) {
    Model m;
    ASSERT_EQ(m.rows.RowKeyCode.size(), m.rows.names.size());
    int expected = 0;
    for (int k = 0; k < kKeyCount; ++k) expected += m.names[k].empty() ? 0 : 1;
    EXPECT_EQ(static_cast<int>(m.rows.RowKeyCode.size()), expected);
    EXPECT_TRUE(std::is_sorted(m.rows.RowKeyCode.begin(), m.rows.RowKeyCode.end()));
    EXPECT_EQ(m.rows.RowKeyCode.front(), 8);
    EXPECT_EQ(m.rows.names.front(), "BackSpace");
    EXPECT_NE(m.RowOf(60), -1) << "< = > ? have names and are listed";
    EXPECT_EQ(m.RowOf(28), -1) << "unnamed keys are not listed";
    // Repeated names stay separate rows of their own codes.
    EXPECT_EQ(m.rows.names[m.RowOf(58)], m.rows.names[m.RowOf(186)]);
    EXPECT_NE(m.RowOf(58), m.RowOf(186));
}

TEST(OptionControls, OpenWithExactlyTheFilteredKeysSelected) {
    Model m;
    m.settings.Filter[0x41] = 1;
    m.settings.Filter[0x42] = 2;
    m.settings.Filter[0x43] = 255;
    const OptionControls c = SettingsToControls(m.rows, m.settings);
    EXPECT_TRUE(c.filterSelected[m.RowOf(0x41)]);
    EXPECT_FALSE(c.filterSelected[m.RowOf(0x42)]) << "only the exact value 1 is filtered";
    EXPECT_FALSE(c.filterSelected[m.RowOf(0x43)]);
    EXPECT_TRUE(c.filterSelected[m.RowOf(16)]);
    EXPECT_EQ(c.comboIndex[0], m.RowOf(16));
    EXPECT_EQ(c.comboIndex[1], m.RowOf(17));
    EXPECT_EQ(c.comboIndex[2], m.RowOf(45));
    EXPECT_EQ(c.comboIndex[3], m.RowOf(46));
    EXPECT_EQ(c.formTypeRadio, 0);
}

TEST(OptionControls, KeysUseTheirLowEightBitsAndUnnamedKeysHaveNoRow) {
    Model m;
    m.settings.Key1 = 256 + 0x41;
    m.settings.Key2 = 28;
    const OptionControls c = SettingsToControls(m.rows, m.settings);
    EXPECT_EQ(c.comboIndex[0], m.RowOf(0x41));
    EXPECT_EQ(c.comboIndex[1], -1);
}

TEST(OptionControls, WindowModeOutsideTheThreeChecksNoRadioAndIsKept) {
    Model m;
    m.settings.FormType = 3;
    OptionControls c = SettingsToControls(m.rows, m.settings);
    EXPECT_EQ(c.formTypeRadio, -1);
    ControlsToSettings(m.rows, c, m.settings);
    EXPECT_EQ(m.settings.FormType, 3);
    c.formTypeRadio = 2;
    ControlsToSettings(m.rows, c, m.settings);
    EXPECT_EQ(m.settings.FormType, 2);
}

TEST(ControlsToSettings, StoresFlagsOfListedKeysAndForcesTheFourKeys) {
    Model m;
    m.settings.Filter[0x42] = 2;
    m.settings.Filter[28] = 1;  // unnamed: never touched by the list
    OptionControls c = SettingsToControls(m.rows, m.settings);
    std::fill(c.filterSelected.begin(), c.filterSelected.end(), false);
    c.filterSelected[m.RowOf(0x41)] = true;
    c.comboIndex[0] = m.RowOf(0x20);  // Key1 = Space
    ControlsToSettings(m.rows, c, m.settings);
    EXPECT_EQ(m.settings.Key1, 0x20);
    EXPECT_EQ(m.settings.Filter[0x41], 1);
    EXPECT_EQ(m.settings.Filter[0x42], 0) << "a value of 2 shown unselected is stored as 0";
    EXPECT_EQ(m.settings.Filter[28], 1);
    EXPECT_EQ(m.settings.Filter[0x20], 1) << "the new Key1 is forced filtered";
    EXPECT_EQ(m.settings.Filter[17], 1);
    EXPECT_EQ(m.settings.Filter[45], 1);
    EXPECT_EQ(m.settings.Filter[46], 1);
    EXPECT_EQ(m.settings.Filter[16], 0) << "the old Key1 was unselected, so it is no longer filtered";
}

TEST(ControlsToSettings, ComboWithoutSelectionKeepsTheStoredKey) {
    Model m;
    m.settings.Key2 = 28;
    m.settings.SetKey = 256 + 30;
    OptionControls c = SettingsToControls(m.rows, m.settings);
    ASSERT_EQ(c.comboIndex[1], -1);
    ASSERT_EQ(c.comboIndex[2], -1);
    ControlsToSettings(m.rows, c, m.settings);
    EXPECT_EQ(m.settings.Key2, 28);
    EXPECT_EQ(m.settings.SetKey, 30);
    EXPECT_EQ(m.settings.Filter[28], 1);
}

TEST(ControlsToSettings, SameKeyInTwoCombosIsAccepted) {
    Model m;
    OptionControls c = SettingsToControls(m.rows, m.settings);
    c.comboIndex[1] = c.comboIndex[0];
    ControlsToSettings(m.rows, c, m.settings);
    EXPECT_EQ(m.settings.Key1, 16);
    EXPECT_EQ(m.settings.Key2, 16);
}

}  // namespace
}  // namespace rivo
