// TMainForm: registering a file dropped on the launcher window.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "core/path_utils.h"
#include "core/registration.h"
#include "core/set_command.h"
#include "dialogs/setting_form.h"
#include "launcher/main_form.h"
#include "launcher/shortcut.h"
#include "launcher/texts.h"
#include "ui/application.h"

namespace rivo {

namespace {

bool IsLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

bool IsShortcut(const std::string& path) {
    const std::string extension = ExtensionOfPath(path, IsLeadByte);
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, extension.c_str(), -1, ".lnk", -1) == CSTR_EQUAL;
}

}  // namespace

void TMainForm::WMDropFiles(HDROP drop) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count != 1) {
        ui::Application().MessageBox(text::kOneFileOnly, text::kDropCaption, MB_OK);
    } else {
        // The path at its full length: asked for first, never cut at a fixed buffer.
        const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
        std::vector<char> buffer(length + 1, '\0');
        DragQueryFileA(drop, 0, buffer.data(), length + 1);
        RegisterFile(std::string(buffer.data(), length));
    }
    DragFinish(drop);
}

void TMainForm::RegisterFile(const std::string& path) {
    TSetCommand request;
    request.Command = path;
    request.WorkDir = FolderOfPath(path, IsLeadByte);

    if (IsShortcut(path)) {
        SetForegroundWindow(Handle());
        if (ui::Application().MessageBox(text::kShortcutQuestion, text::kDropCaption,
                                         MB_YESNO | MB_DEFBUTTON1) == IDYES) {
            ShortcutTarget target;
            if (ResolveShortcut(request.Command, target)) {
                request.Command = target.path;
                request.WorkDir = target.workDir;
            }
        }
    }

    auto dialog = ui::MakeForm<TSettingForm>(Handle());
    const int answer = dialog->ShowRegistration(request, FileMode);
    switch (DecideRegistration(answer, request, RegistrationOrigin::File, CommandTable)) {
        case RegistrationStep::Discard:
            return;
        case RegistrationStep::AskToReplace:
            if (ui::Application().MessageBox(text::kReplaceQuestion, text::kConfirmCaption,
                                             MB_YESNO | MB_DEFBUTTON2) != IDYES) {
                return;
            }
            break;
        case RegistrationStep::Store:
            break;
    }
    StoreRegistration(request, CommandTable, WorkDirTable);
}

}  // namespace rivo
