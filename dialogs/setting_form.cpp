#include "dialogs/setting_form.h"

#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/key_choice.h"
#include "core/launcher_state.h"
#include "core/names.h"
#include "core/path_utils.h"
#include "core/registration.h"
#include "dialogs/dialog_texts.h"
#include "platform/foreground.h"
#include "platform/win32_code_page.h"
#include "platform/window_text.h"
#include "ui/application.h"
#include "ui/open_file_dialog.h"
#include "ui/raw_keys.h"

namespace rivo {

TSettingForm* SettingForm = nullptr;

namespace {

ui::FormLayout SettingLayout() {
    ui::FormLayout layout;
    layout.className = name::kSettingWindowClass;
    layout.caption = dialog_text::kSettingCaption;
    layout.clientWidth = 233;
    layout.clientHeight = 205;
    layout.left = 8;  // the design position; FormCreate centres the dialog
    layout.top = 50;
    layout.border = ui::BorderStyle::Dialog;
    return layout;
}

const ui::Color kInactiveBorder = ui::Color::System(COLOR_INACTIVEBORDER);
const ui::Color kWindow = ui::Color::System(COLOR_WINDOW);

// A field's text as it can be stored: typed or pasted, it may hold a character code page 932
// cannot write, which would be stored as '?' and never start. Such a path is stored by its short
// (8.3) form; nullopt when it has none.
std::optional<std::string> StorableText(const ui::TEdit& field) {
    return platform::RegistrableFilePath(platform::WideWindowText(field.Handle()));
}

}  // namespace

TSettingForm::TSettingForm(HWND owner)
    : ui::TForm(SettingLayout(), owner),
      CommandEdit(*this, Handle(), {22, 83, 125, 20}),
      Label1(*this, Handle(), dialog_text::kCommandLabel, {11, 59, 63, 12}),
      Browse(*this, Handle(), dialog_text::kBrowseButton, {149, 82, 75, 25}),
      OKButton(*this, Handle(), dialog_text::kSettingOkButton, {60, 173, 75, 25}, ui::kModalOk),
      CancelButton(*this, Handle(), dialog_text::kSettingCancelButton, {149, 173, 75, 25}, ui::kModalCancel),
      Label2(*this, Handle(), dialog_text::kKeyLabel, {11, 18, 68, 12}),
      KeyEdit(*this, Handle(), {112, 16, 85, 20}, true),
      Label3(*this, Handle(), dialog_text::kWorkDirLabel, {13, 109, 81, 12}),
      PathEdit(*this, Handle(), {22, 133, 124, 20}) {
    SetTabOrder({&CommandEdit, &KeyEdit, &Browse, &PathEdit, &OKButton, &CancelButton});
    ui::TakeRawKeys(KeyEdit.Handle());
    OKButton.SetEnabled(false);

    OnCreate = [this] { FormCreate(); };
    OnShow = [this] { FormShow(); };
    OnKeyDown = [this](WORD& key, ui::ShiftState) { FormKeyDown(key); };
    KeyEdit.OnChange = [this] { KeyEditChange(); };
    KeyEdit.OnKeyDown = [this](WORD& key, ui::ShiftState) { KeyEditKeyDown(key); };
    Browse.OnClick = [this] { BrowseClick(); };
    // The button has set the result already; the dialog stays open on a field that cannot be stored.
    OKButton.OnClick = [this] {
        if (!FieldsStorable())
            SetModalResult(ui::kModalNone);
    };
    // CommandEditKeyDown, PathEditKeyDown and the buttons' key-downs: Enter and Esc only.
    const std::initializer_list<ui::TControl*> others{&CommandEdit, &PathEdit, &Browse, &OKButton,
                                                      &CancelButton};
    for (ui::TControl* control : others) {
        control->OnKeyDown = [this](WORD& key, ui::ShiftState) { CheckDialogKey(key); };
    }
}

TSettingForm::~TSettingForm() {
    if (SettingForm == this)
        SettingForm = nullptr;
}

int TSettingForm::ShowRegistration(TSetCommand& request, int mode) {
    if (mode != KeyMode && mode != FileMode)
        throw std::invalid_argument("ShowRegistration: unknown mode " + std::to_string(mode));
    if (InModalLoop()) {
        // A second registration while this one is open (a call-up reaching the launcher window
        // meanwhile) is refused rather than taking over the open dialog and its request.
        ::MessageBeep(MB_OK);
        return 0;
    }
    Request = &request;
    Mode = mode;
    platform::ScopeExit release([this] { Request = nullptr; });
    RequestToControls();
    if (ShowModal() == ui::kModalCancel)
        return 0;
    return ControlsToRequest() ? 1 : 0;
}

void TSettingForm::RequestToControls() {
    CommandEdit.SetText(Request->Command);
    PathEdit.SetText(Request->WorkDir);
    if (Mode == KeyMode) {
        KeyEdit.SetText(KeyDisplayText(Request->KeyCode, KeyNameTable));
        KeyEdit.SetColor(kInactiveBorder);
        KeyEdit.SetEnabled(false);
        CommandEdit.SetColor(kWindow);
        PathEdit.SetEnabled(true);
        OKButton.SetEnabled(true);
        Browse.SetEnabled(true);
    } else {
        Request->KeyCode = kNoKeyChosen;
        KeyEdit.SetText("");  // KeyEditChange disables OKButton until a key is chosen
        KeyEdit.SetColor(kWindow);
        KeyEdit.SetEnabled(true);
        CommandEdit.SetColor(kInactiveBorder);
        Browse.SetEnabled(false);
        PathEdit.SetEnabled(false);
    }
}

bool TSettingForm::ControlsToRequest() {
    std::optional<std::string> command = StorableText(CommandEdit);
    std::optional<std::string> workDir = StorableText(PathEdit);
    if (!command || !workDir)
        return false;
    Request->Command = std::move(*command);
    Request->WorkDir = std::move(*workDir);
    SettleRegistration(*Request);
    return true;
}

bool TSettingForm::FieldsStorable() {
    if (StorableText(CommandEdit) && StorableText(PathEdit))
        return true;
    ui::Application().MessageBox(dialog_text::kNameNotRegistrable, dialog_text::kSettingCaption, MB_OK);
    return false;
}

void TSettingForm::CheckDialogKey(std::uint16_t key) {
    switch (rivo::CheckDialogKey(key)) {
        case DialogKey::Cancel:
            SetModalResult(ui::kModalCancel);
            break;
        case DialogKey::Confirm:
            if (Mode == FileMode && !(Request && Request->HasKey())) {
                ::MessageBeep(MB_OK);
                break;
            }
            if (FieldsStorable())
                SetModalResult(ui::kModalOk);
            break;
        case DialogKey::None:
            break;
    }
}

void TSettingForm::FormCreate() {
    CentreOnFullScreen();
}

void TSettingForm::FormShow() {
    ui::TEdit& first = Mode == FileMode ? KeyEdit : CommandEdit;
    // Named before the activation, which focuses the active control: otherwise it would focus
    // whichever field had the focus last (and select and scroll its text) on the way.
    SetActiveControl(&first);
    // The launcher runs in the background, and after a drop the drag source keeps the foreground:
    // the dialog has to take it itself, or the key that chooses the slot goes to Explorer (Del
    // would send the dropped file to the Recycle Bin).
    platform::BringToForeground(Handle());
    first.SetFocus();
}

void TSettingForm::FormKeyDown(WORD& key) {
    CheckDialogKey(key);
}

void TSettingForm::KeyEditKeyDown(WORD& key) {
    // In KeyMode the field is disabled and the key fixed.
    const std::optional<std::uint16_t> slot = SlotOfKey(key);
    if (Mode != FileMode || !Request || !slot || ChooseKey(*slot) == KeyChoice::Ignore)
        return;
    // The key is stored before Enter is judged, so that Enter is the chosen key and confirms.
    Request->KeyCode = *slot;
    KeyEdit.SetText(KeyDisplayText(*slot, KeyNameTable));
    CheckDialogKey(key);
}

void TSettingForm::KeyEditChange() {
    OKButton.SetEnabled(!KeyEdit.Text().empty());
}

void TSettingForm::BrowseClick() {
    const std::optional<std::wstring> chosen = ui::OpenFileDialog(Handle());
    if (!chosen)
        return;
    const std::optional<std::string> path = platform::RegistrableFilePath(*chosen);
    if (!path) {
        ui::Application().MessageBox(dialog_text::kNameNotRegistrable, dialog_text::kSettingCaption, MB_OK);
        return;
    }
    CommandEdit.SetText(*path);
    PathEdit.SetText(FolderOfPath(*path));
}

}  // namespace rivo
