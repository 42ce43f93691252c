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
    for (int k = 0; k < kKeyCount; ++k)
        expected += m.names[k].empty() ? 0 : 1;
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

struct StoredKeyCase {
    const char* name;
    std::int32_t stored;  // SetKey as read from the file
    int shownKey;         // the key its combo box shows, -1 for none
    std::int32_t saved;   // SetKey after OK without touching the combo box
};

TEST(ControlsToSettings, KeysOutsideTheTableAreShownAndStoredByTheirLowEightBits) {
    const StoredKeyCase cases[] = {
        {"named key", 0x41, 0x41, 0x41},
        {"257 has the low byte 1, which has no name", 257, -1, 1},
        {"256 + A shows A", 256 + 0x41, 0x41, 0x41},
        {"a negative value ends up inside the table", -1, -1, 255},
        {"unnamed key inside the table is kept", 0xE0, -1, 0xE0},
    };
    for (const StoredKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Model m;
        m.settings.SetKey = c.stored;
        const OptionControls controls = SettingsToControls(m.rows, m.settings);
        EXPECT_EQ(controls.comboIndex[2], c.shownKey < 0 ? -1 : m.RowOf(c.shownKey));
        ControlsToSettings(m.rows, controls, m.settings);
        EXPECT_EQ(m.settings.SetKey, c.saved);
        EXPECT_EQ(m.settings.Filter[static_cast<std::uint8_t>(c.saved)], 1) << "the command key is filtered";
    }
}

TEST(ControlsToSettings, AKeyThatStopsBeingACallUpKeyKeepsItsFlagUnlessUnselected) {
    for (bool unselect : {false, true}) {
        SCOPED_TRACE(unselect ? "unselected" : "left selected");
        Model m;
        OptionControls c = SettingsToControls(m.rows, m.settings);
        ASSERT_TRUE(c.filterSelected[m.RowOf(16)]);
        c.comboIndex[0] = m.RowOf(0x20);
        if (unselect)
            c.filterSelected[m.RowOf(16)] = false;
        ControlsToSettings(m.rows, c, m.settings);
        EXPECT_EQ(m.settings.Key1, 0x20);
        EXPECT_EQ(m.settings.Filter[16], unselect ? 0 : 1);
        EXPECT_EQ(m.settings.Filter[0x20], 1);
    }
}

}  // namespace
}  // namespace rivo
