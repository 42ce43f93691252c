#include "launcher/startup.h"

#include <windows.h>

#include "dialogs/setting_form.h"
#include "launcher/main_form.h"
#include "launcher/restart_registration.h"
#include "launcher/single_instance.h"
#include "launcher/texts.h"
#include "ui/application.h"

namespace rivo {

int RunLauncher() {
    // Before anything can load a library.
    RestrictDllSearchPath();

    SingleInstance instance;
    if (instance.AnotherIsRunning()) {
        return 1;
    }
    // Only the launcher that runs: a second start ends at once and must not replace it.
    RegisterForRestart();

    ui::TApplication application;
    application.SetTitle(text::kAppTitle);
    try {
        // A start that failed in FormCreate has shown why; a launcher without its tray icon and
        // hook would hold the mutex, and every later start would end at once.
        if (application.CreateForm<TMainForm>().Started()) {
            // Beside the main form (which it must not become): reused for every key registration.
            SettingForm = &application.CreateForm<TSettingForm>();
            application.HideWindow();
            application.SetShowMainForm(false);
            application.Run();
        }
    } catch (...) {
        application.ShowCurrentException();
    }
    // The windows are destroyed (and the settings saved) while the mutex is still held, so a
    // launcher started meanwhile cannot read a file that is about to be replaced.
    application.DestroyForms();
    return 0;
}

}  // namespace rivo
