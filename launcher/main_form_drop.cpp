// TMainForm: registering a file dropped on the launcher window.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "core/path_utils.h"
#include "core/registration.h"
#include "core/set_command.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/setting_form.h"
#include "launcher/main_form.h"
#include "launcher/shortcut.h"
#include "launcher/texts.h"
#include "platform/foreground.h"
#include "platform/wide_text.h"
#include "platform/win32_code_page.h"
#include "ui/application.h"

namespace rivo {

namespace {

bool IsShortcut(const std::string& path) {
    const std::wstring extension = platform::Wide(ExtensionOfPath(path));
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, extension.c_str(), -1, L".lnk", -1) ==
           CSTR_EQUAL;
}

}  // namespace

void TMainForm::WMDropFiles(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count != 1) {
        // The drag source keeps the foreground after a drop: a box shown without it would leave
        // the Enter that answers it to Explorer, which opens the selected files.
        platform::BringToForeground(Handle());
        ui::Application().MessageBox(text::kOneFileOnly, text::kDropCaption, MB_OK);
    } else {
        // The path at its full length: asked for first, never cut at a fixed buffer.
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::vector<wchar_t> buffer(length + 1, L'\0');
        DragQueryFileW(drop, 0, buffer.data(), length + 1);
        if (const std::optional<std::string> path =
                platform::RegistrableFilePath(std::wstring(buffer.data(), length))) {
            RegisterFile(*path);
        } else {
            platform::BringToForeground(Handle());
            ui::Application().MessageBox(dialog_text::kNameNotRegistrable, text::kDropCaption, MB_OK);
        }
    }
    DragFinish(drop);
}

void TMainForm::RegisterFile(const std::string& path) {
    TSetCommand request;
    request.Command = path;
    request.WorkDir = FolderOfPath(path);

    if (IsShortcut(path)) {
        // So that the question comes up in front of the drag source, which keeps the foreground.
        platform::BringToForeground(Handle());
        if (ui::Application().MessageBox(text::kShortcutQuestion, text::kDropCaption,
                                         MB_YESNO | MB_DEFBUTTON1) == IDYES) {
            ShortcutTarget target;
            if (ResolveShortcut(request.Command, target)) {
                request.Command = target.path;
                request.WorkDir = target.workDir;
            }
        }
    }

    // Owned by the application's window, like every dialog: this window minimises or hides.
    auto dialog = ui::MakeForm<TSettingForm>();
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
    // On disk at once, as a key registration is: a crash or a kill must not take it.
    SaveSettings(ProgramDir);
}

}  // namespace rivo
