#include "launcher/main_form.h"

#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "core/launcher_state.h"
#include "core/names.h"
#include "core/settings_file.h"
#include "core/window_geometry.h"
#include "dialogs/help.h"
#include "dialogs/option_form.h"
#include "launcher/message_filter.h"
#include "launcher/monitor_areas.h"
#include "launcher/texts.h"
#include "platform/foreground.h"
#include "platform/program_dir.h"
#include "platform/wide_text.h"
#include "platform/win32_code_page.h"
#include "platform/win32_error.h"
#include "platform/win32_file_store.h"
#include "ui/application.h"
#include "ui/raw_keys.h"

namespace rivo {

TMainForm* MainForm = nullptr;
HookRecord TheHookRecord{};

namespace {

constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT kBindHookMessage = WM_APP + 1;

ui::FormLayout MainLayout() {
    ui::FormLayout layout;
    layout.className = name::kMainWindowClass;
    layout.caption = text::kMainCaption;
    layout.clientWidth = 104;
    layout.clientHeight = 53;
    layout.border = ui::BorderStyle::None;
    layout.topmost = true;
    layout.placesItself = true;
    return layout;
}

void ShowMessage(const char* message) {
    ui::Application().MessageBox(message, text::kMessageCaption, MB_OK);
}

}  // namespace

TMainForm::TMainForm()
    : ui::TForm(MainLayout()),
      PopupMenu1(*this),
      tray_(Handle(), name::kTrayIconId, name::kTrayCallbackMessage, text::kTrayTip),
      hook_(ShowMessage) {
    MainForm = this;
    MainSet = std::make_unique<TRivoMainSet>();
    DragAcceptFiles(Handle(), TRUE);
    ui::TakeRawKeys(Handle());
    MainSet->Filter.fill(0);
    BuildKeyNameTable(KeyNameTable);

    PopupMenu1.Add(text::kMenuSettings, [this] { S1Click(); });
    PopupMenu1.Add(text::kMenuHelp, [this] { HelpViewClick(); });
    PopupMenu1.Add("-");
    PopupMenu1.Add(text::kMenuExit, [this] { Exit1Click(); });
    SetPopupMenu(&PopupMenu1);

    taskbarCreatedMessage_ = RegisterWindowMessageW(platform::Wide(name::kTaskbarCreated).c_str());
    AllowMessagesFromLowerIntegrity(Handle(), taskbarCreatedMessage_, SystemMessageFilter());

    OnCreate = [this] { FormCreate(); };
    OnDestroy = [this] { FormDestroy(); };
    OnPaint = [this](ui::TCanvas& canvas) { FormPaint(canvas); };
    OnMouseDown = [this](ui::MouseButton, ui::ShiftState, int x, int y) { FormMouseDown(x, y); };
    OnMouseMove = [this](ui::ShiftState, int x, int y) { FormMouseMove(x, y); };
    OnMouseUp = [this](ui::MouseButton, ui::ShiftState, int x, int y) { FormMouseUp(x, y); };
    OnKeyDown = [this](WORD& key, ui::ShiftState shift) {
        if (const auto dispatched = DispatchedKey(key, shift.repeat)) {
            WORD slotKey = *dispatched;
            FormKeyDown(slotKey);
        }
    };
    OnKeyUp = [this](WORD& key, ui::ShiftState) { FormKeyUp(key); };
}

TMainForm::~TMainForm() {
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::FormCreate() {
    const std::wstring exe = platform::ExecutablePath();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    TrayIconNormal.reset(ExtractIconW(instance, exe.c_str(), 1));
    TrayIconActive.reset(ExtractIconW(instance, exe.c_str(), 2));
    TheHookRecord.MainWindow = WindowToRecord(Handle());
    Dragging = 0;
    ProgramDir = platform::ExecutableDirectory();
    for (auto& command : CommandTable)
        command.clear();
    LoadSettings(ProgramDir);
    KeepOnAMonitor();
    FollowMonitorDpi();

    TheHookRecord.Key1 = static_cast<std::uint32_t>(MainSet->Key1);
    TheHookRecord.Key2 = static_cast<std::uint32_t>(MainSet->Key2);
    TheHookRecord.StartForeground = WindowToRecord(GetForegroundWindow());
    // The hook starts once this thread runs its message loop, after everything else the start
    // does: the hook's thread waits for messages from its first moment, and a thread waiting for
    // messages is what tells WaitForInputIdle that a program has finished starting.
    PostMessageW(Handle(), kBindHookMessage, 0, 0);

    // Showing activates and hiding deactivates: both go through WMActivate, which leaves the
    // window in the state of an inactive launcher.
    ShowWindow(Handle(), SW_SHOW);
    ShowWindow(Handle(), SW_HIDE);
    // Added once the picture is settled: each change of a tray icon is a round trip to the
    // taskbar's process, and the start would otherwise switch it there and back.
    AddTrayIcon();
    started_ = true;
}

void TMainForm::FormDestroy() {
    EndRun();
}

void TMainForm::EndRun() {
    // Once: at logoff WM_ENDSESSION does this and the process ends without FormDestroy; where it
    // does not end, FormDestroy must not save again or release the hook a second time.
    if (runEnded_)
        return;
    runEnded_ = true;
    // A start that failed on its way has changed nothing, and may not have read the file at all:
    // a save would write the defaults over it.
    if (started_)
        SaveSettings(ProgramDir);
    KillTimer(Handle(), kTrayRetryTimer);
    tray_.Delete();
    // Released only now: the hook must not outlive the window it activates, nor go before the
    // settings are safe.
    if (hookBound_)
        hook_.Release();
}

int TMainForm::LoadSettings(const std::string& directory) {
    // A file that exists but cannot be read (locked, no permission) leaves the defaults, and the
    // first save merges them with the file instead of writing over it.
    return UseSettingsFile(directory, &SettingsFile::Load);
}

int TMainForm::SaveSettings(const std::string& directory) {
    // A save that fails keeps the registrations in memory for the next save that works.
    return UseSettingsFile(directory, &SettingsFile::Save);
}

int TMainForm::UseSettingsFile(const std::string& directory, SettingsFileOperation operation) {
    platform::Win32FileStore files;
    platform::Win32CodePage codePage;
    const std::string path = SettingsPath(directory);
    const SettingsFileResult result =
        (settingsFile_.*operation)(files, codePage, path, {*MainSet, CommandTable, WorkDirTable, *this});
    if (!result.ok)
        ReportSettingsFailure(result, path);
    return 1;
}

void TMainForm::ReportSettingsFailure(const SettingsFileResult& result, const std::string& path) {
    // A save refused because the file still cannot be read says so: it is the reading that failed.
    std::string message = result.unreadable ? text::kLoadFailed : text::kSaveFailed;
    message += "\n" + path;
    // A file too large for the engine has no system reason of its own; the system's words for it.
    const std::string tooLarge = result.tooLarge ? platform::SystemMessage(ERROR_FILE_TOO_LARGE) : "";
    const std::string& reason = !result.reason.empty() ? result.reason
                                : !tooLarge.empty()    ? tooLarge
                                                       : result.error;
    if (!reason.empty())
        message += "\n" + reason;
    ui::Application().MessageBox(message, text::kErrorCaption, MB_OK | MB_ICONERROR);
}

void TMainForm::KeepOnAMonitor() {
    const RECT bounds = BoundsRect();
    const Point placed =
        PlaceOnMonitors({bounds.left, bounds.top, bounds.right, bounds.bottom}, MonitorAreas());
    if (placed.y != bounds.top)
        SetTop(placed.y);
    if (placed.x != bounds.left)
        SetLeft(placed.x);
}

std::int32_t TMainForm::WindowTop() const {
    return Top();
}
std::int32_t TMainForm::WindowLeft() const {
    return Left();
}
void TMainForm::MoveWindowTop(std::int32_t top) {
    SetTop(top);
}
void TMainForm::MoveWindowLeft(std::int32_t left) {
    SetLeft(left);
}

void TMainForm::AddTrayIcon() {
    switch (trayRetry_.AfterAttempt(tray_.Add(shownTrayIcon_ ? shownTrayIcon_ : TrayIconActive.get()))) {
        case TrayRetry::Timer::Start:
            SetTimer(Handle(), kTrayRetryTimer, TrayRetry::kIntervalMilliseconds, nullptr);
            break;
        case TrayRetry::Timer::Stop:
            KillTimer(Handle(), kTrayRetryTimer);
            break;
        case TrayRetry::Timer::Keep:
            break;
    }
}

bool TMainForm::WndProcHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    std::optional<LRESULT> answer;
    switch (message) {
        case WM_ACTIVATE:
            answer = ActivateMessage(wParam, lParam);
            break;
        case kBindHookMessage:
            BindHook();
            answer = 0;
            break;
        case WM_DROPFILES:
            WMDropFiles(reinterpret_cast<HDROP>(wParam));
            break;
        case WM_CAPTURECHANGED:
            WMCaptureChanged(reinterpret_cast<HWND>(lParam));
            break;
        case WM_ENDSESSION:
            WMEndSession(wParam != FALSE, lParam);
            answer = 0;
            break;
        case WM_WINDOWPOSCHANGING:
            ParkWhenMinimised(*reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_DISPLAYCHANGE:
            WMDisplayChange();
            break;
        case WM_CONTEXTMENU:
            answer = KeyboardContextMenu(lParam);
            break;
        case WM_TIMER:
            answer = WMTimer(wParam);
            break;
        default:
            answer = RegisteredMessage(message, lParam);
            break;
    }
    if (answer)
        result = *answer;
    return answer.has_value();
}

LRESULT TMainForm::ActivateMessage(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != WA_INACTIVE)
        dispatcher_.CalledUp(GetTickCount());
    const ActivationSerial::Ticket ticket = activations_.Next();
    WMActivate(wParam);
    // Default handling gives the window the keyboard focus, so keys arrive as key-downs. Not when
    // a deactivation came inside this activation (the window hid itself in mode 2): giving the
    // hidden window the focus would activate it again.
    return activations_.Superseded(ticket) ? 0 : DefWindowProcW(Handle(), WM_ACTIVATE, wParam, lParam);
}

void TMainForm::BindHook() {
    if (!hookBound_ && !runEnded_) {
        hookBound_ = true;
        hook_.Bind(ProgramDir, TheHookRecord);
    }
}

void TMainForm::WMCaptureChanged(HWND newOwner) {
    // The capture went elsewhere (a menu, a system dialog, Alt+Tab): the button's release will not
    // come here, and a drag left on would make the window follow a free pointer. Taking it again
    // ourselves ends nothing.
    if (newOwner != Handle())
        Dragging = 0;
}

void TMainForm::WMEndSession(bool ending, LPARAM reason) {
    // Windows ends the process after this message without ending the message loop, so
    // FormDestroy would never run: save and release now.
    if (!ending)
        return;
    EndRun();
    // An installer closing the launcher through the Restart Manager does not end the process: it
    // waits for it to end, and starts it again once it has replaced its files. Left running, the
    // launcher would keep the single-instance lock, and the new start would end at once.
    if (reason & ENDSESSION_CLOSEAPP)
        ui::Application().Terminate();
}

void TMainForm::WMDisplayChange() {
    // A monitor added at the left would otherwise have the minimised window in sight: moved on
    // the spot, it is parked again.
    if (IsIconic(Handle()))
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<LRESULT> TMainForm::KeyboardContextMenu(LPARAM position) {
    // From the keyboard (the menu key, Shift+F10) the key is the user's choice of a slot, not a
    // request for the menu.
    if (GET_X_LPARAM(position) == -1 && GET_Y_LPARAM(position) == -1)
        return 0;
    return std::nullopt;
}

std::optional<LRESULT> TMainForm::WMTimer(WPARAM id) {
    if (id != kTrayRetryTimer)
        return std::nullopt;
    if (trayRetry_.OnTick(tray_.Added())) {
        AddTrayIcon();
    } else {
        KillTimer(Handle(), kTrayRetryTimer);
    }
    return 0;
}

std::optional<LRESULT> TMainForm::RegisteredMessage(UINT message, LPARAM lParam) {
    if (message == name::kTrayCallbackMessage) {
        WMTrayIcon(lParam);
        return 0;
    }
    if (message == taskbarCreatedMessage_ && message != 0) {
        // Explorer restarted and its new taskbar has none of the old icons.
        tray_.Forget();
        AddTrayIcon();
        return 0;
    }
    return std::nullopt;
}

void TMainForm::WMActivate(WPARAM state) {
    const bool activated = (LOWORD(state) & 0xFF) != 0;
    const HICON icon = activated ? TrayIconActive.get() : TrayIconNormal.get();
    const ActivationSerial::Ticket ticket = activations_.Take();
    const auto paintNow = [this] {
        ui::TWindowCanvas canvas = Canvas();
        FormPaint(canvas.Canvas());
    };
    switch (WindowModeAction(MainSet->FormType, activated)) {
        case ShowAction::Restore:
            // Restored without activating: the window is being activated already, and SW_RESTORE
            // would activate it again at its end, taking the foreground back from a window the
            // user switched to meanwhile.
            ShowWindow(Handle(), SW_SHOWNOACTIVATE);
            paintNow();
            break;
        case ShowAction::Minimize:
            ShowWindow(Handle(), SW_MINIMIZE);
            break;
        case ShowAction::ShowAndPaint:
            ShowWindow(Handle(), SW_SHOW);
            paintNow();
            // The foreground the colour follows may change only after this message (a dialog
            // taking it from the launcher): the next paint draws it again as it is then.
            InvalidateRect(Handle(), nullptr, FALSE);
            break;
        case ShowAction::Hide:
            ShowWindow(Handle(), SW_HIDE);
            break;
        case ShowAction::None:
            break;
    }
    // Hiding the active window (mode 2, at start and after the options dialog) deactivates it
    // inside this call; that later message has set the picture, and this one must not undo it,
    // or the tray would show a called-up launcher that is not.
    if (activations_.Superseded(ticket))
        return;
    shownTrayIcon_ = icon;
    if (tray_.Added())
        tray_.Modify(icon);
}

void TMainForm::FormPaint(ui::TCanvas& canvas) {
    const int width = ClientWidth();
    const int height = ClientHeight();
    canvas.SetBrushStyle(ui::BrushStyle::Clear);
    if (UsesStateColour(MainSet->FormType)) {
        canvas.SetBrushColor(GetForegroundWindow() == Handle() ? ui::Color::Rgb(255, 0, 0)
                                                               : ui::Color::Rgb(0, 0, 0));
    }
    canvas.FillRect(0, 0, width, height);
    canvas.TextOut(Scale(15), Scale(20), text::kPushAnyKey);
    canvas.TextOut(Scale(25), Scale(30), text::kMainVersion);
    canvas.SetPenColor(ui::Color::System(COLOR_3DLIGHT));
    canvas.Line(0, 0, width, 0);
    canvas.Line(0, 0, 0, height);
    canvas.SetPenColor(ui::Color::System(COLOR_3DDKSHADOW));
    canvas.Line(0, height - 1, width - 1, height - 1);
    canvas.Line(width - 1, 0, width - 1, height - 1);
}

void TMainForm::UpdateScreenLimits() {
    ScreenRight = GetSystemMetrics(SM_CXFULLSCREEN);
    ScreenBottom = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
}

void TMainForm::FormMouseDown(int x, int y) {
    UpdateScreenLimits();
    DragX = x;
    DragY = y;
    Dragging = 1;
}

void TMainForm::FormMouseMove(int x, int y) {
    if (Dragging != 1)
        return;
    const Point moved =
        DragStep({Left(), Top()}, {Width(), Height()}, {x - DragX, y - DragY}, {ScreenRight, ScreenBottom});
    SetTop(moved.y);
    SetLeft(moved.x);
    MainSet->Top = Top();
    MainSet->Left = Left();
}

void TMainForm::FormMouseUp(int x, int y) {
    DragX = x;
    DragY = y;
    Dragging = 0;
}

void TMainForm::WMTrayIcon(LPARAM mouseMessage) {
    if (mouseMessage != WM_RBUTTONDOWN)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    // Activating the window is a call-up like the hook's, and the menu needs its owner in front.
    // The click went to the taskbar, whose process keeps the foreground.
    platform::BringToForeground(Handle());
    PopupMenu1.Popup(cursor.x, cursor.y);
}

void TMainForm::HelpViewClick() {
    OpenHelp(ProgramDir);
}

void TMainForm::Exit1Click() {
    Close();
}

void TMainForm::S1Click() {
    // The tray menu stays reachable while the dialog is open; a second dialog on the same record
    // would have the first one's OK overwrite what the second saved.
    if (openOptions_) {
        // Or the command list or box it has open.
        platform::BringToForeground(platform::ForegroundTargetFor(openOptions_->Handle()));
        return;
    }
    // Owned by the application's window, not this one: this window minimises or hides as the
    // dialog takes the activation, and Windows hides what a minimised window owns.
    ui::FormPtr<TOptionForm> options = ui::MakeForm<TOptionForm>();
    options->OnCommandsDeleted = [this] { SaveSettings(ProgramDir); };
    openOptions_ = options.get();
    const platform::ScopeExit closed([this] { openOptions_ = nullptr; });
    if (options->ShowOptions(*MainSet) == 1) {
        hook_.SetHandle(HookRecord{WindowToRecord(Handle()), static_cast<std::uint32_t>(MainSet->Key1),
                                   static_cast<std::uint32_t>(MainSet->Key2), 0});
        SaveSettings(ProgramDir);
    }
    // The new mode applies at once. Not by showing and hiding the window: that activates it
    // while another program may have the foreground, which leaves it the active window of this
    // thread without the foreground, minimised or hidden by the hide's nested deactivation; the
    // next call-up's SetForegroundWindow then finds it active already and sends no activation,
    // so it stays minimised without the keyboard focus.
    ShowInactive();
}

void TMainForm::ParkWhenMinimised(WINDOWPOS& position) {
    // The style says minimised before the move that minimises the window is made.
    if (!IsIconic(Handle()) || (position.flags & SWP_NOMOVE))
        return;
    Point size{position.cx, position.cy};
    if (position.flags & SWP_NOSIZE) {
        const RECT bounds = BoundsRect();
        size = {bounds.right - bounds.left, bounds.bottom - bounds.top};
    }
    const Point at = MinimisedPosition(MonitorAreas(), size);
    position.x = at.x;
    position.y = at.y;
}

void TMainForm::ShowInactive() {
    switch (WindowModeAction(MainSet->FormType, false)) {
        case ShowAction::Minimize:
            ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
            break;
        case ShowAction::ShowAndPaint:
            ShowWindow(Handle(), SW_SHOWNOACTIVATE);
            InvalidateRect(Handle(), nullptr, TRUE);
            break;
        case ShowAction::Restore:
        case ShowAction::Hide:
        case ShowAction::None:
            // A mode that does nothing on activation is hidden, as the start leaves it.
            ShowWindow(Handle(), SW_HIDE);
            break;
    }
    shownTrayIcon_ = TrayIconNormal.get();
    if (tray_.Added())
        tray_.Modify(shownTrayIcon_);
}

}  // namespace rivo
