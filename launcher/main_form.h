// The launcher's window: small, borderless, always on top, shown and hidden by activation.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

#include "core/activation_serial.h"
#include "core/key_dispatch.h"
#include "core/rivo_main_set.h"
#include "core/settings_file.h"
#include "core/tray_retry.h"
#include "hook/hook_record.h"
#include "launcher/hook_binding.h"
#include "launcher/tray_icon.h"
#include "platform/com_apartment.h"
#include "platform/unique_handle.h"
#include "ui/form.h"
#include "ui/popup_menu.h"

namespace rivo {

class TOptionForm;

class TMainForm : public ui::TForm, private KeyDispatchActions, private WindowPosition {
public:
    TMainForm();
    ~TMainForm() override;

    platform::UniqueIcon TrayIconNormal;  // crossed out: the launcher is not called up
    platform::UniqueIcon TrayIconActive;  // plain: called up, and right after start
    int Dragging = 0;
    int ScreenRight = 0;
    int ScreenBottom = 0;
    int DragX = 0;
    int DragY = 0;
    std::unique_ptr<TRivoMainSet> MainSet;

    // FormCreate ran to its end: the settings are loaded, the tray icon added, the hook on its way.
    bool Started() const { return started_; }

    int LoadSettings(const std::string& directory);
    int SaveSettings(const std::string& directory);

    // Menu commands, also reached from the keyboard.
    void HelpViewClick();
    void Exit1Click();
    // The Settings command: the options dialog (also the command key SetKey).
    void S1Click();

    ui::TPopupMenu PopupMenu1;

    // Activating this window calls the launcher up: a dialog or box that closes leaves it as an
    // inactive launcher, never active again without the user's call-up.
    bool TakesActivationBack() const override { return false; }

protected:
    bool WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormPaint(ui::TCanvas& canvas);
    void FormMouseDown(int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(int x, int y);
    void FormKeyDown(WORD& key);
    void FormKeyUp(WORD& key);
    void WMDropFiles(HDROP drop);
    void RegisterFile(const std::string& path);
    void UpdateScreenLimits();
    // One handler a message of WndProcHook's; an answer where the message goes no further.
    LRESULT ActivateMessage(WPARAM wParam, LPARAM lParam);
    void BindHook();
    void WMCaptureChanged(HWND newOwner);
    void WMEndSession(bool ending, LPARAM reason);
    void WMDisplayChange();
    std::optional<LRESULT> KeyboardContextMenu(LPARAM position);
    std::optional<LRESULT> WMTimer(WPARAM id);
    std::optional<LRESULT> RegisteredMessage(UINT message, LPARAM lParam);
    void WMActivate(WPARAM state);
    void WMTrayIcon(LPARAM mouseMessage);
    // Windows parks a minimised window that has no taskbar button as a small title bar at the
    // bottom-left of the primary work area, and this one is topmost: in mode 0 it would stay above
    // every other program. The move that minimises it goes off every monitor instead. Not through
    // WPF_SETMINPOSITION: SetWindowPlacement pulls a placement that is off the screen back onto it.
    void ParkWhenMinimised(WINDOWPOS& position);
    // Puts the window in the state of an inactive launcher of its mode without activating it.
    void ShowInactive();
    void AddTrayIcon();
    using SettingsFileOperation = SettingsFileResult (SettingsFile::*)(FileStore&, const CodePage&,
                                                                       const std::string&, SettingsTarget);
    int UseSettingsFile(const std::string& directory, SettingsFileOperation operation);
    void ReportSettingsFailure(const SettingsFileResult& result, const std::string& path);
    void KeepOnAMonitor();
    // Saves the settings, removes the tray icon and releases the hook, once.
    void EndRun();

    // KeyDispatchActions
    void CloseMainWindow() override;
    void OpenOptions() override;
    LaunchOutcome Launch(std::uint8_t key) override;
    void Register(std::uint8_t key) override;

    // WindowPosition
    std::int32_t WindowTop() const override;
    std::int32_t WindowLeft() const override;
    void MoveWindowTop(std::int32_t top) override;
    void MoveWindowLeft(std::int32_t left) override;

    // ShellExecuteA may hand a start to shell extensions, which need COM on the calling thread;
    // apartment-threaded, as the shell's objects expect.
    platform::ComApartment com_;
    KeyDispatcher dispatcher_;
    SettingsFile settingsFile_;
    bool started_ = false;
    bool runEnded_ = false;
    bool hookBound_ = false;
    TrayIcon tray_;
    HookBinding hook_;
    TOptionForm* openOptions_ = nullptr;  // while S1Click shows the options dialog
    UINT taskbarCreatedMessage_ = 0;
    TrayRetry trayRetry_;
    HICON shownTrayIcon_ = nullptr;  // the picture the tray icon shows now
    ActivationSerial activations_;
};

// The one main window, while it exists.
extern TMainForm* MainForm;
// The record handed to the hook library at start; lives for the whole run.
extern HookRecord TheHookRecord;

}  // namespace rivo
