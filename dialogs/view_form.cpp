#include "dialogs/view_form.h"

#include <algorithm>

#include "core/command_list_rows.h"
#include "core/names.h"
#include "dialogs/dialog_texts.h"
#include "ui/application.h"

namespace rivo {

namespace {

// The window keeps a client area this high whatever the user drags; only its width follows.
constexpr int kClientHeight = 395;

ui::FormLayout ViewLayout() {
    ui::FormLayout layout;
    layout.className = name::kViewWindowClass;
    layout.caption = dialog_text::kViewCaption;
    layout.clientWidth = 389;
    layout.clientHeight = kClientHeight;
    layout.left = 714;
    layout.top = 481;
    layout.border = ui::BorderStyle::SizeableNoSysMenu;
    layout.topmost = true;
    return layout;
}

// The outer height that gives `window` a client area `clientHeight` high. Frames and captions
// differ between Windows versions and themes (422 on the classic frame, less on Windows 10) and
// between monitors of different DPI, so it is measured on the window itself, never written as a
// number (AdjustWindowRectEx would give the frame at the system DPI).
int OuterHeightFor(HWND window, int clientHeight) {
    RECT outer{};
    RECT client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    return outer.bottom - outer.top - client.bottom + clientHeight;
}

}  // namespace

TViewForm::TViewForm(HWND owner)
    : ui::TForm(ViewLayout(), owner),
      KeyListView(*this, Handle(), {0, 0, 389, 349}),
      DelButton(*this, Handle(), dialog_text::kDeleteButton, {0, 354, 389, 19}),
      CloseButton(*this, Handle(), dialog_text::kCloseButton, {0, 374, 389, 19}) {
    KeyListView.AddColumn(dialog_text::kKeyColumn, 50);
    KeyListView.AddColumn(dialog_text::kCommandColumn, 330);
    SetTabOrder({&KeyListView, &CloseButton, &DelButton});

    KeyPreview = true;
    OnKeyDown = [this](WORD& key, ui::ShiftState) { FormKeyDown(key); };
    OnResize = [this] { FormResize(); };
    KeyListView.OnDblClick = [this] { KeyListViewDblClick(); };
    DelButton.OnClick = [this] { DelButtonClick(); };
    CloseButton.OnClick = [this] { CloseButtonClick(); };

    // The size changed while the window was made, before OnResize was bound.
    FormResize();
    OnDpiChanged = [this] { FormResize(); };
    OnCreate = [this] { CentreOnFullScreen(); };
}

TViewForm::~TViewForm() {
    OnResize = nullptr;
    OnKeyDown = nullptr;
}

bool TViewForm::ShowList(KeyStringTable& commands, KeyStringTable& workDirs) {
    Commands = &commands;
    WorkDirs = &workDirs;
    deleted_ = false;
    ClearList();
    FillList(commands);
    ShowModal();
    return deleted_;
}

void TViewForm::FillList(const KeyStringTable& commands) {
    for (const CommandRow& row : BuildCommandRows(commands, KeyNameTable)) {
        auto data = std::make_unique<TKeyListData>();
        data->KeyName = row.keyName;
        data->Command = row.command;
        data->KeyCode = row.keyCode;
        KeyListView.AddRow(row.keyName, row.command, data.get());
        rowData_.push_back(std::move(data));
    }
}

void TViewForm::ClearList() {
    KeyListView.BeginUpdate();
    // The rows go before the data they point to.
    KeyListView.Clear();
    rowData_.clear();
    KeyListView.EndUpdate();
}

void TViewForm::DelButtonClick() {
    const int row = KeyListView.Selected();
    if (row < 0) {
        ui::Application().MessageBox(dialog_text::kSelectItem, dialog_text::kMessageCaption, MB_OK);
        return;
    }
    const auto* data = static_cast<const TKeyListData*>(KeyListView.RowData(row));
    if (!data || !Commands || !WorkDirs || data->KeyCode < 0 || data->KeyCode >= kKeyCount)
        return;
    const std::int32_t key = data->KeyCode;
    const std::string question = std::string(dialog_text::kDeleteQuestionHead) + (*Commands)[key] + "\n" +
                                 dialog_text::kDeleteQuestionTail;
    // Only an explicit Yes deletes: a box that could not be shown (0) must not count as consent.
    if (ui::Application().MessageBox(question, dialog_text::kConfirmCaption, MB_YESNO) != IDYES)
        return;
    DeleteRegistration(*Commands, *WorkDirs, key);
    deleted_ = true;
    ClearList();
    FillList(*Commands);
}

void TViewForm::CloseButtonClick() {
    ClearList();
    Close();
}

void TViewForm::FormKeyDown(WORD key) {
    if (key == VK_DELETE) {
        DelButton.Click();
    } else if (key == VK_RETURN || key == VK_ESCAPE) {
        CloseButton.Click();
    }
}

void TViewForm::FormResize() {
    if (!Handle() || ::IsIconic(Handle()))
        return;
    const int width = ClientWidth();
    for (ui::TControl* control :
         {static_cast<ui::TControl*>(&KeyListView), static_cast<ui::TControl*>(&CloseButton),
          static_cast<ui::TControl*>(&DelButton)}) {
        const RECT bounds = control->BoundsRect();
        control->SetBounds(bounds.left, bounds.top, width, bounds.bottom - bounds.top);
    }
    if (ClientHeight() != Scale(kClientHeight))
        SetOuterSize(Width(), OuterHeightFor(Handle(), Scale(kClientHeight)));
}

void TViewForm::KeyListViewDblClick() {
    // A double-click on a row has no effect.
}

bool TViewForm::WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_SIZING && lParam) {
        // Dragging an edge keeps the height from the start, instead of drawing a height that
        // FormResize then takes back.
        RECT& dragged = *reinterpret_cast<RECT*>(lParam);
        const int height = OuterHeightFor(Handle(), Scale(kClientHeight));
        if (wParam == WMSZ_TOP || wParam == WMSZ_TOPLEFT || wParam == WMSZ_TOPRIGHT) {
            dragged.top = dragged.bottom - height;
        } else {
            dragged.bottom = dragged.top + height;
        }
        result = TRUE;
        return true;
    }
    return ui::TForm::WndProcHook(message, wParam, lParam, result);
}

}  // namespace rivo
