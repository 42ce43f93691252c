// TMainForm: what a key pressed in the called-up launcher does.
#include <windows.h>
#include <shellapi.h>

#include "core/key_dispatch.h"
#include "core/launcher_state.h"
#include "core/registration.h"
#include "core/set_command.h"
#include "core/shell_command.h"
#include "dialogs/setting_form.h"
#include "launcher/launch_messages.h"
#include "launcher/main_form.h"
#include "launcher/texts.h"
#include "platform/environment.h"
#include "platform/wide_text.h"
#include "ui/application.h"

namespace rivo {

void TMainForm::FormKeyDown(WORD& key) {
    // The time of the key-down message being handled, and the keyboard as it is now.
    const std::int32_t key1 = MainSet->Key1;
    const bool key1Held = key1 > 0 && key1 < 256 && (GetAsyncKeyState(key1) & 0x8000) != 0;
    dispatcher_.FormKeyDown(key, *MainSet, CommandTable, *this,
                            KeyPress{static_cast<std::uint32_t>(GetMessageTime()), key1Held});
}

void TMainForm::FormKeyUp(WORD& key) {
    dispatcher_.FormKeyUp(key, *MainSet);
}

void TMainForm::CloseMainWindow() {
    Close();
}

void TMainForm::OpenOptions() {
    S1Click();
}

namespace {

// What the shell gets of a stored text: UTF-16 with its environment variables expanded.
std::wstring ForTheShell(const std::string& text) {
    return platform::ExpandEnvironment(platform::Wide(text));
}

}  // namespace

LaunchOutcome TMainForm::Launch(std::uint8_t key) {
    const std::wstring directory = ForTheShell(CurrentDirectoryForLaunch(WorkDirTable[key]));
    if (!SetCurrentDirectoryW(directory.c_str())) {
        if (ui::Application().MessageBox(text::kCurrentDirFailed, text::kErrorCaption, MB_OKCANCEL) ==
            IDCANCEL) {
            return LaunchOutcome::Cancelled;
        }
    }
    // The file and its parameters apart: the shell takes lpFile as one name.
    const ShellCommand command = SplitCommand(CommandTable[key]);
    const std::wstring parameters = ForTheShell(command.parameters);
    const auto result = reinterpret_cast<std::intptr_t>(
        ShellExecuteW(nullptr, nullptr, ForTheShell(command.file).c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(),
                      ForTheShell(WorkDirTable[key]).c_str(), SW_SHOWDEFAULT));
    const ShellStartError error = ClassifyShellExecuteResult(result);
    if (error == ShellStartError::None) {
        return LaunchOutcome::Started;
    }
    ui::Application().MessageBox(ShellStartMessage(error), text::kErrorCaption, MB_OK);
    return LaunchOutcome::Failed;
}

void TMainForm::Register(std::uint8_t key) {
    TSetCommand request;
    request.KeyCode = key;
    request.Command = CommandTable[key];
    request.WorkDir = WorkDirTable[key];
    const int answer = SettingForm->ShowRegistration(request, KeyMode);
    if (DecideRegistration(answer, request, RegistrationOrigin::Key, CommandTable) !=
        RegistrationStep::Store) {
        return;
    }
    StoreRegistration(request, CommandTable, WorkDirTable);
    SaveSettings(ProgramDir);
}

}  // namespace rivo
