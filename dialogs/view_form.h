// The command list window: every registered command, one row per key, and deletion of
// registrations. Deletions change the two tables it is given at once; it writes no file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/launcher_state.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/list_view.h"

namespace rivo {

// The data of one list row. Only KeyCode is read back (by the delete button); the texts are
// the ones the row was made with.
struct TKeyListData {
    std::string KeyName;
    std::string Command;
    std::int32_t KeyCode = 0;
};

class TViewForm : public ui::TForm {
    // Declared first, so it outlives the list whose rows point into it.
    std::vector<std::unique_ptr<TKeyListData>> rowData_;

public:
    // `owner` null: owned by the application window.
    explicit TViewForm(HWND owner = nullptr);
    ~TViewForm() override;

    // Shows `commands` and works on both tables until the window is closed; whether a registration
    // was deleted meanwhile.
    bool ShowList(KeyStringTable& commands, KeyStringTable& workDirs);

    void FillList(const KeyStringTable& commands);
    void ClearList();

    void DelButtonClick();
    void CloseButtonClick();

    // The tables shown; set by ShowList, not owned.
    KeyStringTable* Commands = nullptr;
    KeyStringTable* WorkDirs = nullptr;

    ui::TListView KeyListView;
    ui::TButton DelButton;
    ui::TButton CloseButton;

protected:
    bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormKeyDown(WORD key);
    bool deleted_ = false;
    void FormResize();
    void KeyListViewDblClick();
};

}  // namespace rivo
