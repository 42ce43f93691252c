// The registration dialog: ties a command and its working directory to a key. It edits only the
// TSetCommand it is handed; the caller stores the confirmed request.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/set_command.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"

namespace rivo {

// KeyMode: the key is known, the command and directory are edited. FileMode: the command and
// directory come from a dropped file and the user presses the key to register it under.
enum : int { KeyMode = 0, FileMode = 1 };

class TSettingForm : public ui::TForm {
public:
    // `owner` null: owned by the application window (the start-up instance).
    explicit TSettingForm(HWND owner = nullptr);
    ~TSettingForm() override;

    ui::TEdit CommandEdit;
    ui::TLabel Label1;
    ui::TButton Browse;
    ui::TButton OKButton;
    ui::TButton CancelButton;
    ui::TLabel Label2;
    ui::TEdit KeyEdit;
    ui::TLabel Label3;
    ui::TEdit PathEdit;
    TSetCommand* Request = nullptr;  // not owned; set only while ShowRegistration runs
    int Mode = KeyMode;

    // Shows the dialog modally for `request`; 1 when the user confirmed (the request then holds
    // the fields), 0 when cancelled (Command and WorkDir untouched), also at once when the
    // dialog is open already. Throws std::invalid_argument for a mode that is neither KeyMode
    // nor FileMode.
    int ShowRegistration(TSetCommand& request, int mode);

    // Fills every control from Request according to Mode, so a reused dialog keeps nothing of its
    // last use. In FileMode the request's key is cleared: it is the one pressed in this dialog.
    void RequestToControls();
    // Command and WorkDir from the fields as they stand (a path code page 932 cannot write by its
    // short form); an empty command clears both. False, with the request untouched, when a field
    // cannot be stored.
    bool ControlsToRequest();
    // Whether both fields can be stored; when not, the user is told.
    bool FieldsStorable();
    // Esc cancels, Enter confirms; other keys do nothing. In FileMode, Enter before a key has been
    // chosen beeps and leaves the dialog open: there is no key to store the command under.
    void CheckDialogKey(std::uint16_t key);

private:
    void FormCreate();
    void FormShow();
    void FormKeyDown(WORD& key);
    void KeyEditKeyDown(WORD& key);
    void KeyEditChange();
    void BrowseClick();
};

// The start-up instance, reused for every KeyMode registration; null until start-up creates it.
extern TSettingForm* SettingForm;

}  // namespace rivo
